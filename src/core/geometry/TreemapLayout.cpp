#include "TreemapLayout.h"

#include <algorithm>
#include <limits>
#include <span>

namespace plenvo {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The worst aspect ratio of a strip holding a row whose sizes sum to `rowSum`, with
// `smallest` and `largest` among them, as the next strip of what is left (`remTotal`) along
// the short side; infinite when the strip is degenerate. The lengths grow with the sizes, so
// the smallest and the largest item decide the worst ratio of the whole row.
double worstRatio(double smallest, double largest, double rowSum, double remTotal, double longSide,
                  double shortSide)
{
    if (rowSum < 1 || shortSide <= 0)
        return kInfinity;
    const double thickness = longSide * rowSum / remTotal;
    if (thickness <= 0)
        return kInfinity;
    const double shortest = shortSide * smallest / rowSum;
    const double longest = shortSide * largest / rowSum;
    return std::max(
        {shortest / thickness, thickness / shortest, longest / thickness, thickness / longest});
}

} // namespace

std::vector<NodeRef> TreemapLayout::tileNodes(const FileNode& folder)
{
    // The kMaxTiles largest non-empty children, in the order a stable sort by size, largest
    // first, gives them: larger first, and among equal sizes the earlier child first. A folder
    // may hold hundreds of thousands of children, so they are not all sorted: a heap keeps the
    // best so far, its worst on top.
    struct Candidate {
        std::int64_t size;
        std::size_t index;
    };
    const auto before = [](const Candidate& a, const Candidate& b) {
        return a.size != b.size ? a.size > b.size : a.index < b.index;
    };
    const FileNode::Children children = folder.children();
    std::vector<Candidate> best;
    best.reserve(std::min(children.size(), kMaxTiles) + 1);
    for (std::size_t i = 0; i < children.size(); ++i) {
        const std::int64_t size = children[i]->cachedSize();
        if (size < 1)
            continue;
        const Candidate candidate{size, i};
        if (best.size() == kMaxTiles) {
            if (!before(candidate, best.front()))
                continue;
            std::pop_heap(best.begin(), best.end(), before);
            best.back() = candidate;
        } else {
            best.push_back(candidate);
        }
        std::push_heap(best.begin(), best.end(), before);
    }
    std::sort_heap(best.begin(), best.end(), before);
    std::vector<NodeRef> nodes;
    nodes.reserve(best.size());
    for (const Candidate& candidate : best)
        nodes.emplace_back(children[candidate.index]);
    return nodes;
}

std::vector<QRectF> TreemapLayout::squarify(std::span<const std::int64_t> sizes, const QRectF& rect)
{
    std::vector<QRectF> result;
    if (sizes.empty() || !(rect.width() > 0) || !(rect.height() > 0))
        return result;
    std::vector<double> values;
    values.reserve(sizes.size());
    for (const std::int64_t size : sizes)
        values.push_back(double(std::max<std::int64_t>(size, 0)));
    // Sums of the sizes from each index to the end, so that each strip knows what is left.
    std::vector<double> tailSums(values.size() + 1, 0.0);
    for (std::size_t i = values.size(); i-- > 0;)
        tailSums[i] = tailSums[i + 1] + values[i];
    if (tailSums[0] < 1)
        return result;
    result.reserve(values.size());

    QRectF r = rect;
    std::size_t first = 0; // the first item not laid out yet
    while (first < values.size()) {
        const double w = r.width();
        const double h = r.height();
        const bool wide = h <= w; // a square counts as wide
        const double longSide = wide ? w : h;
        const double shortSide = wide ? h : w;
        const double remTotal = tailSums[first];
        if (remTotal < 1)
            break;

        // Grow the row while its worst aspect ratio does not get worse.
        std::size_t end = first;
        double rowSum = 0;
        double worst = kInfinity;
        double smallest = kInfinity;
        double largest = 0;
        while (end < values.size()) {
            const double size = values[end];
            const double candidateWorst =
                worstRatio(std::min(smallest, size), std::max(largest, size), rowSum + size,
                           remTotal, longSide, shortSide);
            if (candidateWorst > worst && end > first)
                break; // the row held items before this one: close it without this one
            worst = candidateWorst;
            rowSum += size;
            smallest = std::min(smallest, size);
            largest = std::max(largest, size);
            ++end;
        }

        // Lay the row out as a strip along the short side.
        const double thickness = longSide * rowSum / remTotal;
        double offset = 0;
        for (std::size_t i = first; i < end; ++i) {
            const double length = shortSide * values[i] / rowSum;
            if (wide)
                result.emplace_back(r.x(), r.y() + offset, thickness, length);
            else
                result.emplace_back(r.x() + offset, r.y(), length, thickness);
            offset += length;
        }
        r = wide ? QRectF(r.x() + thickness, r.y(), w - thickness, h)
                 : QRectF(r.x(), r.y() + thickness, w, h - thickness);
        first = end;
    }
    return result;
}

std::vector<TreemapTile> TreemapLayout::squarify(std::span<const NodeRef> nodes, const QRectF& rect)
{
    std::vector<std::int64_t> sizes;
    sizes.reserve(nodes.size());
    for (const NodeRef& node : nodes)
        sizes.push_back(node->cachedSize());
    const std::vector<QRectF> cells = squarify(sizes, rect);
    std::vector<TreemapTile> tiles;
    tiles.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i)
        tiles.push_back({nodes[i], cells[i]});
    return tiles;
}

std::vector<TreemapTile> TreemapLayout::layout(const FileNode& folder, const QSizeF& size)
{
    const std::vector<NodeRef> nodes = tileNodes(folder);
    return squarify(nodes, QRectF(QPointF(0, 0), size));
}

QRectF TreemapLayout::tileRect(const QRectF& cell)
{
    return {cell.x() + kTileMargin, cell.y() + kTileMargin,
            std::max(cell.width() - 2 * kTileMargin, 1.0),
            std::max(cell.height() - 2 * kTileMargin, 1.0)};
}

int TreemapLayout::tileAt(std::span<const TreemapTile> tiles, const QPointF& point)
{
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const QRectF shape = tileRect(tiles[i].rect);
        if (point.x() >= shape.left() && point.x() < shape.right() && point.y() >= shape.top() &&
            point.y() < shape.bottom())
            return int(i);
    }
    return -1;
}

} // namespace plenvo
