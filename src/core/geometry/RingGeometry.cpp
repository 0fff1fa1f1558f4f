#include "RingGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plenvo {

namespace {

double clampedTurn(double fraction)
{
    return std::clamp(fraction, 0.0, 1.0);
}

} // namespace

std::vector<RingSlice> RingGeometry::slices(std::span<const CategoryStat> stats, std::int64_t total)
{
    std::vector<RingSlice> result;
    if (total < 1)
        return result;
    result.reserve(stats.size());
    double start = 0;
    for (const CategoryStat& stat : stats) {
        const double fraction = double(stat.totalSize) / double(total);
        result.push_back({stat.category, start, start + std::max(fraction - kGap, 0.0)});
        start += fraction;
    }
    return result;
}

qreal RingGeometry::radius(const QRectF& box)
{
    return std::min(box.width(), box.height()) / 2;
}

RingGeometry::Arc RingGeometry::arc(const RingSlice& slice)
{
    const double start = clampedTurn(slice.start);
    const double end = std::max(start, clampedTurn(slice.end));
    return {90.0 - start * 360.0, -(end - start) * 360.0};
}

std::optional<FileCategory> RingGeometry::categoryAt(std::span<const RingSlice> slices,
                                                     const QRectF& box, const QPointF& point,
                                                     std::optional<FileCategory> selected)
{
    const QPointF offset = point - box.center();
    const qreal distance = std::hypot(offset.x(), offset.y());
    // Clockwise from the top, with y growing downwards.
    double angle = std::atan2(offset.x(), -offset.y());
    if (angle < 0)
        angle += 2 * std::numbers::pi;
    const double turn = angle / (2 * std::numbers::pi);
    const qreal circle = radius(box);
    // The last segment is drawn on top, should shares ever add up to more than the circle.
    for (auto slice = slices.rbegin(); slice != slices.rend(); ++slice) {
        const double start = clampedTurn(slice->start);
        const double end = clampedTurn(slice->end);
        if (turn >= start && turn < end &&
            std::abs(distance - circle) <= lineWidth(slice->category, selected) / 2)
            return slice->category;
    }
    return std::nullopt;
}

} // namespace plenvo
