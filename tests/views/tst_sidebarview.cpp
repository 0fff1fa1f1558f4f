#include "AppState.h"
#include "TestSupport.h"
#include "shell/SidebarView.h"

#include <QImage>
#include <QTest>

#include <optional>
#include <utility>
#include <vector>

using namespace plenvo;
using namespace plenvo::test;

namespace {

const std::vector<SidebarItem> kViewItems{SidebarItem::overview, SidebarItem::treeMap,
                                          SidebarItem::largeFiles, SidebarItem::categories};

using Selection = std::optional<SidebarItem>;

// A sidebar on its own state; scan() gives the state a result from a small folder.
struct Sidebar {
    Sidebar()
    {
        view.resize(220, 400);
        writeFile(dir.file("a.txt"), 100);
    }

    bool scan()
    {
        state.scanDirectory(QFile::decodeName(dir.path()));
        return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) &&
               state.scanResult() != nullptr;
    }
    bool showWithFocus()
    {
        view.show();
        view.setFocus();
        return QTest::qWaitForWindowExposed(&view);
    }
    void click(const QPoint& point) { QTest::mouseClick(&view, Qt::LeftButton, {}, point); }
    void key(Qt::Key key) { QTest::keyClick(&view, key); }

    // The items whose rows are drawn with a fill: the colour just inside the row's left end
    // differs from the colour at the same height in the margin, where nothing is drawn.
    std::vector<SidebarItem> filledRows()
    {
        const QImage image = view.grab().toImage();
        const qreal r = image.devicePixelRatio();
        std::vector<SidebarItem> filled;
        for (SidebarItem item : view.shownItems()) {
            const QRect rect = view.itemRect(item);
            const int y = qRound(rect.center().y() * r);
            if (image.pixel(qRound((rect.left() + 3) * r), y) != image.pixel(qRound(r), y))
                filled.push_back(item);
        }
        return filled;
    }

    ScratchDir dir;
    AppState state;
    SidebarView view{state};
};

} // namespace

class SidebarViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theViewRowsNeedAResult()
    {
        Sidebar s;
        const int heightWithoutResult = s.view.sizeHint().height();
        QVERIFY(s.view.shownItems().empty());
        QVERIFY(!s.view.newScanRect().isEmpty());
        for (SidebarItem item : SidebarItem::allCases())
            QVERIFY(s.view.itemRect(item).isEmpty());

        QVERIFY(s.scan());
        QCOMPARE(s.view.shownItems(), kViewItems);
        int previousBottom = s.view.newScanRect().bottom();
        for (SidebarItem item : kViewItems) {
            const QRect rect = s.view.itemRect(item);
            QVERIFY2(rect.top() > previousBottom, qPrintable(item.rawValue()));
            previousBottom = rect.bottom();
        }
        QVERIFY(s.view.sizeHint().height() > heightWithoutResult);
        for (SidebarItem item :
             {SidebarItem::duplicates, SidebarItem::caches, SidebarItem::cleanup})
            QVERIFY(s.view.itemRect(item).isEmpty());

        // The rows stay through a later scan, and fit a sidebar at its narrowest.
        QVERIFY(s.scan());
        QCOMPARE(s.view.shownItems(), kViewItems);
        QVERIFY(s.view.minimumSizeHint().width() >= 180);
        s.view.resize(s.view.minimumSizeHint());
        for (SidebarItem item : kViewItems)
            QVERIFY(s.view.rect().contains(s.view.itemRect(item)));
    }

    void clickingARowSelectsItsItem()
    {
        Sidebar s;
        QVERIFY(s.scan());
        for (SidebarItem item : {SidebarItem::categories, SidebarItem::treeMap,
                                 SidebarItem::largeFiles, SidebarItem::overview}) {
            s.click(s.view.itemRect(item).center());
            QCOMPARE(s.state.navigationSelection(), Selection(item));
        }
        // The whole width of a row is its click target.
        const QRect rect = s.view.itemRect(SidebarItem::largeFiles);
        s.click(QPoint(rect.right() - 2, rect.center().y()));
        QCOMPARE(s.state.navigationSelection(), Selection(SidebarItem::largeFiles));

        // A header or empty space changes nothing.
        int changes = 0;
        connect(&s.state, &AppState::changed, this, [&] { ++changes; });
        const QRect overview = s.view.itemRect(SidebarItem::overview);
        s.click(QPoint(overview.center().x(), overview.top() - 4));
        s.click(QPoint(s.view.width() / 2, s.view.height() - 3));
        QCOMPARE(changes, 0);
    }

    void aSelectionMadeElsewhereIsHighlighted()
    {
        Sidebar s;
        s.state.setNavigationSelection(SidebarItem::categories);
        QCOMPARE(s.view.highlightedItem(), std::nullopt);

        // Made before the first result: highlighted once its row appears (a finished scan
        // navigates to the overview).
        QVERIFY(s.scan());
        QCOMPARE(s.view.highlightedItem(), s.state.navigationSelection());
        QCOMPARE(s.filledRows(), std::vector<SidebarItem>{*s.state.navigationSelection()});

        for (SidebarItem item : {SidebarItem::largeFiles, SidebarItem::treeMap}) {
            s.state.setNavigationSelection(item);
            QCOMPARE(s.view.highlightedItem(), Selection(item));
            QCOMPARE(s.filledRows(), std::vector<SidebarItem>{item});
        }
        for (Selection none : {Selection(SidebarItem::duplicates), Selection()}) {
            s.state.setNavigationSelection(none);
            QCOMPARE(s.view.highlightedItem(), std::nullopt);
            QVERIFY(s.filledRows().empty());
        }
    }

    void arrowKeysMoveBetweenRowsAndSelect()
    {
        Sidebar s;
        QVERIFY(s.scan());
        QVERIFY(s.showWithFocus());

        // Keys continue from a selection made elsewhere; up past the views header lands on
        // the new-scan row, which takes no selection.
        s.state.setNavigationSelection(SidebarItem::treeMap);
        const std::pair<Qt::Key, SidebarItem> steps[] = {
            {Qt::Key_Down, SidebarItem::largeFiles}, {Qt::Key_Down, SidebarItem::categories},
            {Qt::Key_Down, SidebarItem::categories}, {Qt::Key_Up, SidebarItem::largeFiles},
            {Qt::Key_Up, SidebarItem::treeMap},      {Qt::Key_Up, SidebarItem::overview},
            {Qt::Key_Up, SidebarItem::overview},     {Qt::Key_Down, SidebarItem::overview},
            {Qt::Key_End, SidebarItem::categories}};
        for (const auto& [key, expected] : steps) {
            s.key(key);
            QCOMPARE(s.state.navigationSelection(), Selection(expected));
        }
        QVERIFY(!s.state.showDirectoryPicker());
    }

    void theNewScanRowOpensThePicker()
    {
        {
            // Without a result, by keyboard or mouse (a press released outside does not count).
            Sidebar s;
            QVERIFY(s.showWithFocus());
            s.key(Qt::Key_Down);
            s.key(Qt::Key_Space);
            QVERIFY(s.state.showDirectoryPicker());
            s.state.setShowDirectoryPicker(false);
            const QRect rect = s.view.newScanRect();
            const QPoint below(rect.center().x(), rect.bottom() + 40);
            QTest::mousePress(&s.view, Qt::LeftButton, {}, rect.center());
            QTest::mouseMove(&s.view, below);
            QTest::mouseRelease(&s.view, Qt::LeftButton, {}, below);
            QVERIFY(!s.state.showDirectoryPicker());
            s.click(rect.center());
            QVERIFY(s.state.showDirectoryPicker());
        }
        // With a result, the selection stays where it was.
        Sidebar s;
        QVERIFY(s.scan());
        s.state.setNavigationSelection(SidebarItem::treeMap);
        s.click(s.view.newScanRect().center());
        QVERIFY(s.state.showDirectoryPicker());
        QCOMPARE(s.state.navigationSelection(), Selection(SidebarItem::treeMap));
        QCOMPARE(s.view.highlightedItem(), Selection(SidebarItem::treeMap));

        QVERIFY(s.showWithFocus());
        s.state.setNavigationSelection(SidebarItem::overview);
        s.key(Qt::Key_Up);
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
            s.state.setShowDirectoryPicker(false);
            s.key(key);
            QVERIFY(s.state.showDirectoryPicker());
            QCOMPARE(s.state.navigationSelection(), Selection(SidebarItem::overview));
        }
    }
};

QTEST_MAIN(SidebarViewTest)
#include "tst_sidebarview.moc"
