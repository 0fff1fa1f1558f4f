#pragma once

#include "models/CategoryStat.h"
#include "models/FileCategory.h"

#include <QPointF>
#include <QRectF>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace plenvo {

// One segment of the categories ring: a category's share of the circle as fractions of a full
// turn, measured clockwise from the top. `end` equals `start` for a share too small to draw.
struct RingSlice {
    FileCategory category;
    double start = 0;
    double end = 0;

    bool isEmpty() const { return end <= start; }
    friend bool operator==(const RingSlice&, const RingSlice&) = default;
};

// The geometry of the categories ring, free of any drawing: the segments of the statistics,
// the arcs to stroke, and which category's segment lies under a point.
//
// The ring is a circle inscribed in a square box, stroked along its outline: the stroke is
// centred on the circle, so it reaches half its width beyond the box.
class RingGeometry {
public:
    // Each segment is followed by this gap, as a fraction of the circle (about 1.1 degrees).
    static constexpr double kGap = 0.003;
    // The stroke width of the selected category's segment and of the others.
    static constexpr qreal kSelectedLineWidth = 28;
    static constexpr qreal kLineWidth = 22;

    // The segments of `stats`, in their order: each starts where the previous one's share
    // ended and runs for its share of `total` less the gap, never less than nothing. No
    // segments when `total` is below 1.
    static std::vector<RingSlice> slices(std::span<const CategoryStat> stats, std::int64_t total);

    // The radius of the circle the ring is stroked along, for a box.
    static qreal radius(const QRectF& box);
    // How far the stroke reaches beyond the box on each side, at most.
    static constexpr qreal overhang() { return kSelectedLineWidth / 2; }
    static qreal lineWidth(FileCategory category, std::optional<FileCategory> selected)
    {
        return selected && *selected == category ? kSelectedLineWidth : kLineWidth;
    }

    // A slice as an arc in the conventions of QPainterPath::arcTo: the start angle and the
    // sweep in degrees, counter-clockwise from three o'clock (a negative sweep runs clockwise).
    // The slice is clamped to one turn first.
    struct Arc {
        qreal startDegrees = 0;
        qreal sweepDegrees = 0;
    };
    static Arc arc(const RingSlice& slice);

    // The category of the segment whose stroke covers `point` (in the coordinates of `box`),
    // the selected category's segment being the wider one. Nothing in the gaps, in the hole,
    // outside the ring, or on a segment of zero length.
    static std::optional<FileCategory> categoryAt(std::span<const RingSlice> slices,
                                                  const QRectF& box, const QPointF& point,
                                                  std::optional<FileCategory> selected);
};

} // namespace plenvo
