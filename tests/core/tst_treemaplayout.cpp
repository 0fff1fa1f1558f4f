#include "geometry/TreemapLayout.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>

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
};

QTEST_GUILESS_MAIN(TreemapLayoutTest)
#include "tst_treemaplayout.moc"
