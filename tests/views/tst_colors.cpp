#include "theme/Colors.h"

#include <QGuiApplication>
#include <QTest>

#include <array>
#include <utility>

using namespace plenvo;

namespace {

using Scheme = Colors::Scheme;

constexpr std::array kLabels{ColorToken::secondary, ColorToken::tertiary, ColorToken::quaternary};

// Each accent with the range of hues its name stands for (from, going up, to: it may wrap
// through red); gray has none.
struct Accent {
    ColorToken token;
    int hueFrom;
    int hueTo;
};
constexpr Accent kAccents[] = {
    {ColorToken::blue, 200, 225},   {ColorToken::orange, 25, 45}, {ColorToken::purple, 270, 295},
    {ColorToken::pink, 330, 355},   {ColorToken::yellow, 45, 60}, {ColorToken::teal, 175, 200},
    {ColorToken::indigo, 235, 250}, {ColorToken::brown, 25, 45},  {ColorToken::green, 120, 145},
    {ColorToken::red, 355, 10},     {ColorToken::gray, -1, -1}};

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

} // namespace

class ColorsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    void schemeFollowsTheWindowBackground()
    {
        // The text colour does not decide: a light window with light text is still light.
        const std::pair<QPalette, Scheme> cases[] = {
            {lightPalette(), Scheme::light},
            {darkPalette(), Scheme::dark},
            {paletteWith(QColor(0x78, 0x78, 0x78), Qt::white), Scheme::dark},
            {paletteWith(QColor(0x88, 0x88, 0x88), Qt::black), Scheme::light},
            {paletteWith(Qt::white, Qt::white), Scheme::light},
            {QPalette(QColor(0x30, 0x30, 0x30)), Scheme::dark}};
        for (const auto& [palette, scheme] : cases)
            QCOMPARE(Colors::scheme(palette), scheme);
    }

    void applicationPaletteSelectsTheValues()
    {
        const std::pair<QPalette, Scheme> cases[] = {{darkPalette(), Scheme::dark},
                                                     {lightPalette(), Scheme::light}};
        for (const auto& [palette, scheme] : cases) {
            QGuiApplication::setPalette(palette);
            QCOMPARE(Colors::currentScheme(), scheme);
            for (const Accent& accent : kAccents)
                QCOMPARE(Colors::color(accent.token), Colors::color(accent.token, scheme));
            QCOMPARE(Colors::color(ColorToken::secondary).rgb(),
                     palette.color(QPalette::WindowText).rgb());
        }
    }

    // Opaque, distinct, looking like their names, and lifted on a dark background to keep
    // their contrast.
    void accentValues()
    {
        for (Scheme scheme : {Scheme::light, Scheme::dark}) {
            for (const Accent& accent : kAccents) {
                const QColor c = Colors::color(accent.token, scheme);
                QVERIFY2(c.isValid() && c.alpha() == 255, qPrintable(c.name()));
                for (const Accent& other : kAccents)
                    QVERIFY(other.token == accent.token || c != Colors::color(other.token, scheme));
                if (accent.token == ColorToken::gray) {
                    QVERIFY(c.hsvSaturationF() < 0.1f);
                    QVERIFY(c.lightnessF() > 0.3f && c.lightnessF() < 0.7f);
                    continue;
                }
                const int span = (accent.hueTo - accent.hueFrom + 360) % 360;
                QVERIFY2((c.hsvHue() - accent.hueFrom + 360) % 360 <= span, qPrintable(c.name()));
                QVERIFY2(c.hsvSaturationF() > 0.3f, qPrintable(c.name()));
                const QColor light = Colors::color(accent.token, Scheme::light);
                QVERIFY(scheme == Scheme::light || c.lightnessF() > light.lightnessF());
            }
        }
    }

    // The labels are the foreground, each fainter than the one before: dark on light, light
    // on dark.
    void labelsDimTheForeground()
    {
        const QPalette tinted = paletteWith(QColor(0xF8, 0xF0, 0xE0), QColor(0x20, 0x20, 0x40));
        for (const QPalette& palette : {lightPalette(), darkPalette(), tinted}) {
            qreal previous = 1.0;
            for (ColorToken token : kLabels) {
                const QColor label = Colors::color(token, palette);
                QCOMPARE(label.rgb(), palette.color(QPalette::WindowText).rgb());
                QVERIFY(label.alphaF() > 0.0f && label.alphaF() < previous);
                previous = label.alphaF();
            }
        }
        for (ColorToken token : kLabels) {
            QVERIFY(Colors::color(token, Scheme::light).lightnessF() < 0.2f);
            QVERIFY(Colors::color(token, Scheme::dark).lightnessF() > 0.8f);
        }
    }

    void opacityMultipliesTheAlpha()
    {
        for (ColorToken token : {ColorToken::gray, ColorToken::blue, ColorToken::secondary}) {
            const QColor full = Colors::color(token, darkPalette());
            const QColor faded = Colors::color(token, darkPalette(), 0.12);
            QCOMPARE(faded.rgb(), full.rgb());
            QVERIFY(qAbs(faded.alphaF() - full.alphaF() * 0.12f) < 1.0f / 255);
            QCOMPARE(Colors::color(token, Scheme::light, 0.5).rgb(),
                     Colors::color(token, Scheme::light).rgb());
        }
        QGuiApplication::setPalette(darkPalette());
        QCOMPARE(Colors::color(ColorToken::gray, 0.12),
                 Colors::color(ColorToken::gray, darkPalette(), 0.12));

        const QColor half(10, 20, 30, 128);
        QCOMPARE(Colors::withOpacity(half, 4.0).alpha(), 255);
        QCOMPARE(Colors::withOpacity(half, 4.0).rgb(), half.rgb());
        QCOMPARE(Colors::withOpacity(half, -1.0).alpha(), 0);
        QCOMPARE(Colors::withOpacity(half, 1.0), half);
    }
};

QTEST_MAIN(ColorsTest)
#include "tst_colors.moc"
