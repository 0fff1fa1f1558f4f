#include "geometry/TreemapLayout.h"
#include "geometry/TreemapNavigation.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <queue>

using namespace plenvo;

namespace {

NodeRef node(const std::string& name, qint64 size, bool isDirectory = false)
{
    return FileNode::create(name, {}, isDirectory, size, {}, {});
}

} // namespace

class TreemapLayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void squarify()
    {
        struct Case {
            std::vector<std::int64_t> sizes;
            QRectF rect;
            std::vector<QRectF> expected;
        };
        const double third = 7.0 / 3;
        const Case cases[] = {
            // [3] closes before 1 (worst ratio 3, then 16); the 100 x 100 rest counts as wide.
            {{3, 1}, {0, 0, 400, 100}, {{0, 0, 300, 100}, {300, 0, 100, 100}}},
            // Wide: [6,6] at the left; the tall rest takes [4,3] on top, then [2], [2], [1].
            {{6, 6, 4, 3, 2, 2, 1},
             {0, 0, 6, 4},
             {{0, 0, 3, 2},
              {0, 2, 3, 2},
              {3, 0, 12.0 / 7, third},
              {3 + 12.0 / 7, 0, 9.0 / 7, third},
              {3, third, 1.2, 5.0 / 3},
              {4.2, third, 1.2, 5.0 / 3},
              {5.4, third, 0.6, 5.0 / 3}}},
            {{7}, {10, 20, 300, 200}, {{10, 20, 300, 200}}}, // one item fills the area
            {{2, 0, 0}, {0, 0, 4, 2}, {{0, 0, 4, 2}}},       // trailing zeros get no cell
            // Nothing to lay out: no width, no height, no positive size.
            {{5, 3}, {0, 0, 0, 9}, {}},
            {{5}, {0, 0, 9, 0}, {}},
            {{0, -4}, {0, 0, 9, 9}, {}}};
        for (const Case& c : cases)
            QCOMPARE(TreemapLayout::squarify(c.sizes, c.rect), c.expected);
    }

    // Random sizes and rectangles: one cell per size, inside the rectangle, none overlapping
    // another, each with an area in proportion to its size.
    void squarifyProperties()
    {
        QRandomGenerator random(20260314);
        for (int round = 0; round < 400; ++round) {
            std::vector<std::int64_t> sizes(1 + random.bounded(150));
            for (std::int64_t& size : sizes) // many magnitudes, with ties
                size = std::int64_t(std::pow(10.0, random.bounded(12.0))) + random.bounded(3);
            if (round % 2 == 0)
                std::sort(sizes.begin(), sizes.end(), std::greater<>());
            const double total = double(std::accumulate(sizes.begin(), sizes.end(), 0LL));
            const QRectF rect(random.bounded(100.0), random.bounded(100.0),
                              0.5 + random.bounded(3000.0), 0.5 + random.bounded(3000.0));
            const double area = rect.width() * rect.height();
            const double eps = 1e-9 * std::max({area, rect.width(), rect.height()});

            const std::vector<QRectF> cells = TreemapLayout::squarify(sizes, rect);
            QCOMPARE(cells.size(), sizes.size());
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const QRectF& c = cells[i];
                QVERIFY(rect.adjusted(-eps, -eps, eps, eps).contains(c));
                QVERIFY(std::abs(c.width() * c.height() - area * double(sizes[i]) / total) <= eps);
                for (std::size_t j = i + 1; j < cells.size(); ++j)
                    QVERIFY(c.intersected(cells[j]).width() * c.intersected(cells[j]).height() <=
                            eps);
            }
        }
    }

    // Of 500 children (many of equal size, some empty), the 120 largest get tiles, earlier
    // children first among equals, and are laid out in that order; empty ones never do.
    void tileChoice()
    {
        QRandomGenerator random(7);
        std::vector<NodeRef> children;
        for (int i = 0; i < 500; ++i)
            children.push_back(node("f" + std::to_string(i), random.bounded(40)));
        children.push_back(node("emptyDir", 0, true));
        std::vector<NodeRef> expected = children;
        std::stable_sort(expected.begin(), expected.end(), [](const NodeRef& a, const NodeRef& b) {
            return a->cachedSize() > b->cachedSize();
        });
        expected.resize(TreemapLayout::kMaxTiles);
        const NodeRef folder = FileNode::create("f", "/f", true, 0, {}, {}, std::move(children));
        QVERIFY(TreemapLayout::tileNodes(*folder) == expected);
        const std::vector<TreemapTile> tiles = TreemapLayout::layout(*folder, {800, 600});
        QCOMPARE(tiles.size(), expected.size());
        // The hit test: the middle of each drawn tile finds it; the margin around it does not.
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            QVERIFY(tiles[i].node == expected[i]);
            const QRectF shape = TreemapLayout::tileRect(tiles[i].rect);
            QCOMPARE(TreemapLayout::tileAt(tiles, shape.center()), int(i));
            QCOMPARE(TreemapLayout::tileAt(tiles, {tiles[i].rect.left() + 0.5, shape.center().y()}),
                     -1);
        }
        QCOMPARE(TreemapLayout::tileAt(tiles, {10, 600}), -1);
        QCOMPARE(TreemapLayout::tileRect({10, 10, 1.5, 0.5}), QRectF(11, 11, 1, 1));

        const NodeRef empty = FileNode::create("e", "/e", true, 0, {}, {}, {node("z", 0)});
        QVERIFY(TreemapLayout::tileNodes(*empty).empty());
        QVERIFY(TreemapLayout::layout(*empty, {800, 600}).empty());
    }

    // The arrow keys between cells, on examples: side by side, a column beside a stack (the
    // stacked cell nearest the middle is chosen, and each one leads back), and the edges.
    void navigationExamples()
    {
        using D = TreemapNavigation::Direction;
        const auto next = [](const std::vector<QRectF>& cells, int from, D direction) {
            return TreemapNavigation::neighbour(cells, from, direction);
        };
        const std::vector<QRectF> pair = {{0, 0, 300, 100}, {300, 0, 100, 100}};
        QCOMPARE(next(pair, 0, D::right), 1);
        QCOMPARE(next(pair, 1, D::left), 0);
        for (D direction : {D::up, D::down, D::left})
            QCOMPARE(next(pair, 0, direction), -1);
        QCOMPARE(next(pair, 2, D::left), -1);
        QCOMPARE(next(pair, -1, D::right), -1);
        QCOMPARE(next({}, 0, D::right), -1);

        // A tall cell at the left, three stacked at the right, one wide cell under all.
        const std::vector<QRectF> stack = {{0, 0, 100, 90},
                                           {100, 0, 50, 30},
                                           {100, 30, 50, 30},
                                           {100, 60, 50, 30},
                                           {0, 90, 150, 20}};
        QCOMPARE(next(stack, 0, D::right), 2); // the middle one
        for (int i : {1, 2, 3})
            QCOMPARE(next(stack, i, D::left), 0);
        QCOMPARE(next(stack, 1, D::down), 2);
        QCOMPARE(next(stack, 3, D::down), 4);
        QCOMPARE(next(stack, 0, D::down), 4);
        QCOMPARE(next(stack, 4, D::up), 0); // of the two above, the one whose middle is nearer
        QCOMPARE(next(stack, 2, D::up), 1);
        // Cells a rounding apart still touch; one that reaches back over the edge is not
        // beyond it.
        const std::vector<QRectF> rounded = {
            {0, 0, 100.005, 50}, {100, 0, 50, 50}, {99, 50, 51, 9}};
        QCOMPARE(next(rounded, 0, D::right), 1);
        QCOMPARE(next(rounded, 2, D::right), -1);
    }

    // On random layouts: a move goes to a cell wholly on that side which touches the starting
    // cell and shares some of its span; there is none exactly when nothing lies on that side;
    // and from any cell every other one can be reached.
    void navigationProperties()
    {
        using D = TreemapNavigation::Direction;
        constexpr qreal tolerance = TreemapNavigation::kTolerance;
        QRandomGenerator random(20261207);
        for (int round = 0; round < 300; ++round) {
            std::vector<std::int64_t> sizes(1 + random.bounded(40));
            for (std::int64_t& size : sizes)
                size = 1 + random.bounded(1000) * (random.bounded(4) ? 1 : 50);
            std::sort(sizes.begin(), sizes.end(), std::greater<>());
            const QRectF area(0, 0, 100 + random.bounded(1800), 100 + random.bounded(1000));
            const std::vector<QRectF> cells = TreemapLayout::squarify(sizes, area);
            const int count = int(cells.size());
            std::vector<std::vector<int>> reachable(static_cast<std::size_t>(count));
            for (int from = 0; from < count; ++from) {
                const QRectF a = cells[std::size_t(from)];
                for (D direction : {D::left, D::right, D::up, D::down}) {
                    const bool horizontal = direction == D::left || direction == D::right;
                    const auto beyond = [&](const QRectF& b) {
                        switch (direction) {
                        case D::right:
                            return b.left() >= a.right() - tolerance;
                        case D::left:
                            return b.right() <= a.left() + tolerance;
                        case D::down:
                            return b.top() >= a.bottom() - tolerance;
                        case D::up:
                            return b.bottom() <= a.top() + tolerance;
                        }
                        return false;
                    };
                    bool any = false;
                    for (int i = 0; i < count; ++i)
                        any = any || (i != from && beyond(cells[std::size_t(i)]));
                    const int to = TreemapNavigation::neighbour(cells, from, direction);
                    QCOMPARE(to >= 0, any);
                    if (to < 0)
                        continue;
                    const QRectF b = cells[std::size_t(to)];
                    QVERIFY(beyond(b));
                    const qreal gap = horizontal
                                          ? std::max(b.left() - a.right(), a.left() - b.right())
                                          : std::max(b.top() - a.bottom(), a.top() - b.bottom());
                    QVERIFY(gap < tolerance);
                    const qreal shared =
                        horizontal ? std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top())
                                   : std::min(a.right(), b.right()) - std::max(a.left(), b.left());
                    QVERIFY(shared > tolerance);
                    reachable[std::size_t(from)].push_back(to);
                }
            }
            for (int start = 0; start < count; ++start) {
                std::vector<bool> seen(static_cast<std::size_t>(count), false);
                std::queue<int> queue;
                queue.push(start);
                seen[std::size_t(start)] = true;
                int reached = 1;
                while (!queue.empty()) {
                    for (int next : reachable[std::size_t(queue.front())])
                        if (!seen[std::size_t(next)]) {
                            seen[std::size_t(next)] = true;
                            ++reached;
                            queue.push(next);
                        }
                    queue.pop();
                }
                QCOMPARE(reached, count);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TreemapLayoutTest)
#include "tst_treemaplayout.moc"
