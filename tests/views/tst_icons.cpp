#include "theme/Colors.h"
#include "theme/Icons.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <utility>

using namespace plenvo;

namespace {

// Every symbol name the user interface asks for.
const QStringList kUsedSymbols =
    QStringLiteral(
        "app.fill archivebox.fill arrow.down.circle.fill arrow.right.circle "
        "arrow.right.circle.fill chart.pie.fill checkmark.circle.fill chevron.down.circle "
        "chevron.left.forwardslash.chevron.right chevron.right cylinder.fill doc.fill "
        "doc.on.doc.fill doc.text.fill doc.text.magnifyingglass film.fill folder.badge.gearshape "
        "folder.badge.questionmark folder.fill gearshape.fill house.fill internaldrive.fill "
        "menubar.dock.rectangle music.note photo.fill plus.circle.fill questionmark.folder.fill "
        "sidebar.right square.grid.2x2.fill square.grid.3x3.fill square.stack.fill trash "
        "trash.fill tray.full.fill xmark")
        .split(u' ');

QImage imageOf(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage symbol(const char* name, int extent, const QColor& color, qreal ratio = 1.0,
              Icons::Variant variant = Icons::Variant::plain)
{
    return imageOf(Icons::pixmap(QString::fromLatin1(name), extent, color, ratio, variant));
}

int maxAlpha(const QImage& image)
{
    int result = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result = qMax(result, qAlpha(image.pixel(x, y)));
    return result;
}

// The pixels at least half covered within `area` (the whole image by default).
int inkIn(const QImage& image, QRect area = {})
{
    area = area.isEmpty() ? image.rect() : area;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qAlpha(image.pixel(x, y)) >= 128;
    return count;
}

qreal coverage(const QImage& image)
{
    return qreal(inkIn(image)) / (image.width() * image.height());
}

// The pixels with some ink, all of which must have `color` (within rounding); -1 when one
// has not.
int pixelsTinted(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 64)
                continue;
            if (qAbs(qRed(pixel) - color.red()) > 4 || qAbs(qGreen(pixel) - color.green()) > 4 ||
                qAbs(qBlue(pixel) - color.blue()) > 4)
                return -1;
            ++count;
        }
    }
    return count;
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    void everySymbolHasArtwork()
    {
        const QStringList names = Icons::names();
        QVERIFY(std::is_sorted(names.cbegin(), names.cend()));
        for (const QString& name : kUsedSymbols) {
            QVERIFY2(Icons::contains(name) && names.contains(name), qPrintable(name));
            QVERIFY(!Icons::icon(name, Qt::black).isNull());
        }
        // Every name in the table must find its file and draw a real glyph.
        for (const QString& name : names) {
            const QImage image = imageOf(Icons::pixmap(name, 48, Qt::black));
            const qreal share = coverage(image);
            QVERIFY2(image.size() == QSize(48, 48) && maxAlpha(image) == 255, qPrintable(name));
            QVERIFY2(share > 0.03 && share < 0.9, qPrintable(name));
        }
    }

    void nothingToDrawGivesNull()
    {
        for (const QString& name :
             {QStringLiteral("no.such.symbol"), QString(), QStringLiteral("Trash.Fill"),
              QStringLiteral(".fill"), QStringLiteral("trash-fill")}) {
            QVERIFY(!Icons::contains(name));
            QVERIFY(Icons::pixmap(name, 24, Qt::red).isNull());
            QVERIFY(Icons::pixmap(name, 24, Qt::red, 2.0, Icons::Variant::filled).isNull());
            QVERIFY(Icons::icon(name, Qt::red).isNull());
            QVERIFY(Icons::icon(name, ColorToken::blue).isNull());
        }
        QVERIFY(Icons::pixmap(QStringLiteral("trash"), 0, Qt::red).isNull());
        QVERIFY(Icons::pixmap(QStringLiteral("trash"), -4, Qt::red).isNull());
        QVERIFY(Icons::pixmap(QStringLiteral("trash"), 16, Qt::red, 0.0).isNull());
    }

    // Same names and size for every colour, so a cache that ignored the colour fails here.
    void tintUsesTheRequestedColour()
    {
        for (const QColor& color : {QColor(Qt::red), QColor(Qt::white),
                                    Colors::color(ColorToken::blue, Colors::Scheme::light),
                                    QColor(0x20, 0x80, 0xE0, 128)}) {
            for (const char* name : {"trash.fill", "chevron.right", "folder.badge.gearshape"}) {
                const QImage image = symbol(name, 40, color);
                QVERIFY(qAbs(maxAlpha(image) - color.alpha()) <= 1);
                QVERIFY2(pixelsTinted(image, color) > 20, qPrintable(color.name() + name));
            }
        }
        // Tinting keeps the glyph's shape: the corners of a chevron stay empty.
        const QImage chevron = symbol("chevron.right", 32, Qt::red);
        QCOMPARE(qAlpha(chevron.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(chevron.pixel(31, 31)), 0);
        QVERIFY(coverage(chevron) < 0.3);
    }

    void sizeFollowsExtentAndPixelRatio()
    {
        const std::pair<int, qreal> cases[] = {{16, 1.0}, {24, 2.0}, {13, 1.25}, {56, 3.0}};
        for (const auto& [extent, ratio] : cases) {
            const QPixmap pixmap =
                Icons::pixmap(QStringLiteral("house.fill"), extent, Qt::blue, ratio);
            const int side = qRound(extent * ratio);
            QCOMPARE(pixmap.size(), QSize(side, side));
            QCOMPARE(pixmap.devicePixelRatio(), ratio);
            // The artwork is scaled to the square, not drawn at its own size.
            const qreal share = coverage(imageOf(pixmap));
            QVERIFY2(qAbs(share - coverage(symbol("house.fill", 16, Qt::blue))) < 0.1,
                     qPrintable(QString::number(share)));
        }
    }

    void filledVariant()
    {
        // sidebar.right has its panel on the right, in both forms; the filled one fills it.
        const int side = 64;
        const QImage plain = symbol("sidebar.right", side, Qt::black);
        const QImage filled = symbol("sidebar.right", side, Qt::black, 1.0, Icons::Variant::filled);
        const QRect left(0, side / 2, side / 2, 1);
        const QRect right = left.translated(side / 2, 0);
        QVERIFY(inkIn(plain, right) > inkIn(plain, left));
        QVERIFY(inkIn(filled, right) > inkIn(filled, left));
        QVERIFY(inkIn(filled, right) > side / 5);
        QVERIFY(coverage(filled) > coverage(plain) * 1.3);

        const QImage filledTrash = symbol("trash", 24, Qt::red, 1.0, Icons::Variant::filled);
        QCOMPARE(filledTrash, symbol("trash.fill", 24, Qt::red));
        QVERIFY(filledTrash != symbol("trash", 24, Qt::red));
        // Without a filled form, or filled already, a symbol draws as it is.
        for (const char* name : {"xmark", "folder.fill"})
            QCOMPARE(symbol(name, 20, Qt::black, 1.0, Icons::Variant::filled),
                     symbol(name, 20, Qt::black));
    }

    void iconsForWidgets()
    {
        const QIcon icon = Icons::icon(QStringLiteral("sidebar.right"), Qt::red);
        const QPixmap pixmap = icon.pixmap(QSize(20, 20), 2.0);
        QCOMPARE(pixmap.size(), QSize(40, 40));
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
        QCOMPARE(imageOf(pixmap), symbol("sidebar.right", 20, Qt::red, 2.0));
        // A checked button shows the filled variant; a disabled one is faded.
        QCOMPARE(imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::On)),
                 symbol("sidebar.right", 24, Qt::red, 1.0, Icons::Variant::filled));
        const QImage disabled = imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled));
        QVERIFY(maxAlpha(disabled) > 0 && maxAlpha(disabled) < 128);
    }

    void tokenIconFollowsTheApplicationPalette()
    {
        const QIcon icon = Icons::icon(QStringLiteral("doc.fill"), ColorToken::orange);
        for (bool dark : {false, true, false}) {
            QPalette palette;
            palette.setColor(QPalette::Window, dark ? QColor(0x20, 0x20, 0x20) : Qt::white);
            QGuiApplication::setPalette(palette);
            const QImage image = imageOf(icon.pixmap(QSize(32, 32), 1.0));
            // The middle of a filled document is solid.
            QCOMPARE(QColor::fromRgba(image.pixel(16, 20)),
                     Colors::color(ColorToken::orange,
                                   dark ? Colors::Scheme::dark : Colors::Scheme::light));
        }
    }

    void extentForFollowsTheFont()
    {
        QFont small = QGuiApplication::font();
        small.setPointSizeF(9);
        QFont large = small;
        large.setPointSizeF(27);
        const int smallExtent = Icons::extentFor(small);
        const int largeExtent = Icons::extentFor(large);
        QVERIFY(smallExtent >= QFontInfo(small).pixelSize());
        QVERIFY(largeExtent > 2 * smallExtent && largeExtent < 4 * smallExtent);
    }
};

QTEST_MAIN(IconsTest)
#include "tst_icons.moc"
