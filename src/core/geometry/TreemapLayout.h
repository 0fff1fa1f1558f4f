#pragma once

#include "models/FileNode.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plenvo {

// One laid-out tile of a treemap: the node it stands for and its cell, in the coordinates of
// the rectangle that was laid out (y grows downwards).
struct TreemapTile {
    NodeRef node;
    QRectF rect;
};

// The geometry of a treemap, free of any drawing: which children of a folder get a tile, the
// squarified layout of their sizes, where each tile is drawn and which tile lies under a point.
class TreemapLayout {
public:
    // At most this many children of a folder get a tile; the smaller ones are not drawn.
    static constexpr std::size_t kMaxTiles = 120;
    // Each tile is drawn this far inside its cell on every side.
    static constexpr qreal kTileMargin = 1.0;

    // The children of `folder` that get a tile: largest first (equal sizes keep their order
    // among the children), without the empty ones (size below 1), at most kMaxTiles.
    static std::vector<NodeRef> tileNodes(const FileNode& folder);

    // The squarified layout of `sizes`, taken in the order given (largest first gives the
    // best aspect ratios), in `rect`. Each strip lies along the shorter side of what is left
    // and takes items while its worst aspect ratio does not get worse. Returns one cell per
    // size, in the same order; empty when there is nothing to lay out (no sizes, a total
    // below 1, a rectangle without area). Negative sizes count as 0; sizes of 0 after the
    // last positive one get no cell, so the result may be shorter than `sizes`.
    static std::vector<QRectF> squarify(std::span<const std::int64_t> sizes, const QRectF& rect);
    // The same for nodes, by their cachedSize(); the tiles keep the order of `nodes`.
    static std::vector<TreemapTile> squarify(std::span<const NodeRef> nodes, const QRectF& rect);

    // The tiles of `folder` in an area of `size` whose top-left corner is (0, 0).
    static std::vector<TreemapTile> layout(const FileNode& folder, const QSizeF& size);

    // The rectangle a tile is drawn in: its cell less kTileMargin on each side, never smaller
    // than 1 x 1.
    static QRectF tileRect(const QRectF& cell);
    // The index of the tile whose drawn rectangle (tileRect) holds `point`, or -1 when the
    // point lies between tiles or outside them all.
    static int tileAt(std::span<const TreemapTile> tiles, const QPointF& point);
};

} // namespace plenvo
