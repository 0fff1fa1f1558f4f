#include "TreemapNavigation.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace plenvo {

namespace {

// A cell seen along the direction of travel: where it begins and ends on the way (`from`,
// `to`, growing in the direction of travel) and across it (`low`, `high`).
struct Along {
    qreal from, to, low, high;
};

Along along(const QRectF& cell, TreemapNavigation::Direction direction)
{
    using D = TreemapNavigation::Direction;
    switch (direction) {
    case D::right:
        return {cell.left(), cell.right(), cell.top(), cell.bottom()};
    case D::left:
        return {-cell.right(), -cell.left(), cell.top(), cell.bottom()};
    case D::down:
        return {cell.top(), cell.bottom(), cell.left(), cell.right()};
    case D::up:
        return {-cell.bottom(), -cell.top(), cell.left(), cell.right()};
    }
    return {};
}

} // namespace

int TreemapNavigation::neighbour(std::span<const QRectF> cells, int from, Direction direction)
{
    if (from < 0 || std::size_t(from) >= cells.size())
        return -1;
    const Along start = along(cells[std::size_t(from)], direction);
    const qreal middle = (start.low + start.high) / 2;
    int best = -1;
    std::tuple<qreal, int, qreal> bestScore;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (int(i) == from)
            continue;
        const Along cell = along(cells[i], direction);
        if (cell.from < start.to - kTolerance)
            continue; // not wholly on that side
        // Gaps below the tolerance are no gaps.
        const qreal gap = std::max<qreal>(0, cell.from - start.to);
        const qreal roundedGap = gap < kTolerance ? 0 : gap;
        const qreal overlap = std::min(cell.high, start.high) - std::max(cell.low, start.low);
        const int sharesSpan = overlap > kTolerance ? 0 : 1;
        const qreal offset = std::abs((cell.low + cell.high) / 2 - middle);
        const std::tuple<qreal, int, qreal> score{roundedGap, sharesSpan, offset};
        if (best < 0 || score < bestScore) {
            best = int(i);
            bestScore = score;
        }
    }
    return best;
}

} // namespace plenvo
