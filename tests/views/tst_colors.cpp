#include "theme/Colors.h"

#include <QGuiApplication>
#include <QTest>

#include <array>

using namespace plenvo;

namespace {

constexpr std::array kAccents{ColorToken::blue,   ColorToken::orange, ColorToken::purple,
                              ColorToken::pink,   ColorToken::yellow, ColorToken::teal,
                              ColorToken::indigo, ColorToken::gray,   ColorToken::brown,
                              ColorToken::green,  ColorToken::red};
constexpr std::array kLabels{ColorToken::secondary, ColorToken::tertiary, ColorToken::quaternary};

QPalette paletteWith(const QColor& window, const QColor& text)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

QPalette lightPalette()
{
    return paletteWith(QColor(0xEC, 0xEC, 0xEC), QColor(0x1A, 0x1A, 0x1A));
}

QPalette darkPalette()
{
    return paletteWith(QColor(0x1E, 0x1E, 0x1E), QColor(0xEE, 0xEE, 0xF0));
}

// Hue in degrees, measured from `from` going up, so ranges may wrap through red.
bool hueWithin(const QColor& color, int from, int to)
{
    const int hue = color.hsvHue();
    const int span = (to - from + 360) % 360;
    return (hue - from + 360) % 360 <= span;
}

} // namespace

class ColorsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    void schemeFollowsTheWindowBackground_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light grey") << lightPalette() << false;
        QTest::newRow("white") << paletteWith(Qt::white, Qt::black) << false;
        QTest::newRow("near black") << darkPalette() << true;
        QTest::newRow("dark blue") << paletteWith(QColor(0x10, 0x18, 0x30), Qt::white) << true;
        QTest::newRow("just below middle")
            << paletteWith(QColor(0x78, 0x78, 0x78), Qt::white) << true;
        QTest::newRow("just above middle")
            << paletteWith(QColor(0x88, 0x88, 0x88), Qt::black) << false;
        // The text colour does not decide: a light window with light text is still light.
        QTest::newRow("light with light text") << paletteWith(Qt::white, Qt::white) << false;
        QTest::newRow("derived from a button colour") << QPalette(QColor(0x30, 0x30, 0x30)) << true;
    }

    void schemeFollowsTheWindowBackground()
    {
        QFETCH(QPalette, palette);
        QFETCH(bool, dark);
        QCOMPARE(Colors::scheme(palette), dark ? Colors::Scheme::dark : Colors::Scheme::light);
    }

    void applicationPaletteSelectsTheValues()
    {
        QGuiApplication::setPalette(darkPalette());
        QCOMPARE(Colors::currentScheme(), Colors::Scheme::dark);
        for (ColorToken token : kAccents)
            QCOMPARE(Colors::color(token), Colors::color(token, Colors::Scheme::dark));
        QCOMPARE(Colors::color(ColorToken::secondary).rgb(),
                 darkPalette().color(QPalette::WindowText).rgb());

        QGuiApplication::setPalette(lightPalette());
        QCOMPARE(Colors::currentScheme(), Colors::Scheme::light);
        for (ColorToken token : kAccents)
            QCOMPARE(Colors::color(token), Colors::color(token, Colors::Scheme::light));
        QCOMPARE(Colors::color(ColorToken::secondary).rgb(),
                 lightPalette().color(QPalette::WindowText).rgb());
    }

    void accentsAreOpaqueAndDistinct()
    {
        for (Colors::Scheme scheme : {Colors::Scheme::light, Colors::Scheme::dark}) {
            for (size_t i = 0; i < kAccents.size(); ++i) {
                const QColor a = Colors::color(kAccents[i], scheme);
                QVERIFY(a.isValid());
                QCOMPARE(a.alpha(), 255);
                for (size_t j = i + 1; j < kAccents.size(); ++j)
                    QVERIFY2(a != Colors::color(kAccents[j], scheme),
                             qPrintable(QStringLiteral("tokens %1 and %2 share a colour")
                                            .arg(int(kAccents[i]))
                                            .arg(int(kAccents[j]))));
            }
        }
    }

    void accentsLookLikeTheirNames_data()
    {
        QTest::addColumn<ColorToken>("token");
        QTest::addColumn<int>("hueFrom");
        QTest::addColumn<int>("hueTo");
        QTest::newRow("blue") << ColorToken::blue << 200 << 225;
        QTest::newRow("orange") << ColorToken::orange << 25 << 45;
        QTest::newRow("purple") << ColorToken::purple << 270 << 295;
        QTest::newRow("pink") << ColorToken::pink << 330 << 355;
        QTest::newRow("yellow") << ColorToken::yellow << 45 << 60;
        QTest::newRow("teal") << ColorToken::teal << 175 << 200;
        QTest::newRow("indigo") << ColorToken::indigo << 235 << 250;
        QTest::newRow("brown") << ColorToken::brown << 25 << 45;
        QTest::newRow("green") << ColorToken::green << 120 << 145;
        QTest::newRow("red") << ColorToken::red << 355 << 10;
    }

    void accentsLookLikeTheirNames()
    {
        QFETCH(ColorToken, token);
        QFETCH(int, hueFrom);
        QFETCH(int, hueTo);
        for (Colors::Scheme scheme : {Colors::Scheme::light, Colors::Scheme::dark}) {
            const QColor c = Colors::color(token, scheme);
            QVERIFY2(hueWithin(c, hueFrom, hueTo), qPrintable(c.name()));
            QVERIFY2(c.hsvSaturationF() > 0.3f, qPrintable(c.name()));
        }
    }

    void grayIsNeutral()
    {
        for (Colors::Scheme scheme : {Colors::Scheme::light, Colors::Scheme::dark}) {
            const QColor gray = Colors::color(ColorToken::gray, scheme);
            QVERIFY(gray.hsvSaturationF() < 0.1f);
            QVERIFY(gray.lightnessF() > 0.3f && gray.lightnessF() < 0.7f);
        }
    }

    // On a dark background the accents are lifted to keep their contrast.
    void darkAccentsAreLighter()
    {
        for (ColorToken token : kAccents) {
            if (token == ColorToken::gray)
                continue;
            const QColor light = Colors::color(token, Colors::Scheme::light);
            const QColor dark = Colors::color(token, Colors::Scheme::dark);
            QVERIFY2(dark.lightnessF() > light.lightnessF(),
                     qPrintable(light.name() + QLatin1Char(' ') + dark.name()));
        }
    }

    void labelsDimTheForeground_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << lightPalette();
        QTest::newRow("dark") << darkPalette();
        QTest::newRow("tinted text")
            << paletteWith(QColor(0xF8, 0xF0, 0xE0), QColor(0x20, 0x20, 0x40));
    }

    void labelsDimTheForeground()
    {
        QFETCH(QPalette, palette);
        const QRgb text = palette.color(QPalette::WindowText).rgb();
        qreal previous = 1.0;
        for (ColorToken token : kLabels) {
            const QColor label = Colors::color(token, palette);
            QCOMPARE(label.rgb(), text);
            QVERIFY(label.alphaF() > 0.0f);
            QVERIFY2(label.alphaF() < previous, "each label is fainter than the one before");
            previous = label.alphaF();
        }
    }

    void labelsContrastWithTheirScheme()
    {
        for (ColorToken token : kLabels) {
            const QColor onLight = Colors::color(token, Colors::Scheme::light);
            const QColor onDark = Colors::color(token, Colors::Scheme::dark);
            QVERIFY(onLight.alpha() < 255 && onDark.alpha() < 255);
            QVERIFY(onLight.lightnessF() < 0.2f);
            QVERIFY(onDark.lightnessF() > 0.8f);
        }
    }

    void opacityMultipliesTheAlpha()
    {
        const QPalette palette = darkPalette();
        for (ColorToken token : {ColorToken::gray, ColorToken::blue, ColorToken::secondary}) {
            const QColor full = Colors::color(token, palette);
            const QColor faded = Colors::color(token, palette, 0.12);
            QCOMPARE(faded.rgb(), full.rgb());
            QVERIFY(qAbs(faded.alphaF() - full.alphaF() * 0.12f) < 1.0f / 255);
            QCOMPARE(Colors::color(token, Colors::Scheme::light, 0.5).rgb(),
                     Colors::color(token, Colors::Scheme::light).rgb());
        }
        QGuiApplication::setPalette(palette);
        QCOMPARE(Colors::color(ColorToken::gray, 0.12),
                 Colors::color(ColorToken::gray, palette, 0.12));
    }

    void opacityIsClamped()
    {
        const QColor half = QColor(10, 20, 30, 128);
        QCOMPARE(Colors::withOpacity(half, 4.0).alpha(), 255);
        QCOMPARE(Colors::withOpacity(half, -1.0).alpha(), 0);
        QCOMPARE(Colors::withOpacity(half, 1.0), half);
        QCOMPARE(Colors::withOpacity(half, 4.0).rgb(), half.rgb());
    }
};

QTEST_MAIN(ColorsTest)
#include "tst_colors.moc"
