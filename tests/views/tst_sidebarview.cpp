#include "AppState.h"
#include "TestSupport.h"
#include "shell/SidebarView.h"
#include "utils/Localization.h"

#include <QImage>
#include <QTest>

#include <optional>
#include <vector>

using namespace plenvo;
using namespace plenvo::test;

namespace {

const std::vector<SidebarItem> kViewItems{SidebarItem::overview, SidebarItem::treeMap,
                                          SidebarItem::largeFiles, SidebarItem::categories};

// A small folder to scan, so that a result exists.
class ScannedState {
public:
    ScannedState()
    {
        makeDir(m_dir.file("sub"));
        writeFile(m_dir.file("a.txt"), 100);
        writeFile(m_dir.file("sub/b.jpg"), 200);
    }
    bool scan(AppState& state)
    {
        state.scanDirectory(QFile::decodeName(m_dir.path()));
        return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) &&
               state.scanResult() != nullptr;
    }

private:
    ScratchDir m_dir;
};

// The colour at the left end of a row (inside its rounded highlight, clear of icon and text)
// and, for comparison, at the same height in the widget's margin, where nothing is drawn.
struct RowSample {
    QRgb row;
    QRgb margin;
};

RowSample sample(const QImage& image, const QRect& rowRect, qreal ratio)
{
    const QPoint inside(rowRect.left() + 3, rowRect.center().y());
    const QPoint outside(1, rowRect.center().y());
    return {image.pixel((QPointF(inside) * ratio).toPoint()),
            image.pixel((QPointF(outside) * ratio).toPoint())};
}

// The items whose rows are drawn with a fill behind them.
std::vector<SidebarItem> filledRows(SidebarView& view)
{
    const QPixmap pixmap = view.grab();
    const QImage image = pixmap.toImage();
    std::vector<SidebarItem> filled;
    for (SidebarItem item : view.shownItems()) {
        const RowSample s = sample(image, view.itemRect(item), pixmap.devicePixelRatio());
        if (s.row != s.margin)
            filled.push_back(item);
    }
    return filled;
}

} // namespace

class SidebarViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Sections

    void withoutAResultOnlyTheNewScanRowIsOffered()
    {
        AppState state;
        SidebarView view(state);
        view.resize(view.sizeHint());
        QVERIFY(view.shownItems().empty());
        QVERIFY(!view.newScanRect().isEmpty());
        for (SidebarItem item : SidebarItem::allCases())
            QVERIFY(view.itemRect(item).isEmpty());
    }

    void aResultAddsTheViewRowsInOrderBelowTheNewScanRow()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        const int heightWithoutResult = view.sizeHint().height();

        ScannedState fixture;
        QVERIFY(fixture.scan(state));

        QCOMPARE(view.shownItems(), kViewItems);
        int previousBottom = view.newScanRect().bottom();
        for (SidebarItem item : kViewItems) {
            const QRect rect = view.itemRect(item);
            QVERIFY2(rect.top() > previousBottom, qPrintable(item.rawValue()));
            previousBottom = rect.bottom();
        }
        QVERIFY(view.sizeHint().height() > heightWithoutResult);
    }

    void theActionItemsAreNeverOffered()
    {
        AppState state;
        SidebarView view(state);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        for (SidebarItem item :
             {SidebarItem::duplicates, SidebarItem::caches, SidebarItem::cleanup})
            QVERIFY(view.itemRect(item).isEmpty());
    }

    void theViewRowsStayThroughALaterScan()
    {
        AppState state;
        SidebarView view(state);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));

        ScannedState other;
        QVERIFY(other.scan(state));
        QCOMPARE(view.shownItems(), kViewItems);
    }

    // Choosing with the mouse

    void clickingARowSelectsItsItem()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));

        for (SidebarItem item : {SidebarItem::categories, SidebarItem::treeMap,
                                 SidebarItem::largeFiles, SidebarItem::overview}) {
            QTest::mouseClick(&view, Qt::LeftButton, {}, view.itemRect(item).center());
            QCOMPARE(state.navigationSelection(), std::optional<SidebarItem>(item));
        }
    }

    void theWholeRowWidthIsTheClickTarget()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));

        const QRect rect = view.itemRect(SidebarItem::largeFiles);
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(rect.right() - 2, rect.center().y()));
        QCOMPARE(state.navigationSelection(), std::optional<SidebarItem>(SidebarItem::largeFiles));
    }

    void theNewScanRowOpensThePickerWithoutChangingTheSelection()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        state.setNavigationSelection(SidebarItem::treeMap);

        QTest::mouseClick(&view, Qt::LeftButton, {}, view.newScanRect().center());
        QVERIFY(state.showDirectoryPicker());
        QCOMPARE(state.navigationSelection(), std::optional<SidebarItem>(SidebarItem::treeMap));
        QCOMPARE(view.highlightedItem(), std::optional<SidebarItem>(SidebarItem::treeMap));
    }

    void theNewScanRowWorksWithoutAResult()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        QTest::mouseClick(&view, Qt::LeftButton, {}, view.newScanRect().center());
        QVERIFY(state.showDirectoryPicker());
    }

    void releasingOutsideTheNewScanRowDoesNotPressIt()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        const QRect rect = view.newScanRect();
        QTest::mousePress(&view, Qt::LeftButton, {}, rect.center());
        QTest::mouseMove(&view, QPoint(rect.center().x(), rect.bottom() + 40));
        QTest::mouseRelease(&view, Qt::LeftButton, {},
                            QPoint(rect.center().x(), rect.bottom() + 40));
        QVERIFY(!state.showDirectoryPicker());
    }

    void clickingAHeaderOrEmptySpaceChangesNothing()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        state.setNavigationSelection(SidebarItem::largeFiles);
        int changes = 0;
        connect(&state, &AppState::changed, this, [&] { ++changes; });

        const QRect overview = view.itemRect(SidebarItem::overview);
        QTest::mouseClick(&view, Qt::LeftButton, {},
                          QPoint(overview.center().x(), overview.top() - 4));
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(view.width() / 2, view.height() - 3));
        QCOMPARE(changes, 0);
    }

    // Following the state

    void aSelectionMadeElsewhereIsHighlighted()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));

        for (SidebarItem item : {SidebarItem::largeFiles, SidebarItem::treeMap}) {
            state.setNavigationSelection(item);
            QCOMPARE(view.highlightedItem(), std::optional<SidebarItem>(item));
            QCOMPARE(filledRows(view), std::vector<SidebarItem>{item});
        }
    }

    void aSelectionWithoutARowHighlightsNothing()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));

        state.setNavigationSelection(SidebarItem::duplicates);
        QCOMPARE(view.highlightedItem(), std::nullopt);
        QVERIFY(filledRows(view).empty());

        state.setNavigationSelection(std::nullopt);
        QCOMPARE(view.highlightedItem(), std::nullopt);
        QVERIFY(filledRows(view).empty());
    }

    void aSelectionBeforeTheFirstResultIsHighlightedOnceItsRowAppears()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        state.setNavigationSelection(SidebarItem::categories);
        QCOMPARE(view.highlightedItem(), std::nullopt);

        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        // A finished scan navigates to the overview.
        QCOMPARE(view.highlightedItem(), state.navigationSelection());
        QCOMPARE(filledRows(view), std::vector<SidebarItem>{*state.navigationSelection()});
    }

    // Keyboard

    void arrowKeysMoveBetweenRowsAndSelect()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        state.setNavigationSelection(SidebarItem::overview);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();

        const auto selection = [&] { return state.navigationSelection(); };
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::treeMap));
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::categories));
        QTest::keyClick(&view, Qt::Key_Down); // already the last row
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::categories));
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::largeFiles));

        // Up past the views header lands on the new-scan row, which takes no selection.
        QTest::keyClick(&view, Qt::Key_Up);
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::overview));
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::overview));
        QVERIFY(!state.showDirectoryPicker());
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::overview));
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(selection(), std::optional<SidebarItem>(SidebarItem::categories));
    }

    void keysContinueFromASelectionMadeElsewhere()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();

        state.setNavigationSelection(SidebarItem::largeFiles);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(state.navigationSelection(), std::optional<SidebarItem>(SidebarItem::categories));
    }

    void spaceOrReturnOnTheNewScanRowOpensThePicker_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("return") << int(Qt::Key_Return);
    }

    void spaceOrReturnOnTheNewScanRowOpensThePicker()
    {
        QFETCH(int, key);
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        state.setNavigationSelection(SidebarItem::overview);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();

        QTest::keyClick(&view, Qt::Key_Up);
        QVERIFY(!state.showDirectoryPicker());
        QTest::keyClick(&view, Qt::Key(key));
        QVERIFY(state.showDirectoryPicker());
        QCOMPARE(state.navigationSelection(), std::optional<SidebarItem>(SidebarItem::overview));
    }

    void withoutAResultTheKeyboardReachesTheNewScanRow()
    {
        AppState state;
        SidebarView view(state);
        view.resize(220, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_Space);
        QVERIFY(state.showDirectoryPicker());
    }

    // Size

    void aNarrowSidebarStillShowsEveryRow()
    {
        AppState state;
        SidebarView view(state);
        ScannedState fixture;
        QVERIFY(fixture.scan(state));
        QVERIFY(view.minimumSizeHint().width() >= 180);
        view.resize(view.minimumSizeHint());
        for (SidebarItem item : kViewItems)
            QVERIFY(view.rect().contains(view.itemRect(item)));
    }
};

QTEST_MAIN(SidebarViewTest)
#include "tst_sidebarview.moc"
