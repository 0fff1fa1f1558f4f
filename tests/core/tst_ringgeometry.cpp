#include "geometry/RingGeometry.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace plenvo;

namespace {

// One statistic per size, in category order.
std::vector<CategoryStat> stats(const QList<qint64>& sizes)
{
    std::vector<CategoryStat> result;
    for (qsizetype i = 0; i < sizes.size(); ++i)
        result.push_back({FileCategory::allCases()[std::size_t(i)], sizes[i], 1});
    return result;
}

const QRectF kBox(0, 0, 180, 180);

// The point `distance` from the box's centre, `turn` of a circle clockwise from the top.
QPointF onRing(double turn, qreal distance)
{
    const double angle = turn * 2 * std::numbers::pi;
    return kBox.center() + QPointF(distance * std::sin(angle), -distance * std::cos(angle));
}

} // namespace

class RingGeometryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each segment starts where the previous share ended and runs for its share less the gap.
    void slices()
    {
        const auto spans = [](const QList<qint64>& sizes, qint64 total) {
            QList<QPointF> spans; // (start, end) per segment, in the order of the statistics
            for (const RingSlice& slice : RingGeometry::slices(stats(sizes), total))
                if (slice.category == FileCategory::allCases()[std::size_t(spans.size())])
                    spans << QPointF(slice.start, slice.end);
            return spans;
        };
        QCOMPARE(spans({500, 300, 200}, 1000),
                 (QList<QPointF>{{0, 0.497}, {0.5, 0.797}, {0.8, 0.997}}));
        // A share of exactly the gap has no length; a tiny share still advances the next.
        QCOMPARE(spans({997, 3}, 1000), (QList<QPointF>{{0, 0.994}, {0.997, 0.997}}));
        QCOMPARE(spans({1, 999}, 1000), (QList<QPointF>{{0, 0}, {0.001, 0.997}}));
        QCOMPARE(spans({250}, 1000), (QList<QPointF>{{0, 0.247}})); // less than the total
        QCOMPARE(spans({0, 0}, 0), QList<QPointF>{});
    }

    // Segments [0, .497] (selected: 28 wide), [.5, .797] and [.8, .997] (22 wide), r = 90.
    void categoryAt()
    {
        const auto category = [](int i) { // an index into the sizes, -1: none
            return i < 0 ? std::nullopt
                         : std::optional<FileCategory>(FileCategory::allCases()[std::size_t(i)]);
        };
        const struct {
            int selected;
            double turn;
            qreal distance;
            int expected;
        } cases[] = {
            {0, 0.25, 76, 0},          // wide stroke, inner edge
            {0, 0.25, 104.5, -1},      // beyond the wide stroke
            {0, 0.6, 101, 1},          // narrow stroke, outer edge
            {0, 0.6, 103, -1},         // beyond the narrow stroke
            {1, 0.6, 103, 1},          // the same point, selected
            {0, 0.797 - 1e-9, 90, 1},  // end of a segment
            {0, 0.797 + 1e-9, 90, -1}, // gap after a segment
            {0, 0.9985, 90, -1},       // gap before the top
            {-1, 0.0, 90, 0},          // the top
            {0, 0.25, 40, -1},         // the hole
        };
        const std::vector<RingSlice> three = RingGeometry::slices(stats({500, 300, 200}), 1000);
        for (const auto& [selected, turn, distance, expected] : cases)
            QCOMPARE(
                RingGeometry::categoryAt(three, kBox, onRing(turn, distance), category(selected)),
                category(expected));
        // A segment of zero length is never hit.
        QCOMPARE(RingGeometry::categoryAt(RingGeometry::slices(stats({997, 3}), 1000), kBox,
                                          onRing(0.997, 90), category(1)),
                 std::nullopt);
    }

    // The middle of each arc as drawn lies on its own segment, in rings of random shares.
    void arcsMatchTheHitTest()
    {
        QRandomGenerator random(7);
        for (int round = 0; round < 50; ++round) {
            QList<qint64> sizes;
            qint64 total = 0;
            for (int i = 0, n = random.bounded(1, 11); i < n; ++i) {
                sizes << random.bounded(0, 5000);
                total += sizes.back();
            }
            const std::vector<RingSlice> slices = RingGeometry::slices(stats(sizes), total);
            for (const RingSlice& slice : slices) {
                if (slice.isEmpty())
                    continue;
                const RingGeometry::Arc arc = RingGeometry::arc(slice);
                QVERIFY(arc.sweepDegrees < 0); // clockwise
                const double middle =
                    (arc.startDegrees + arc.sweepDegrees / 2) * std::numbers::pi / 180;
                const QPointF point =
                    kBox.center() + QPointF(90 * std::cos(middle), -90 * std::sin(middle));
                QCOMPARE(RingGeometry::categoryAt(slices, kBox, point, std::nullopt),
                         slice.category);
            }
        }
    }
};

QTEST_MAIN(RingGeometryTest)
#include "tst_ringgeometry.moc"
