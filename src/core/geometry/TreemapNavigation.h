#pragma once

#include <QRectF>

#include <span>

namespace plenvo {

// Moving between the cells of a treemap with the arrow keys: from a cell to the nearest one in
// a direction. Cells do not overlap; in a treemap they tile their area, so every cell that is
// not at the area's edge has neighbours touching each of its sides.
class TreemapNavigation {
public:
    enum class Direction { left, right, up, down };

    // Edges closer than this count as touching, and spans that share less than this share
    // nothing: the layout's arithmetic is in floating point.
    static constexpr qreal kTolerance = 0.01;

    // The index of the cell to go to from cells[from] in `direction`, or -1 when no cell lies
    // wholly on that side of it (or `from` is no index of `cells`). Among the cells on that
    // side: the nearest (touching first); among those, one that shares some of the starting
    // cell's span across the direction before one that does not; then the one whose middle is
    // nearest to the starting cell's middle across the direction; then the first in order.
    static int neighbour(std::span<const QRectF> cells, int from, Direction direction);
};

} // namespace plenvo
