#include "theme/TextStyles.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTest>

#include <array>

using namespace plenvo;

namespace {

// Largest first; a style may equal its neighbour only where noted in sameSizeAsNext.
constexpr std::array kStyles{TextStyle::largeTitle, TextStyle::title,    TextStyle::title2,
                             TextStyle::title3,     TextStyle::headline, TextStyle::body,
                             TextStyle::callout,    TextStyle::caption,  TextStyle::caption2};

bool sameSizeAsNext(TextStyle style)
{
    return style == TextStyle::headline; // the headline is the body text, emphasised
}

QFont baseFont(qreal pointSize)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(pointSize);
    return font;
}

bool digitsHaveEqualWidth(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal zero = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit)
        if (qAbs(metrics.horizontalAdvance(QLatin1Char(digit)) - zero) > 0.01)
            return false;
    return true;
}

} // namespace

class TextStylesTest : public QObject {
    Q_OBJECT

private:
    QFont m_appFont;

private Q_SLOTS:
    void initTestCase() { m_appFont = QGuiApplication::font(); }
    void cleanup() { QGuiApplication::setFont(m_appFont); }

    // Sizes

    void stylesKeepTheirOrder_data()
    {
        QTest::addColumn<qreal>("base");
        QTest::newRow("9 pt") << 9.0;
        QTest::newRow("10 pt") << 10.0;
        QTest::newRow("13 pt") << 13.0;
        QTest::newRow("24 pt") << 24.0;
    }

    void stylesKeepTheirOrder()
    {
        QFETCH(qreal, base);
        QGuiApplication::setFont(baseFont(base));
        for (size_t i = 0; i + 1 < kStyles.size(); ++i) {
            const qreal size = TextStyles::font(kStyles[i]).pointSizeF();
            const qreal next = TextStyles::font(kStyles[i + 1]).pointSizeF();
            if (sameSizeAsNext(kStyles[i]))
                QCOMPARE(size, next);
            else
                QVERIFY2(size > next, qPrintable(QStringLiteral("style %1: %2 <= %3")
                                                     .arg(int(kStyles[i]))
                                                     .arg(size)
                                                     .arg(next)));
        }
    }

    void bodyIsTheApplicationFont()
    {
        QFont app = baseFont(11.5);
        app.setFamily(QStringLiteral("DejaVu Serif"));
        QGuiApplication::setFont(app);
        const QFont body = TextStyles::font(TextStyle::body);
        QCOMPARE(body.pointSizeF(), 11.5);
        QCOMPARE(body.family(), app.family());
        QCOMPARE(body.weight(), QFont::Normal);
        // Every style keeps the user's family.
        for (TextStyle style : kStyles)
            QCOMPARE(TextStyles::font(style).family(), app.family());
    }

    void stylesScaleWithTheApplicationFont()
    {
        QGuiApplication::setFont(baseFont(10));
        std::array<qreal, kStyles.size()> small{};
        for (size_t i = 0; i < kStyles.size(); ++i)
            small[i] = TextStyles::font(kStyles[i]).pointSizeF();

        QGuiApplication::setFont(baseFont(15));
        for (size_t i = 0; i < kStyles.size(); ++i)
            QVERIFY(qFuzzyCompare(TextStyles::font(kStyles[i]).pointSizeF(), small[i] * 1.5));
    }

    void explicitBaseFontIsUsed()
    {
        QGuiApplication::setFont(baseFont(10));
        const QFont base = baseFont(20);
        for (TextStyle style : kStyles)
            QVERIFY(qFuzzyCompare(TextStyles::font(style, {}, base).pointSizeF(),
                                  TextStyles::font(style).pointSizeF() * 2));
    }

    void pixelSizedApplicationFontIsMeasured()
    {
        QFont app = QGuiApplication::font();
        app.setPixelSize(20);
        QGuiApplication::setFont(app);
        const qreal resolved = QFontInfo(app).pointSizeF();
        QVERIFY(resolved > 0);
        QVERIFY(qFuzzyCompare(TextStyles::font(TextStyle::body).pointSizeF(), resolved));
        QVERIFY(TextStyles::font(TextStyle::caption).pointSizeF() < resolved);
    }

    void systemSizesShareTheStylesGrid()
    {
        for (qreal base : {9.0, 10.0, 16.0}) {
            QGuiApplication::setFont(baseFont(base));
            const qreal body = TextStyles::font(TextStyle::body).pointSizeF();
            QVERIFY(qFuzzyCompare(TextStyles::systemFont(13).pointSizeF(), body));
            QVERIFY(qFuzzyCompare(TextStyles::systemFont(26).pointSizeF(), 2 * body));
            QVERIFY(TextStyles::systemFont(14).pointSizeF() > body);
            QVERIFY(TextStyles::systemFont(11).pointSizeF() < body);
            QVERIFY(TextStyles::systemFont(56).pointSizeF() >
                    TextStyles::font(TextStyle::largeTitle).pointSizeF());
            QCOMPARE(TextStyles::systemFont(13).weight(), QFont::Normal);
        }
    }

    // Weights

    void headlineIsEmphasised()
    {
        QVERIFY(TextStyles::font(TextStyle::headline).weight() > QFont::Normal);
        QCOMPARE(TextStyles::font(TextStyle::body).weight(), QFont::Normal);
        QCOMPARE(TextStyles::font(TextStyle::title3).weight(), QFont::Normal);
    }

    void requestedWeightIsApplied_data()
    {
        QTest::addColumn<int>("weight");
        QTest::newRow("regular") << int(QFont::Normal);
        QTest::newRow("medium") << int(QFont::Medium);
        QTest::newRow("semibold") << int(QFont::DemiBold);
        QTest::newRow("bold") << int(QFont::Bold);
    }

    void requestedWeightIsApplied()
    {
        QFETCH(int, weight);
        const auto requested = static_cast<QFont::Weight>(weight);
        for (TextStyle style : kStyles) {
            const QFont plain = TextStyles::font(style);
            const QFont weighted = TextStyles::font(style, {.weight = requested});
            QCOMPARE(weighted.weight(), requested);
            QCOMPARE(weighted.pointSizeF(), plain.pointSizeF());
        }
        QCOMPARE(TextStyles::systemFont(14, {.weight = requested}).weight(), requested);
    }

    void boldIsDrawnBold()
    {
        const QFont bold = TextStyles::font(TextStyle::callout, {.weight = QFont::Bold});
        QVERIFY(QFontInfo(bold).bold());
        QVERIFY(!QFontInfo(TextStyles::font(TextStyle::callout)).bold());
    }

    // Designs

    void roundedDesignKeepsSizeAndWeight()
    {
        const QFont plain = TextStyles::font(TextStyle::title3, {.weight = QFont::Bold});
        const QFont rounded =
            TextStyles::font(TextStyle::title3, {.weight = QFont::Bold, .rounded = true});
        QCOMPARE(rounded.pointSizeF(), plain.pointSizeF());
        QCOMPARE(rounded.weight(), QFont::Bold);
        const QString family = TextStyles::roundedFamily();
        if (family.isEmpty()) {
            QCOMPARE(rounded.family(), plain.family());
        } else {
            QVERIFY(QFontDatabase::hasFamily(family));
            QCOMPARE(rounded.family(), family);
        }
    }

    // Every installed family, used as the application font, still gives digits of equal width.
    void monospacedDigitsHaveEqualWidth_data()
    {
        QTest::addColumn<QString>("family");
        for (const QString& family : QFontDatabase::families())
            QTest::newRow(qPrintable(family)) << family;
    }

    void monospacedDigitsHaveEqualWidth()
    {
        QFETCH(QString, family);
        QFont base = baseFont(12);
        base.setFamily(family);
        for (QFont::Weight weight : {QFont::Normal, QFont::Bold}) {
            const QFont font = TextStyles::font(TextStyle::callout,
                                                {.weight = weight, .monospacedDigits = true}, base);
            QVERIFY(digitsHaveEqualWidth(font));
            QCOMPARE(font.weight(), weight);
            QCOMPARE(font.pointSizeF(),
                     TextStyles::font(TextStyle::callout, {}, base).pointSizeF());
        }
    }

    void monospacedDigitsCombineWithRounded()
    {
        const QFont font = TextStyles::font(
            TextStyle::title3, {.weight = QFont::Bold, .rounded = true, .monospacedDigits = true});
        QVERIFY(digitsHaveEqualWidth(font));
        QCOMPARE(font.weight(), QFont::Bold);
    }

    void monospacedDesignIsFixedPitch()
    {
        const QFont font = TextStyles::font(TextStyle::caption2, {.monospaced = true});
        QVERIFY(QFontInfo(font).fixedPitch());
        QCOMPARE(font.pointSizeF(), TextStyles::font(TextStyle::caption2).pointSizeF());
        const QFontMetricsF metrics(font);
        QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')),
                 metrics.horizontalAdvance(QLatin1Char('W')));
    }
};

QTEST_MAIN(TextStylesTest)
#include "tst_textstyles.moc"
