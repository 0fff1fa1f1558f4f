#include "theme/TextStyles.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QtGlobal>

#include <array>

namespace plenvo {

namespace {

// The design grid: sizes in points where the body text is 13.
constexpr qreal kBodyDesignSize = 13.0;

qreal designSize(TextStyle style)
{
    switch (style) {
    case TextStyle::largeTitle:
        return 26.0;
    case TextStyle::title:
        return 22.0;
    case TextStyle::title2:
        return 17.0;
    case TextStyle::title3:
        return 15.0;
    case TextStyle::headline:
    case TextStyle::body:
        return 13.0;
    case TextStyle::callout:
        return 12.0;
    case TextStyle::caption:
        return 10.0;
    case TextStyle::caption2:
        return 9.5;
    }
    return kBodyDesignSize;
}

QFont::Weight defaultWeight(TextStyle style)
{
    return style == TextStyle::headline ? QFont::DemiBold : QFont::Normal;
}

qreal bodyPointSize(const QFont& base)
{
    // A font given in pixels has no point size of its own; ask what it resolves to.
    return base.pointSizeF() > 0 ? base.pointSizeF() : QFontInfo(base).pointSizeF();
}

bool digitsHaveEqualWidth(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (qAbs(metrics.horizontalAdvance(QLatin1Char(digit)) - zero) > 0.01)
            return false;
    }
    return true;
}

// Qt before 6.7 cannot switch on the OpenType "tnum" feature. Most desktop sans families draw
// tabular digits by default; for one that does not, borrow the digits' look from a common family
// that does, and as the last resort from the fixed-pitch font.
void applyTabularDigits(QFont& font)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    font.setFeature(QFont::Tag("tnum"), 1);
#endif
    static QHash<QString, QString> replacements;
    const QString key =
        QFontInfo(font).family() + QLatin1Char('|') + QString::number(font.weight());
    auto found = replacements.constFind(key);
    if (found == replacements.constEnd()) {
        QString replacement;
        if (!digitsHaveEqualWidth(font)) {
            QStringList candidates{QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(),
                                   QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans"),
                                   QStringLiteral("Liberation Sans"), QStringLiteral("Cantarell")};
            candidates.append(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
            for (const QString& family : candidates) {
                if (!QFontDatabase::hasFamily(family))
                    continue;
                QFont trial = font;
                trial.setFamily(family);
                if (digitsHaveEqualWidth(trial)) {
                    replacement = family;
                    break;
                }
            }
        }
        found = replacements.insert(key, replacement);
    }
    if (!found->isEmpty())
        font.setFamily(*found);
}

QFont makeFont(qreal size, QFont::Weight styleWeight, const TextStyles::Options& options,
               const QFont& base)
{
    QFont font = base;
    font.setPointSizeF(bodyPointSize(base) * size / kBodyDesignSize);
    font.setWeight(options.weight.value_or(styleWeight));
    if (options.monospaced) {
        font.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    } else if (options.rounded) {
        const QString rounded = TextStyles::roundedFamily();
        if (!rounded.isEmpty())
            font.setFamily(rounded);
    }
    if (options.monospacedDigits && !options.monospaced)
        applyTabularDigits(font);
    return font;
}

} // namespace

QFont TextStyles::font(TextStyle style)
{
    return font(style, Options{}, QGuiApplication::font());
}

QFont TextStyles::font(TextStyle style, const Options& options)
{
    return font(style, options, QGuiApplication::font());
}

QFont TextStyles::font(TextStyle style, const Options& options, const QFont& base)
{
    return makeFont(designSize(style), defaultWeight(style), options, base);
}

QFont TextStyles::systemFont(qreal size)
{
    return systemFont(size, Options{}, QGuiApplication::font());
}

QFont TextStyles::systemFont(qreal size, const Options& options)
{
    return systemFont(size, options, QGuiApplication::font());
}

QFont TextStyles::systemFont(qreal size, const Options& options, const QFont& base)
{
    return makeFont(size, QFont::Normal, options, base);
}

QString TextStyles::roundedFamily()
{
    static const QString family = [] {
        constexpr std::array candidates{"Nunito",    "Varela Round", "M PLUS Rounded 1c",
                                        "Quicksand", "Comfortaa",    "Arial Rounded MT Bold"};
        for (const char* candidate : candidates) {
            const QString name = QString::fromLatin1(candidate);
            if (QFontDatabase::hasFamily(name))
                return name;
        }
        return QString();
    }();
    return family;
}

} // namespace plenvo
