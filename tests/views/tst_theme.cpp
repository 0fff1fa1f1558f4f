// The theme: colour tokens for light and dark, text styles that follow the application font,
// and symbol icons tinted in any colour.

#include "theme/Colors.h"
#include "theme/Contrast.h"
#include "theme/Icons.h"
#include "theme/Palettes.h"
#include "theme/ProportionBar.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QTest>

#include <limits>

using namespace plenvo;
using namespace Qt::StringLiterals;
using Scheme = Colors::Scheme;

namespace {

// A palette of a window and its text; the base is white on a light window, a little lighter
// than the window on a dark one; buttons are the window's colour.
QPalette paletteWith(const QColor& window, const QColor& text)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, window.lightnessF() < 0.5 ? window.lighter(120) : Qt::white);
    palette.setColor(QPalette::Button, window);
    return palette;
}
const QPalette kLight = paletteWith(QColor(0xEC, 0xEC, 0xEC), QColor(0x1A, 0x1A, 0x1A));
const QPalette kDark = paletteWith(QColor(0x1E, 0x1E, 0x1E), QColor(0xEE, 0xEE, 0xF0));

// Each accent with the range of hues its name stands for (from, going up, to: it may wrap
// through red); gray has none.
const std::tuple<ColorToken, int, int> kAccents[] = {
    {ColorToken::blue, 200, 225},   {ColorToken::orange, 25, 45}, {ColorToken::purple, 270, 295},
    {ColorToken::pink, 330, 355},   {ColorToken::yellow, 45, 60}, {ColorToken::teal, 175, 200},
    {ColorToken::indigo, 235, 250}, {ColorToken::brown, 25, 45},  {ColorToken::green, 120, 145},
    {ColorToken::red, 355, 10},     {ColorToken::gray, -1, -1}};

// Largest first; only the headline has the size of the next (it is the body, emphasised).
const TextStyle kStyles[] = {TextStyle::largeTitle, TextStyle::title,    TextStyle::title2,
                             TextStyle::title3,     TextStyle::headline, TextStyle::body,
                             TextStyle::callout,    TextStyle::caption,  TextStyle::caption2};

QFont baseFont(qreal pointSize)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(pointSize);
    return font;
}

// Every symbol name the user interface asks for.
const QStringList kUsedSymbols =
    u"app.fill archivebox.fill arrow.down.circle.fill arrow.right.circle "
    "arrow.right.circle.fill chart.pie.fill checkmark.circle.fill chevron.down.circle "
    "chevron.left.forwardslash.chevron.right chevron.right cylinder.fill doc.fill "
    "doc.on.doc.fill doc.text.fill doc.text.magnifyingglass film.fill folder.badge.gearshape "
    "folder.badge.questionmark folder.fill gearshape.fill house.fill internaldrive.fill "
    "menubar.dock.rectangle music.note photo.fill plus.circle.fill questionmark.folder.fill "
    "sidebar.right square.grid.2x2.fill square.grid.3x3.fill square.stack.fill trash "
    "trash.fill tray.full.fill xmark"_s.split(u' ');

QImage imageOf(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage symbol(const QString& name, int extent, const QColor& color, qreal ratio = 1.0,
              Icons::Variant variant = Icons::Variant::plain)
{
    return imageOf(Icons::pixmap(name, extent, color, ratio, variant));
}

// Over the pixels of `area` (the whole image by default): the highest alpha, how many are at
// least half covered and their share of the area, and how many with some ink differ from
// `color` by more than rounding.
struct Ink {
    int maxAlpha = 0;
    int count = 0;
    qreal share = 0;
    int offColor = 0;
};
Ink inkOf(const QImage& image, QRect area = {}, const QColor& color = Qt::black)
{
    area = area.isEmpty() ? image.rect() : area;
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            ink.maxAlpha = qMax(ink.maxAlpha, qAlpha(p));
            ink.count += qAlpha(p) >= 128;
            ink.offColor += qAlpha(p) >= 64 && (qAbs(qRed(p) - color.red()) > 4 ||
                                                qAbs(qGreen(p) - color.green()) > 4 ||
                                                qAbs(qBlue(p) - color.blue()) > 4);
        }
    ink.share = qreal(ink.count) / (area.width() * area.height());
    return ink;
}

} // namespace

class ThemeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_appFont = QGuiApplication::font(); }
    void cleanup()
    {
        QGuiApplication::setPalette(QPalette());
        QGuiApplication::setFont(m_appFont);
    }

    // The window background decides, not the text colour: a light window with light text is
    // still light. The application palette selects the values.
    void schemeFollowsTheWindowBackground()
    {
        const std::pair<QPalette, Scheme> cases[] = {
            {kLight, Scheme::light},
            {kDark, Scheme::dark},
            {paletteWith(QColor(0x78, 0x78, 0x78), Qt::white), Scheme::dark},
            {paletteWith(QColor(0x88, 0x88, 0x88), Qt::black), Scheme::light},
            {paletteWith(Qt::white, Qt::white), Scheme::light},
            {QPalette(QColor(0x30, 0x30, 0x30)), Scheme::dark}};
        for (const auto& [palette, scheme] : cases)
            QCOMPARE(Colors::scheme(palette), scheme);
        for (const auto& [palette, scheme] : {cases[0], cases[1]}) {
            QGuiApplication::setPalette(palette);
            QCOMPARE(Colors::currentScheme(), scheme);
            for (const auto& [token, from, to] : kAccents)
                QCOMPARE(Colors::color(token), Colors::color(token, scheme));
            QCOMPARE(Colors::color(ColorToken::secondary),
                     Colors::color(ColorToken::secondary, palette));
        }
    }

    // Opaque, distinct, looking like their names, and lifted on a dark background to keep
    // their contrast.
    void accentValues()
    {
        for (Scheme scheme : {Scheme::light, Scheme::dark}) {
            for (const auto& [token, from, to] : kAccents) {
                const QColor c = Colors::color(token, scheme);
                QVERIFY2(c.isValid() && c.alpha() == 255, qPrintable(c.name()));
                for (const auto& other : kAccents)
                    QVERIFY(std::get<0>(other) == token ||
                            c != Colors::color(std::get<0>(other), scheme));
                if (from < 0) { // gray
                    QVERIFY(c.hsvSaturationF() < 0.1f && c.lightnessF() > 0.3f &&
                            c.lightnessF() < 0.7f);
                    continue;
                }
                QVERIFY2((c.hsvHue() - from + 360) % 360 <= (to - from + 360) % 360,
                         qPrintable(c.name()));
                QVERIFY2(c.hsvSaturationF() > 0.3f, qPrintable(c.name()));
                QVERIFY(scheme == Scheme::light ||
                        c.lightnessF() > Colors::color(token, Scheme::light).lightnessF());
            }
        }
    }

    // The labels are the foreground faded toward the window, each fainter than the one before,
    // but never below what they are for: secondary and tertiary are text (4.5 : 1), quaternary
    // marks (3 : 1), on every surface of the palette, whatever the palette (a desktop's dark
    // one with a base darker than its window too). An opacity multiplies the alpha.
    void labelsDimTheForegroundAndStayReadable()
    {
        const QPalette tinted = paletteWith(QColor(0xF8, 0xF0, 0xE0), QColor(0x20, 0x20, 0x40));
        QPalette deskDark = paletteWith(QColor(0x20, 0x23, 0x26), QColor(0xFC, 0xFC, 0xFC));
        deskDark.setColor(QPalette::Base, QColor(0x14, 0x16, 0x18));
        for (const QPalette& palette :
             {kLight, kDark, tinted, deskDark, Palettes::light(), Palettes::dark()}) {
            const auto surfaces = Colors::surfaces(palette);
            const QColor text = palette.color(QPalette::WindowText);
            const QColor window = palette.color(QPalette::Window);
            double previous = Contrast::ratio(text, window);
            for (const auto& [token, needed] :
                 {std::pair(ColorToken::secondary, Contrast::kText),
                  std::pair(ColorToken::tertiary, Contrast::kText),
                  std::pair(ColorToken::quaternary, Contrast::kLarge)}) {
                const QColor label = Colors::color(token, palette);
                QCOMPARE(label.alpha(), 255);
                QVERIFY2(Contrast::lowestRatio(label, surfaces) >= needed,
                         qPrintable(label.name()));
                const double here = Contrast::ratio(label, window);
                QVERIFY2(here < previous - 0.3, qPrintable(label.name())); // visibly fainter
                previous = here;
                QCOMPARE(Colors::textColor(token, palette), label);
            }
        }
        for (ColorToken token : {ColorToken::secondary, ColorToken::tertiary}) {
            QVERIFY(Colors::color(token, Scheme::light).lightnessF() < 0.5f);
            QVERIFY(Colors::color(token, Scheme::dark).lightnessF() > 0.5f);
        }
        for (ColorToken token : {ColorToken::gray, ColorToken::blue, ColorToken::secondary}) {
            const QColor full = Colors::color(token, kDark),
                         faded = Colors::color(token, kDark, 0.12);
            QCOMPARE(faded.rgb(), full.rgb());
            QVERIFY(qAbs(faded.alphaF() - full.alphaF() * 0.12f) < 1.0f / 255);
            QCOMPARE(Colors::color(token, Scheme::light, 0.5).rgb(),
                     Colors::color(token, Scheme::light).rgb());
        }
        QGuiApplication::setPalette(kDark);
        QCOMPARE(Colors::color(ColorToken::gray, 0.12),
                 Colors::color(ColorToken::gray, kDark, 0.12));
        const QColor half(10, 20, 30, 128);
        QCOMPARE(Colors::withOpacity(half, 4.0), QColor(10, 20, 30, 255));
        QCOMPARE(Colors::withOpacity(half, -1.0).alpha(), 0);
    }

    // An accent as text reads at 4.5 : 1 on every surface and on its own tint (a badge), in
    // both schemes, with its hue; one that reads already is left as it is. Dividers show.
    void accentsAsTextAndDividers()
    {
        int unchanged = 0;
        for (const QPalette& palette : {Palettes::light(), Palettes::dark(), kLight, kDark}) {
            const auto surfaces = Colors::surfaces(palette);
            for (const auto& [token, from, to] : kAccents) {
                const QColor accent = Colors::color(token, palette);
                const QColor text = Colors::textColor(token, palette);
                const QColor tint = Contrast::over(Colors::color(token, palette, 0.1),
                                                   palette.color(QPalette::Base));
                QVERIFY2(Contrast::lowestRatio(text, surfaces) >= Contrast::kText &&
                             Contrast::ratio(text, tint) >= Contrast::kText,
                         qPrintable(text.name()));
                if (from >= 0)
                    QVERIFY2(qAbs(text.hsvHue() - accent.hsvHue()) <= 3, qPrintable(text.name()));
                if (Contrast::lowestRatio(accent, surfaces) >= 5.0 &&
                    Contrast::ratio(accent, tint) >= 5.0) {
                    QCOMPARE(text, accent);
                    ++unchanged;
                }
            }
            const QColor divider = Colors::divider(palette);
            for (auto role : {QPalette::Window, QPalette::Base})
                QVERIFY2(Contrast::ratio(divider, palette.color(role)) >= 1.8,
                         qPrintable(divider.name()));
        }
        QVERIFY(unchanged > 0); // the dark scheme's lighter accents mostly read as they are
    }

    // The measure itself, on pairs with known ratios; compositing; and the colours chosen to
    // reach a contrast over a spread of colours.
    void contrastMeasuresAndChooses()
    {
        QCOMPARE(Contrast::ratio(Qt::black, Qt::white), 21.0);
        QCOMPARE(Contrast::ratio(QColor(0x12, 0x34, 0x56), QColor(0x12, 0x34, 0x56)), 1.0);
        QVERIFY(qAbs(Contrast::ratio(QColor(0x76, 0x76, 0x76), Qt::white) - 4.54) < 0.01);
        QVERIFY(qAbs(Contrast::ratio(QColor(0xFF, 0xCC, 0x00), Qt::white) - 1.51) < 0.01);
        QCOMPARE(Contrast::over(QColor(255, 255, 255, 0), Qt::black), QColor(Qt::black));
        QCOMPARE(Contrast::over(QColor(255, 255, 255, 255), Qt::black), QColor(Qt::white));
        QVERIFY(qAbs(Contrast::over(QColor(255, 255, 255, 128), Qt::black).red() - 128) <= 1);
        for (int hue = 0; hue < 360; hue += 15) {
            for (float value : {0.2f, 0.5f, 0.8f, 1.0f}) {
                const QColor c = QColor::fromHsvF(hue / 360.0f, 0.7f, value);
                QVERIFY(Contrast::ratio(Contrast::labelOn(c), c) >= 4.58);
                const QColor fill = Contrast::fillBehind(Qt::white, c);
                QVERIFY(Contrast::ratio(Qt::white, fill) >= Contrast::kText);
                QVERIFY(qAbs(fill.hsvHue() - c.hsvHue()) <= 3);
                for (const QColor& background : {QColor(Qt::white), QColor(0x1e, 0x1e, 0x1e)}) {
                    const QColor text = Contrast::readable(c, {background});
                    QVERIFY(Contrast::ratio(text, background) >= Contrast::kText);
                    // Only as far as needed: a step less would not read.
                    if (text != c.toRgb())
                        QVERIFY(Contrast::ratio(text, background) < Contrast::kText + 0.1);
                }
            }
        }
        const QColor surfaces[] = {QColor(Qt::white), QColor(0xe0, 0xe0, 0xe0)};
        const QColor faint = Contrast::faintest(Qt::black, Qt::white, surfaces, 4.5);
        QVERIFY(Contrast::lowestRatio(faint, surfaces) >= 4.5);
        QVERIFY(Contrast::lowestRatio(faint, surfaces) < 4.6);
    }

    // The styles keep their order and scale with the application font, whose size and family
    // the body takes; system sizes share the grid where 13 points is the body. An explicit base
    // font is used in place of the application font; one given in pixels is measured.
    void textSizesFollowTheApplicationFont()
    {
        std::vector<qreal> ratios;
        for (qreal base : {9.0, 11.5, 24.0}) {
            QFont app = baseFont(base);
            app.setFamily(u"DejaVu Serif"_s);
            QGuiApplication::setFont(app);
            QCOMPARE(TextStyles::font(TextStyle::body).pointSizeF(), base);
            qreal previous = 1000;
            for (size_t i = 0; i < std::size(kStyles); ++i) {
                const QFont font = TextStyles::font(kStyles[i]);
                if (ratios.size() <= i)
                    ratios.push_back(font.pointSizeF() / base);
                QVERIFY(qFuzzyCompare(font.pointSizeF(), ratios[i] * base));
                QCOMPARE(font.family(), app.family());
                QVERIFY2(i == 5 ? font.pointSizeF() == previous : font.pointSizeF() < previous,
                         qPrintable(QString::number(i))); // 5: the body, after the headline
                previous = font.pointSizeF();
                QVERIFY(
                    qFuzzyCompare(TextStyles::font(kStyles[i], {}, baseFont(2 * base)).pointSizeF(),
                                  2 * font.pointSizeF()));
            }
            QVERIFY(qFuzzyCompare(TextStyles::systemFont(13).pointSizeF(), base));
            QVERIFY(qFuzzyCompare(TextStyles::systemFont(26).pointSizeF(), 2 * base));
            QVERIFY(TextStyles::systemFont(56).pointSizeF() > ratios[0] * base);
        }
        QFont pixels = QGuiApplication::font();
        pixels.setPixelSize(20);
        QGuiApplication::setFont(pixels);
        const qreal resolved = QFontInfo(pixels).pointSizeF();
        QVERIFY(resolved > 0 &&
                qFuzzyCompare(TextStyles::font(TextStyle::body).pointSizeF(), resolved));
    }

    void textWeights()
    {
        QVERIFY(TextStyles::font(TextStyle::headline).weight() > QFont::Normal);
        QCOMPARE(TextStyles::font(TextStyle::body).weight(), QFont::Normal);
        for (QFont::Weight weight : {QFont::Normal, QFont::Medium, QFont::Bold}) {
            for (TextStyle style : kStyles) {
                const QFont weighted = TextStyles::font(style, {.weight = weight, .rounded = true});
                QCOMPARE(weighted.weight(), weight);
                QCOMPARE(weighted.pointSizeF(), TextStyles::font(style).pointSizeF());
            }
            QCOMPARE(TextStyles::systemFont(14, {.weight = weight}).weight(), weight);
        }
        const QString rounded = TextStyles::roundedFamily();
        QCOMPARE(TextStyles::font(TextStyle::title3, {.rounded = true}).family(),
                 rounded.isEmpty() ? TextStyles::font(TextStyle::title3).family() : rounded);
        QVERIFY(QFontInfo(TextStyles::font(TextStyle::callout, {.weight = QFont::Bold})).bold());
        QVERIFY(!QFontInfo(TextStyles::font(TextStyle::callout)).bold());
    }

    // Digits of equal advance where they are asked for, on every base family, and all
    // characters of equal advance in the monospaced design. The families are those Qt's
    // dependencies and scripts/install-deps.sh install.
    void equalAdvances_data()
    {
        QTest::addColumn<QString>("family"); // empty: the application font
        QTest::addColumn<QString>("design");
        for (const char* family : {"DejaVu Sans", "DejaVu Serif", "WenQuanYi Micro Hei"})
            for (const char* design : {"digits", "rounded digits"})
                QTest::addRow("%s, %s", family, design) << family << design;
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

    // Every name in the table finds its file and draws a real glyph; a name without artwork
    // or an empty size draws nothing.
    void everySymbolHasArtwork()
    {
        const QStringList names = Icons::names();
        QVERIFY(std::is_sorted(names.cbegin(), names.cend()));
        for (const QString& name : kUsedSymbols)
            QVERIFY2(Icons::contains(name) && names.contains(name), qPrintable(name));
        for (const QString& name : names) {
            const QImage image = symbol(name, 48, Qt::black);
            const Ink ink = inkOf(image);
            QVERIFY2(image.size() == QSize(48, 48) && ink.maxAlpha == 255, qPrintable(name));
            QVERIFY2(ink.share > 0.03 && ink.share < 0.9, qPrintable(name));
        }
        for (const QString& name :
             {u"no.such.symbol"_s, QString(), u"Trash.Fill"_s, u".fill"_s, u"trash-fill"_s}) {
            QVERIFY(!Icons::contains(name) && Icons::pixmap(name, 24, Qt::red).isNull());
            QVERIFY(Icons::pixmap(name, 24, Qt::red, 2.0, Icons::Variant::filled).isNull());
            QVERIFY(Icons::icon(name, Qt::red).isNull() &&
                    Icons::icon(name, ColorToken::blue).isNull());
        }
        for (const auto& [extent, ratio] : {std::pair(0, 1.0), {-4, 1.0}, {16, 0.0}})
            QVERIFY(Icons::pixmap(u"trash"_s, extent, Qt::red, ratio).isNull());
    }

    // Same names and size for every colour, so a cache that ignored the colour fails here.
    // Tinting keeps the glyph's shape: the corners of a chevron stay empty.
    void tintUsesTheRequestedColour()
    {
        for (const QColor& color :
             {QColor(Qt::red), QColor(Qt::white), Colors::color(ColorToken::blue, Scheme::light),
              QColor(0x20, 0x80, 0xE0, 128)}) {
            for (const QString& name :
                 {u"trash.fill"_s, u"chevron.right"_s, u"folder.badge.gearshape"_s}) {
                const Ink ink = inkOf(symbol(name, 40, color), {}, color);
                QVERIFY2(ink.offColor == 0 && ink.count > 20 &&
                             qAbs(ink.maxAlpha - color.alpha()) <= 1,
                         qPrintable(color.name() + name));
            }
        }
        const QImage chevron = symbol(u"chevron.right"_s, 32, Qt::red);
        QCOMPARE(qAlpha(chevron.pixel(0, 0)) + qAlpha(chevron.pixel(31, 31)), 0);
        QVERIFY(inkOf(chevron).share < 0.3);
    }

    // The artwork is scaled to the square, not drawn at its own size.
    void sizeFollowsExtentAndPixelRatio()
    {
        const qreal share16 = inkOf(symbol(u"house.fill"_s, 16, Qt::blue)).share;
        for (const auto& [extent, ratio] : {std::pair(16, 1.0), {24, 2.0}, {13, 1.25}, {56, 3.0}}) {
            const QPixmap pixmap = Icons::pixmap(u"house.fill"_s, extent, Qt::blue, ratio);
            QCOMPARE(pixmap.size(), QSize(qRound(extent * ratio), qRound(extent * ratio)));
            QCOMPARE(pixmap.devicePixelRatio(), ratio);
            QVERIFY(qAbs(inkOf(imageOf(pixmap)).share - share16) < 0.1);
        }
    }

    // sidebar.right has its panel on the right, in both forms; the filled one fills it. Without
    // a filled form, or filled already, a symbol draws as it is. As an icon for widgets, a
    // checked button shows the filled variant and a disabled one is faded.
    void filledVariant()
    {
        const int side = 64;
        const QImage plain = symbol(u"sidebar.right"_s, side, Qt::black);
        const QImage filled =
            symbol(u"sidebar.right"_s, side, Qt::black, 1.0, Icons::Variant::filled);
        const QRect left(0, side / 2, side / 2, 1), right = left.translated(side / 2, 0);
        QVERIFY(inkOf(plain, right).count > inkOf(plain, left).count);
        QVERIFY(inkOf(filled, right).count > qMax(inkOf(filled, left).count, side / 5));
        QVERIFY(inkOf(filled).share > inkOf(plain).share * 1.3);
        const QImage filledTrash = symbol(u"trash"_s, 24, Qt::red, 1.0, Icons::Variant::filled);
        QCOMPARE(filledTrash, symbol(u"trash.fill"_s, 24, Qt::red));
        QVERIFY(filledTrash != symbol(u"trash"_s, 24, Qt::red));
        for (const QString& name : {u"xmark"_s, u"folder.fill"_s})
            QCOMPARE(symbol(name, 20, Qt::black, 1.0, Icons::Variant::filled),
                     symbol(name, 20, Qt::black));

        const QIcon icon = Icons::icon(u"sidebar.right"_s, Qt::red);
        const QPixmap pixmap = icon.pixmap(QSize(20, 20), 2.0);
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
        QCOMPARE(imageOf(pixmap), symbol(u"sidebar.right"_s, 20, Qt::red, 2.0));
        QCOMPARE(imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::On)),
                 symbol(u"sidebar.right"_s, 24, Qt::red, 1.0, Icons::Variant::filled));
        const int disabled =
            inkOf(imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled))).maxAlpha;
        QVERIFY(disabled > 0 && disabled < 128);
    }

    // The middle of a filled document is solid, in the token's colour for the palette of the
    // moment. A symbol "in" a font is a line of it high.
    void iconsFollowThePaletteAndTheFont()
    {
        const QIcon icon = Icons::icon(u"doc.fill"_s, ColorToken::orange);
        for (bool dark : {false, true, false}) {
            QGuiApplication::setPalette(dark ? kDark : kLight);
            QCOMPARE(QColor::fromRgba(imageOf(icon.pixmap(QSize(32, 32), 1.0)).pixel(16, 20)),
                     Colors::color(ColorToken::orange, dark ? Scheme::dark : Scheme::light));
        }
        const int small = Icons::extentFor(baseFont(9)), large = Icons::extentFor(baseFont(27));
        QVERIFY(small >= QFontInfo(baseFont(9)).pixelSize());
        QVERIFY(large > 2 * small && large < 4 * small);
    }

    // What assistive technology hears of widgets that paint what they show: a bar, the share
    // its fill covers as a whole percentage; a symbol, its name.
    void paintedWidgetsSayWhatTheyShow()
    {
        ProportionBar bar(6, 3, ColorToken::blue);
        bar.resize(200, 6);
        for (double fraction : {0.0, 0.004, 0.425, 0.5, 0.996, 1.0, 1.7, -0.2,
                                std::numeric_limits<double>::quiet_NaN()}) {
            bar.setFraction(fraction);
            QCOMPARE(QAccessible::queryAccessibleInterface(&bar)->text(QAccessible::Name),
                     QString::number(qRound(bar.fillWidth() / bar.width() * 100)) + u'%');
        }
        SymbolView symbol(u"trash.fill"_s, 16, ColorToken::orange);
        QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(&symbol);
        QVERIFY(heard->text(QAccessible::Name).isEmpty());
        QCOMPARE(heard->text(QAccessible::Description), u"trash.fill"_s);
    }

private:
    QFont m_appFont;
};

QTEST_MAIN(ThemeTest)
#include "tst_theme.moc"
