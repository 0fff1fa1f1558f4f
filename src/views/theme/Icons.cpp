#include "theme/Icons.h"

#include "theme/SymbolIconEngine.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>

// The artwork is compiled into this static library; registering it by hand keeps the linker
// from dropping it.
static void registerSymbolResources()
{
    Q_INIT_RESOURCE(theme_icons);
}

namespace plenvo {

namespace {

struct Symbol {
    std::string_view name;
    std::string_view file; // below :/plenvo/symbols/
    bool mirrored = false;
};

// Sorted by name for the binary search in find().
constexpr Symbol kSymbols[] = {
    {"app.fill", "phosphor/app-window-fill.svg"},
    {"archivebox.fill", "phosphor/archive-fill.svg"},
    {"arrow.clockwise", "phosphor/arrow-clockwise.svg"},
    {"arrow.down.circle.fill", "phosphor/arrow-circle-down-fill.svg"},
    {"arrow.right.circle", "phosphor/arrow-circle-right.svg"},
    {"arrow.right.circle.fill", "phosphor/arrow-circle-right-fill.svg"},
    {"arrow.up.right.square", "phosphor/arrow-square-out.svg"},
    {"chart.pie.fill", "phosphor/chart-pie-fill.svg"},
    {"checkmark.circle.fill", "phosphor/check-circle-fill.svg"},
    {"chevron.down.circle", "phosphor/caret-circle-down.svg"},
    {"chevron.left", "phosphor/caret-left.svg"},
    {"chevron.left.forwardslash.chevron.right", "phosphor/code.svg"},
    {"chevron.right", "phosphor/caret-right.svg"},
    {"clock.arrow.circlepath", "phosphor/clock-counter-clockwise-fill.svg"},
    {"cylinder.fill", "phosphor/cylinder-fill.svg"},
    {"doc.fill", "phosphor/file-fill.svg"},
    {"doc.on.clipboard", "phosphor/clipboard-text.svg"},
    {"doc.on.doc.fill", "phosphor/copy-fill.svg"},
    {"doc.text.fill", "phosphor/file-text-fill.svg"},
    {"doc.text.magnifyingglass", "phosphor/file-magnifying-glass.svg"},
    {"exclamationmark.triangle.fill", "phosphor/warning-fill.svg"},
    {"film.fill", "phosphor/film-strip-fill.svg"},
    {"folder", "phosphor/folder.svg"},
    {"folder.badge.gearshape", "tabler/folder-cog.svg"},
    {"folder.badge.questionmark", "tabler/folder-question.svg"},
    {"folder.fill", "phosphor/folder-fill.svg"},
    {"gearshape.fill", "phosphor/gear-six-fill.svg"},
    {"house.fill", "phosphor/house-fill.svg"},
    {"internaldrive.fill", "phosphor/hard-drive-fill.svg"},
    {"menubar.dock.rectangle", "phosphor/browser.svg"},
    {"music.note", "phosphor/music-note-simple-fill.svg"},
    {"photo.fill", "phosphor/image-fill.svg"},
    {"plus.circle.fill", "phosphor/plus-circle-fill.svg"},
    {"questionmark.folder.fill", "tabler/folder-question.svg"},
    {"sidebar.right", "phosphor/sidebar-simple.svg", true},
    {"sidebar.right.fill", "phosphor/sidebar-simple-fill.svg", true},
    {"square.grid.2x2.fill", "phosphor/squares-four-fill.svg"},
    {"square.grid.3x3.fill", "phosphor/grid-nine-fill.svg"},
    {"square.stack.fill", "phosphor/cards-fill.svg"},
    {"trash", "phosphor/trash.svg"},
    {"trash.fill", "phosphor/trash-fill.svg"},
    {"tray.full.fill", "phosphor/tray-fill.svg"},
    {"xmark", "phosphor/x.svg"},
};

static_assert(std::is_sorted(std::begin(kSymbols), std::end(kSymbols),
                             [](const Symbol& a, const Symbol& b) { return a.name < b.name; }));

const Symbol* find(std::string_view name)
{
    const auto it =
        std::lower_bound(std::begin(kSymbols), std::end(kSymbols), name,
                         [](const Symbol& s, std::string_view n) { return s.name < n; });
    return it != std::end(kSymbols) && it->name == name ? it : nullptr;
}

const Symbol* resolve(const QString& name, Icons::Variant variant)
{
    const QByteArray utf8 = name.toUtf8();
    const std::string_view plain(utf8.constData(), static_cast<size_t>(utf8.size()));
    if (variant == Icons::Variant::filled && !plain.ends_with(".fill")) {
        const QByteArray filled = utf8 + ".fill";
        if (const Symbol* symbol =
                find(std::string_view(filled.constData(), static_cast<size_t>(filled.size()))))
            return symbol;
    }
    return find(plain);
}

QString resourcePath(const Symbol& symbol)
{
    return QStringLiteral(":/plenvo/symbols/") +
           QString::fromLatin1(symbol.file.data(), static_cast<qsizetype>(symbol.file.size()));
}

QPixmap render(const Symbol& symbol, int extent, const QColor& color, qreal devicePixelRatio)
{
    const int side = qMax(1, qRound(extent * devicePixelRatio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QSvgRenderer renderer(resourcePath(symbol));
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (symbol.mirrored) {
        painter.translate(side, 0);
        painter.scale(-1, 1);
    }
    renderer.render(&painter, QRectF(0, 0, side, side));
    painter.resetTransform();
    // Keep the artwork's coverage and replace its colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    painter.end();

    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

QPixmap Icons::pixmap(const QString& name, int extent, const QColor& color, qreal devicePixelRatio,
                      Variant variant)
{
    const Symbol* symbol = resolve(name, variant);
    if (!symbol || extent <= 0 || devicePixelRatio <= 0)
        return {};

    static const bool registered = (registerSymbolResources(), true);
    Q_UNUSED(registered);

    const QString cacheKey = QStringLiteral("plenvo.symbol/%1/%2/%3/%4")
                                 .arg(resourcePath(*symbol))
                                 .arg(extent)
                                 .arg(devicePixelRatio)
                                 .arg(color.rgba(), 8, 16, QLatin1Char('0'));
    QPixmap cached;
    if (QPixmapCache::find(cacheKey, &cached))
        return cached;
    QPixmap rendered = render(*symbol, extent, color, devicePixelRatio);
    QPixmapCache::insert(cacheKey, rendered);
    return rendered;
}

QIcon Icons::icon(const QString& name, const QColor& color)
{
    return QIcon(new SymbolIconEngine(name, color));
}

QIcon Icons::icon(const QString& name, ColorToken token)
{
    return QIcon(new SymbolIconEngine(name, token));
}

bool Icons::contains(const QString& name)
{
    return resolve(name, Variant::plain) != nullptr;
}

QStringList Icons::names()
{
    QStringList result;
    result.reserve(static_cast<qsizetype>(std::size(kSymbols)));
    for (const Symbol& symbol : kSymbols)
        result.append(
            QString::fromLatin1(symbol.name.data(), static_cast<qsizetype>(symbol.name.size())));
    return result;
}

int Icons::extentFor(const QFont& font)
{
    return qMax(1, static_cast<int>(std::ceil(QFontMetricsF(font).height())));
}

} // namespace plenvo
