#include "geometry/TreemapLayout.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace plenvo;

namespace {

NodeRef file(const std::string& name, qint64 size)
{
    return FileNode::create(name, {}, false, size, {}, {});
}

bool near(const QRectF& a, const QRectF& b)
{
    constexpr double eps = 1e-9;
    return std::abs(a.x() - b.x()) < eps && std::abs(a.y() - b.y()) < eps &&
           std::abs(a.width() - b.width()) < eps && std::abs(a.height() - b.height()) < eps;
}

} // namespace

class TreemapLayoutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void squarify_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QList<QRectF>>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();

        // [3] closes before 1 (worst ratio 3, then 16); the 100 x 100 rest is wide.
        QTest::newRow("3,1 in 400x100") << QList<qint64>{3, 1} << QRectF(0, 0, 400, 100)
                                        << QList<QRectF>{{0, 0, 300, 100}, {300, 0, 100, 100}};
        // Wide strip [6,6]; tall rest takes [4,3] on top; then [2], [2], [1] one per strip.
        QTest::newRow("6,6,4,3,2,2,1 in 6x4")
            << QList<qint64>{6, 6, 4, 3, 2, 2, 1} << QRectF(0, 0, 6, 4)
            << QList<QRectF>{{0, 0, 3, 2},
                             {0, 2, 3, 2},
                             {3, 0, 12.0 / 7, 7.0 / 3},
                             {3 + 12.0 / 7, 0, 9.0 / 7, 7.0 / 3},
                             {3, 7.0 / 3, 1.2, 5.0 / 3},
                             {4.2, 7.0 / 3, 1.2, 5.0 / 3},
                             {5.4, 7.0 / 3, 0.6, 5.0 / 3}};
        QTest::newRow("one item fills the area")
            << QList<qint64>{7} << QRectF(10, 20, 300, 200) << QList<QRectF>{{10, 20, 300, 200}};
        QTest::newRow("a tall area stacks rows") << QList<qint64>{1, 1} << QRectF(5, 5, 10, 40)
                                                 << QList<QRectF>{{5, 5, 10, 20}, {5, 25, 10, 20}};
        QTest::newRow("trailing zeros get no cell")
            << QList<qint64>{2, 0, 0} << QRectF(0, 0, 4, 2) << QList<QRectF>{{0, 0, 4, 2}};
        QTest::newRow("zero width")
            << QList<qint64>{5, 3} << QRectF(0, 0, 0, 100) << QList<QRectF>{};
        QTest::newRow("zero height")
            << QList<qint64>{5, 3} << QRectF(0, 0, 100, 0) << QList<QRectF>{};
        QTest::newRow("negative width")
            << QList<qint64>{5} << QRectF(0, 0, -10, 10) << QList<QRectF>{};
        QTest::newRow("NaN height") << QList<qint64>{5} << QRectF(0, 0, 10, nan) << QList<QRectF>{};
        QTest::newRow("no sizes") << QList<qint64>{} << QRectF(0, 0, 10, 10) << QList<QRectF>{};
        QTest::newRow("nothing to show")
            << QList<qint64>{0, 0, -4} << QRectF(0, 0, 10, 10) << QList<QRectF>{};
    }

    void squarify()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(QRectF, rect);
        QFETCH(QList<QRectF>, expected);
        const std::vector<std::int64_t> input(sizes.begin(), sizes.end());
        const std::vector<QRectF> cells = TreemapLayout::squarify(input, rect);
        QCOMPARE(qsizetype(cells.size()), expected.size());
        for (std::size_t i = 0; i < cells.size(); ++i)
            QVERIFY2(near(cells[i], expected[qsizetype(i)]), qPrintable(QString::number(i)));
    }

    // Over random sizes and rectangles: one cell per size, all inside the rectangle, none
    // overlapping another, each with an area in proportion to its size.
    void squarifyProperties()
    {
        QRandomGenerator random(20260314);
        for (int round = 0; round < 400; ++round) {
            const int count = 1 + int(random.bounded(150));
            std::vector<std::int64_t> sizes;
            double total = 0;
            for (int i = 0; i < count; ++i) {
                // Spread over many magnitudes, with ties.
                const std::int64_t size =
                    std::int64_t(std::pow(10.0, random.bounded(12.0))) + random.bounded(3);
                sizes.push_back(size);
                total += double(size);
            }
            if (round % 2 == 0)
                std::sort(sizes.begin(), sizes.end(), std::greater<>());
            const QRectF rect(random.bounded(100.0), random.bounded(100.0),
                              0.5 + random.bounded(3000.0), 0.5 + random.bounded(3000.0));
            const double area = rect.width() * rect.height();
            const double eps = 1e-9 * std::max({area, rect.width(), rect.height()});

            const std::vector<QRectF> cells = TreemapLayout::squarify(sizes, rect);
            QCOMPARE(cells.size(), sizes.size());
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const QRectF& c = cells[i];
                QVERIFY(c.left() >= rect.left() - eps && c.top() >= rect.top() - eps);
                QVERIFY(c.right() <= rect.right() + eps && c.bottom() <= rect.bottom() + eps);
                QVERIFY(std::abs(c.width() * c.height() - area * double(sizes[i]) / total) <= eps);
                for (std::size_t j = i + 1; j < cells.size(); ++j) {
                    const QRectF overlap = c.intersected(cells[j]);
                    QVERIFY(overlap.width() * overlap.height() <= eps);
                }
            }
        }
    }

    // Of 500 children (many of equal size, some empty), the 120 largest get tiles, earlier
    // children first among equals; the tiles of a folder follow that choice in order.
    void tileChoice()
    {
        QRandomGenerator random(7);
        std::vector<NodeRef> children;
        for (int i = 0; i < 500; ++i)
            children.push_back(file("f" + std::to_string(i), random.bounded(40)));
        std::vector<NodeRef> expected = children;
        std::stable_sort(expected.begin(), expected.end(), [](const NodeRef& a, const NodeRef& b) {
            return a->cachedSize() > b->cachedSize();
        });
        expected.resize(TreemapLayout::kMaxTiles);
        QVERIFY(expected.back()->cachedSize() > 0);
        const NodeRef folder =
            FileNode::create("big", "/big", true, 0, {}, {}, std::vector<NodeRef>(children));

        const std::vector<NodeRef> chosen = TreemapLayout::tileNodes(*folder);
        QVERIFY(chosen == expected);
        const std::vector<TreemapTile> tiles = TreemapLayout::layout(*folder, {800, 600});
        QCOMPARE(tiles.size(), chosen.size());
        for (std::size_t i = 0; i < tiles.size(); ++i)
            QVERIFY(tiles[i].node == chosen[i]);
    }

    void emptyChildrenGetNoTile()
    {
        std::vector<NodeRef> children;
        children.push_back(file("empty.txt", 0));
        children.push_back(FileNode::create("emptyDir", {}, true, 0, {}, {}));
        children.push_back(file("full.txt", 10));
        NodeRef folder = FileNode::create("f", "/f", true, 0, {}, {}, std::move(children));
        const std::vector<NodeRef> chosen = TreemapLayout::tileNodes(*folder);
        QCOMPARE(chosen.size(), std::size_t(1));
        QCOMPARE(chosen.front()->name(), QStringLiteral("full.txt"));

        folder->removeChild(*chosen.front());
        QVERIFY(TreemapLayout::layout(*folder, {800, 600}).empty());
    }

    // The middle of each drawn tile finds that tile; the margins around it and points
    // outside the area find none.
    void hitTest()
    {
        std::vector<NodeRef> nodes;
        for (int size : {50, 30, 20, 20, 9, 5, 1})
            nodes.push_back(file("n", size));
        const QRectF area(0, 0, 500, 300);
        const std::vector<TreemapTile> tiles = TreemapLayout::squarify(nodes, area);
        QCOMPARE(tiles.size(), nodes.size());
        for (std::size_t i = 0; i < tiles.size(); ++i) {
            const QRectF shape = TreemapLayout::tileRect(tiles[i].rect);
            QCOMPARE(shape, tiles[i].rect.adjusted(1, 1, -1, -1));
            QCOMPARE(TreemapLayout::tileAt(tiles, shape.center()), int(i));
            QCOMPARE(TreemapLayout::tileAt(tiles, {tiles[i].rect.left() + 0.5, shape.center().y()}),
                     -1);
        }
        QCOMPARE(TreemapLayout::tileAt(tiles, {-1, 10}), -1);
        QCOMPARE(TreemapLayout::tileAt(tiles, {10, 300}), -1);
        // A cell smaller than the margins is still drawn 1 x 1.
        QCOMPARE(TreemapLayout::tileRect({10, 10, 1.5, 0.5}), QRectF(11, 11, 1, 1));
    }
};

QTEST_GUILESS_MAIN(TreemapLayoutTest)
#include "tst_treemaplayout.moc"
