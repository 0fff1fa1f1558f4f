#include "theme/TextStyles.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTest>

#include <array>

using namespace plenvo;
using namespace Qt::StringLiterals;

namespace {

// Largest first; only the headline has the size of the next (it is the body, emphasised).
constexpr std::array kStyles{TextStyle::largeTitle, TextStyle::title,    TextStyle::title2,
                             TextStyle::title3,     TextStyle::headline, TextStyle::body,
                             TextStyle::callout,    TextStyle::caption,  TextStyle::caption2};

QFont baseFont(qreal pointSize)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(pointSize);
    return font;
}

qreal sizeOf(TextStyle style)
{
    return TextStyles::font(style).pointSizeF();
}

} // namespace

class TextStylesTest : public QObject {
    Q_OBJECT

private:
    QFont m_appFont;

private Q_SLOTS:
    void initTestCase() { m_appFont = QGuiApplication::font(); }
    void cleanup() { QGuiApplication::setFont(m_appFont); }

    // The styles keep their order and scale with the application font, whose size and family
    // the body takes; system sizes share the grid where 13 points is the body.
    void sizesFollowTheApplicationFont()
    {
        QGuiApplication::setFont(baseFont(10));
        std::array<qreal, kStyles.size()> atTen{};
        for (size_t i = 0; i < kStyles.size(); ++i)
            atTen[i] = sizeOf(kStyles[i]);

        for (qreal base : {9.0, 11.5, 24.0}) {
            QFont app = baseFont(base);
            app.setFamily(QStringLiteral("DejaVu Serif"));
            QGuiApplication::setFont(app);
            const qreal body = sizeOf(TextStyle::body);
            QCOMPARE(body, base);
            for (size_t i = 0; i < kStyles.size(); ++i) {
                const QFont font = TextStyles::font(kStyles[i]);
                QVERIFY(qFuzzyCompare(font.pointSizeF(), atTen[i] * base / 10));
                QCOMPARE(font.family(), app.family());
                if (i + 1 < kStyles.size()) {
                    const qreal next = sizeOf(kStyles[i + 1]);
                    QVERIFY2(kStyles[i] == TextStyle::headline ? font.pointSizeF() == next
                                                               : font.pointSizeF() > next,
                             qPrintable(QString::number(i)));
                }
                // An explicit base font is used in place of the application font.
                QVERIFY(
                    qFuzzyCompare(TextStyles::font(kStyles[i], {}, baseFont(2 * base)).pointSizeF(),
                                  2 * font.pointSizeF()));
            }
            QVERIFY(qFuzzyCompare(TextStyles::systemFont(13).pointSizeF(), body));
            QVERIFY(qFuzzyCompare(TextStyles::systemFont(26).pointSizeF(), 2 * body));
            QVERIFY(TextStyles::systemFont(14).pointSizeF() > body);
            QVERIFY(TextStyles::systemFont(11).pointSizeF() < body);
            QVERIFY(TextStyles::systemFont(56).pointSizeF() > sizeOf(TextStyle::largeTitle));
        }

        // A font given in pixels is measured.
        QFont pixels = QGuiApplication::font();
        pixels.setPixelSize(20);
        QGuiApplication::setFont(pixels);
        const qreal resolved = QFontInfo(pixels).pointSizeF();
        QVERIFY(resolved > 0);
        QVERIFY(qFuzzyCompare(sizeOf(TextStyle::body), resolved));
        QVERIFY(sizeOf(TextStyle::caption) < resolved);
    }

    void weights()
    {
        QVERIFY(TextStyles::font(TextStyle::headline).weight() > QFont::Normal);
        QCOMPARE(TextStyles::font(TextStyle::body).weight(), QFont::Normal);
        QCOMPARE(TextStyles::font(TextStyle::title3).weight(), QFont::Normal);
        QCOMPARE(TextStyles::systemFont(13).weight(), QFont::Normal);
        for (QFont::Weight weight : {QFont::Normal, QFont::Medium, QFont::Bold}) {
            for (TextStyle style : kStyles) {
                const QFont weighted = TextStyles::font(style, {.weight = weight});
                QCOMPARE(weighted.weight(), weight);
                QCOMPARE(weighted.pointSizeF(), sizeOf(style));
            }
            QCOMPARE(TextStyles::systemFont(14, {.weight = weight}).weight(), weight);
        }
        QVERIFY(QFontInfo(TextStyles::font(TextStyle::callout, {.weight = QFont::Bold})).bold());
        QVERIFY(!QFontInfo(TextStyles::font(TextStyle::callout)).bold());
    }

    void roundedKeepsSizeAndWeight()
    {
        const QFont plain = TextStyles::font(TextStyle::title3, {.weight = QFont::Bold});
        const QFont rounded =
            TextStyles::font(TextStyle::title3, {.weight = QFont::Bold, .rounded = true});
        QCOMPARE(rounded.pointSizeF(), plain.pointSizeF());
        QCOMPARE(rounded.weight(), QFont::Bold);
        const QString family = TextStyles::roundedFamily();
        QCOMPARE(rounded.family(), family.isEmpty() ? plain.family() : family);
    }

    // What the user sees: digits of equal advance where they are asked for, on every base
    // family, and all characters of equal advance in the monospaced design. The families are
    // those Qt's dependencies and scripts/install-deps.sh install.
    void equalAdvances_data()
    {
        QTest::addColumn<QString>("family"); // empty: the application font
        QTest::addColumn<QString>("design");
        for (const char* family : {"DejaVu Sans", "DejaVu Serif", "WenQuanYi Micro Hei"}) {
            for (const char* design : {"digits", "rounded digits"})
                QTest::addRow("%s, %s", family, design) << family << design;
        }
        QTest::newRow("monospaced") << QString() << u"monospaced"_s;
    }

    void equalAdvances()
    {
        QFETCH(QString, family);
        QFETCH(QString, design);
        if (!family.isEmpty() && !QFontDatabase::hasFamily(family))
            QSKIP("the family is not installed (scripts/install-deps.sh)");
        QFont base = baseFont(12);
        if (!family.isEmpty())
            base.setFamily(family);
        const QString sample = design == u"monospaced" ? u"0123456789iW.M "_s : u"0123456789"_s;
        for (QFont::Weight weight : {QFont::Normal, QFont::Bold}) {
            const QFont font = TextStyles::font(TextStyle::callout,
                                                {.weight = weight,
                                                 .rounded = design == u"rounded digits",
                                                 .monospacedDigits = design != u"monospaced",
                                                 .monospaced = design == u"monospaced"},
                                                base);
            const QFontMetricsF metrics(font);
            for (const QChar c : sample)
                QCOMPARE(metrics.horizontalAdvance(c), metrics.horizontalAdvance(sample[0]));
            QCOMPARE(font.weight(), weight);
            QCOMPARE(font.pointSizeF(),
                     TextStyles::font(TextStyle::callout, {}, base).pointSizeF());
        }
    }
};

QTEST_MAIN(TextStylesTest)
#include "tst_textstyles.moc"
