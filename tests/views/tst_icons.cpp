#include "theme/Colors.h"
#include "theme/Icons.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace plenvo;

namespace {

// Every symbol name the user interface asks for.
const char* const kUsedSymbols[] = {
    "app.fill",
    "archivebox.fill",
    "arrow.down.circle.fill",
    "arrow.right.circle",
    "arrow.right.circle.fill",
    "chart.pie.fill",
    "checkmark.circle.fill",
    "chevron.down.circle",
    "chevron.left.forwardslash.chevron.right",
    "chevron.right",
    "cylinder.fill",
    "doc.fill",
    "doc.on.doc.fill",
    "doc.text.fill",
    "doc.text.magnifyingglass",
    "film.fill",
    "folder.badge.gearshape",
    "folder.badge.questionmark",
    "folder.fill",
    "gearshape.fill",
    "house.fill",
    "internaldrive.fill",
    "menubar.dock.rectangle",
    "music.note",
    "photo.fill",
    "plus.circle.fill",
    "questionmark.folder.fill",
    "sidebar.right",
    "square.grid.2x2.fill",
    "square.grid.3x3.fill",
    "square.stack.fill",
    "trash",
    "trash.fill",
    "tray.full.fill",
    "xmark",
};

QImage imageOf(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

int maxAlpha(const QImage& image)
{
    int result = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result = qMax(result, qAlpha(image.pixel(x, y)));
    return result;
}

// Share of the pixels at least half covered.
qreal coverage(const QImage& image)
{
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            covered += qAlpha(image.pixel(x, y)) >= 128;
    return qreal(covered) / (image.width() * image.height());
}

// The box around the pixels at least half covered, relative to the image side.
QRectF inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= 128)
                box |= QRect(x, y, 1, 1);
    const qreal side = image.width();
    return {box.x() / side, box.y() / side, box.width() / side, box.height() / side};
}

int coveredInRow(const QImage& image, int y, int fromX, int toX)
{
    int count = 0;
    for (int x = fromX; x < toX; ++x)
        count += qAlpha(image.pixel(x, y)) >= 128;
    return count;
}

QPalette paletteWithWindow(const QColor& window)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    return palette;
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    // Names

    void everyUsedSymbolHasArtwork_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : kUsedSymbols)
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyUsedSymbolHasArtwork()
    {
        QFETCH(QString, name);
        QVERIFY(Icons::contains(name));
        QVERIFY(Icons::names().contains(name));
        const QImage image = imageOf(Icons::pixmap(name, 32, Qt::black));
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(maxAlpha(image), 255);
        QVERIFY(!Icons::icon(name, Qt::black).isNull());
    }

    // Guards the resource list: every name the table offers must find its file.
    void everyKnownSymbolDraws()
    {
        const QStringList names = Icons::names();
        QVERIFY(names.size() >= int(std::size(kUsedSymbols)));
        QVERIFY(std::is_sorted(names.cbegin(), names.cend()));
        for (const QString& name : names) {
            const qreal share = coverage(imageOf(Icons::pixmap(name, 48, Qt::black)));
            QVERIFY2(share > 0.03 && share < 0.9, qPrintable(name));
        }
    }

    void unknownNameDrawsNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("made up") << QStringLiteral("no.such.symbol");
        QTest::newRow("empty") << QString();
        QTest::newRow("wrong case") << QStringLiteral("Trash.Fill");
        QTest::newRow("suffix only") << QStringLiteral(".fill");
        QTest::newRow("file name") << QStringLiteral("trash-fill");
    }

    void unknownNameDrawsNothing()
    {
        QFETCH(QString, name);
        QVERIFY(!Icons::contains(name));
        QVERIFY(Icons::pixmap(name, 24, Qt::red).isNull());
        QVERIFY(Icons::pixmap(name, 24, Qt::red, 2.0, Icons::Variant::filled).isNull());
        QVERIFY(Icons::icon(name, Qt::red).isNull());
        QVERIFY(Icons::icon(name, ColorToken::blue).isNull());
    }

    void degenerateSizesDrawNothing()
    {
        QVERIFY(Icons::pixmap(QStringLiteral("trash"), 0, Qt::red).isNull());
        QVERIFY(Icons::pixmap(QStringLiteral("trash"), -4, Qt::red).isNull());
        QVERIFY(Icons::pixmap(QStringLiteral("trash"), 16, Qt::red, 0.0).isNull());
    }

    // Tint

    // The rows share name and size, so a cache that ignored the colour would fail here.
    void tintUsesTheRequestedColour_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::newRow("red") << QColor(Qt::red);
        QTest::newRow("blue token") << Colors::color(ColorToken::blue, Colors::Scheme::light);
        QTest::newRow("white") << QColor(Qt::white);
        QTest::newRow("green") << QColor(0x34, 0xC7, 0x59);
        QTest::newRow("half transparent") << QColor(0x20, 0x80, 0xE0, 128);
    }

    void tintUsesTheRequestedColour()
    {
        QFETCH(QColor, color);
        for (const char* name : {"trash.fill", "chevron.right", "folder.badge.gearshape"}) {
            const QImage image = imageOf(Icons::pixmap(QString::fromLatin1(name), 40, color));
            QVERIFY(qAbs(maxAlpha(image) - color.alpha()) <= 1);
            int checked = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    if (qAlpha(pixel) < 64)
                        continue;
                    ++checked;
                    QVERIFY2(qAbs(qRed(pixel) - color.red()) <= 4 &&
                                 qAbs(qGreen(pixel) - color.green()) <= 4 &&
                                 qAbs(qBlue(pixel) - color.blue()) <= 4,
                             qPrintable(QStringLiteral("%1 at %2,%3: %4")
                                            .arg(QLatin1String(name))
                                            .arg(x)
                                            .arg(y)
                                            .arg(pixel, 8, 16)));
                }
            }
            QVERIFY(checked > 20);
        }
    }

    void outsideTheGlyphStaysTransparent()
    {
        // The corners of a chevron are empty: tinting must not fill the whole square.
        const QImage image = imageOf(Icons::pixmap(QStringLiteral("chevron.right"), 32, Qt::red));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(31, 31)), 0);
        QVERIFY(coverage(image) < 0.3);
    }

    // Size and pixel ratio

    void sizeFollowsExtentAndPixelRatio_data()
    {
        QTest::addColumn<int>("extent");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("16 @1") << 16 << 1.0;
        QTest::newRow("24 @2") << 24 << 2.0;
        QTest::newRow("20 @1.5") << 20 << 1.5;
        QTest::newRow("13 @1.25") << 13 << 1.25;
        QTest::newRow("56 @3") << 56 << 3.0;
    }

    void sizeFollowsExtentAndPixelRatio()
    {
        QFETCH(int, extent);
        QFETCH(qreal, ratio);
        const QPixmap pixmap = Icons::pixmap(QStringLiteral("house.fill"), extent, Qt::blue, ratio);
        const int side = qRound(extent * ratio);
        QCOMPARE(pixmap.size(), QSize(side, side));
        QCOMPARE(pixmap.devicePixelRatio(), ratio);
        QVERIFY(qAbs(pixmap.deviceIndependentSize().width() - extent) < 0.5);
    }

    // The artwork is scaled to the square, not drawn at its own size.
    void artworkScalesWithTheExtent()
    {
        for (const char* name : {"trash.fill", "folder.badge.questionmark", "doc.fill"}) {
            const QRectF small =
                inkBox(imageOf(Icons::pixmap(QString::fromLatin1(name), 16, Qt::black)));
            const QRectF large =
                inkBox(imageOf(Icons::pixmap(QString::fromLatin1(name), 32, Qt::black, 4.0)));
            QVERIFY2(qAbs(small.width() - large.width()) < 0.15 &&
                         qAbs(small.height() - large.height()) < 0.15,
                     name);
            QVERIFY2(large.width() > 0.5 || large.height() > 0.5, name);
        }
    }

    void repeatedRequestsShareOnePixmap()
    {
        const QString name = QStringLiteral("film.fill");
        const QPixmap first = Icons::pixmap(name, 18, Qt::darkCyan, 2.0);
        const QPixmap again = Icons::pixmap(name, 18, Qt::darkCyan, 2.0);
        QCOMPARE(again.cacheKey(), first.cacheKey());
        QVERIFY(Icons::pixmap(name, 18, Qt::darkCyan, 1.0).cacheKey() != first.cacheKey());
        QVERIFY(Icons::pixmap(name, 19, Qt::darkCyan, 2.0).cacheKey() != first.cacheKey());
    }

    // Variants

    void sidebarRightHasItsPanelOnTheRight()
    {
        const int side = 64;
        const QImage plain =
            imageOf(Icons::pixmap(QStringLiteral("sidebar.right"), side, Qt::black));
        const QImage filled = imageOf(Icons::pixmap(QStringLiteral("sidebar.right"), side,
                                                    Qt::black, 1.0, Icons::Variant::filled));
        const int middle = side / 2;
        for (const QImage& image : {plain, filled}) {
            const int left = coveredInRow(image, middle, 0, side / 2);
            const int right = coveredInRow(image, middle, side / 2, side);
            QVERIFY2(right > left,
                     qPrintable(QStringLiteral("left %1, right %2").arg(left).arg(right)));
        }
        // The filled form fills the panel: a long run of ink right of the middle.
        QVERIFY(coveredInRow(filled, middle, side / 2, side) > side / 5);
        QVERIFY(coverage(filled) > coverage(plain) * 1.3);
    }

    void filledVariantOfAPlainSymbol()
    {
        const QImage trash = imageOf(Icons::pixmap(QStringLiteral("trash"), 24, Qt::red));
        const QImage filledTrash = imageOf(
            Icons::pixmap(QStringLiteral("trash"), 24, Qt::red, 1.0, Icons::Variant::filled));
        QCOMPARE(filledTrash, imageOf(Icons::pixmap(QStringLiteral("trash.fill"), 24, Qt::red)));
        QVERIFY(filledTrash != trash);
    }

    void filledVariantFallsBackToTheSymbol()
    {
        for (const char* name : {"xmark", "chevron.right", "folder.fill", "music.note"}) {
            const QString symbol = QString::fromLatin1(name);
            QCOMPARE(imageOf(Icons::pixmap(symbol, 20, Qt::black, 1.0, Icons::Variant::filled)),
                     imageOf(Icons::pixmap(symbol, 20, Qt::black)));
        }
    }

    // Icons for widgets

    void iconDrawsAtTheRequestedSizeAndRatio()
    {
        const QIcon icon = Icons::icon(QStringLiteral("checkmark.circle.fill"), Qt::green);
        const QPixmap pixmap = icon.pixmap(QSize(20, 20), 2.0);
        QCOMPARE(pixmap.size(), QSize(40, 40));
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
        QCOMPARE(imageOf(pixmap), imageOf(Icons::pixmap(QStringLiteral("checkmark.circle.fill"), 20,
                                                        Qt::green, 2.0)));
        QCOMPARE(icon.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
    }

    void iconOnStateShowsTheFilledVariant()
    {
        const QIcon icon = Icons::icon(QStringLiteral("sidebar.right"), Qt::black);
        const QImage off = imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::Off));
        const QImage on = imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal, QIcon::On));
        QCOMPARE(off, imageOf(Icons::pixmap(QStringLiteral("sidebar.right"), 24, Qt::black)));
        QCOMPARE(on, imageOf(Icons::pixmap(QStringLiteral("sidebar.right"), 24, Qt::black, 1.0,
                                           Icons::Variant::filled)));
    }

    void disabledIconIsFaded()
    {
        const QIcon icon = Icons::icon(QStringLiteral("trash.fill"), Qt::red);
        const QImage normal = imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal));
        const QImage disabled = imageOf(icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled));
        QCOMPARE(maxAlpha(normal), 255);
        QVERIFY(maxAlpha(disabled) > 0 && maxAlpha(disabled) < 128);
    }

    void iconPaintsIntoItsRect()
    {
        const QIcon icon = Icons::icon(QStringLiteral("house.fill"), Qt::blue);
        QImage canvas(60, 40, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            icon.paint(&painter, QRect(10, 5, 30, 30));
        }
        canvas = canvas.convertToFormat(QImage::Format_ARGB32);
        // Ink only inside the rect, and some of it blue.
        bool inkInside = false;
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                const QRgb pixel = canvas.pixel(x, y);
                if (qAlpha(pixel) == 0)
                    continue;
                QVERIFY(QRect(10, 5, 30, 30).contains(x, y));
                inkInside |= qAlpha(pixel) == 255 && pixel == QColor(Qt::blue).rgba();
            }
        }
        QVERIFY(inkInside);
    }

    void tokenIconFollowsTheApplicationPalette()
    {
        const QIcon icon = Icons::icon(QStringLiteral("doc.fill"), ColorToken::orange);
        for (bool dark : {false, true, false}) {
            QGuiApplication::setPalette(
                paletteWithWindow(dark ? QColor(0x20, 0x20, 0x20) : QColor(0xF0, 0xF0, 0xF0)));
            const QColor expected = Colors::color(ColorToken::orange, dark ? Colors::Scheme::dark
                                                                           : Colors::Scheme::light);
            const QImage image = imageOf(icon.pixmap(QSize(32, 32), 1.0));
            // The middle of a filled document is solid.
            QCOMPARE(QColor::fromRgba(image.pixel(16, 20)), expected);
        }
    }

    // Sizes for text

    void extentForFollowsTheFont()
    {
        QFont small = QGuiApplication::font();
        small.setPointSizeF(9);
        QFont large = small;
        large.setPointSizeF(27);
        const int smallExtent = Icons::extentFor(small);
        const int largeExtent = Icons::extentFor(large);
        QVERIFY(smallExtent >= QFontInfo(small).pixelSize());
        QVERIFY(largeExtent > 2 * smallExtent);
        QVERIFY(largeExtent < 4 * smallExtent);
    }
};

QTEST_MAIN(IconsTest)
#include "tst_icons.moc"
