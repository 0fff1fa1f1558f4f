#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "shell/SidebarModel.h"
#include "shell/SidebarView.h"
#include "utils/Localization.h"

#include <QAccessible>
#include <QApplication>
#include <QStyleFactory>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;

namespace {

using Items = std::vector<SidebarItem>;
using Selection = std::optional<SidebarItem>;
constexpr int kNone = -1;

// A table row: a selection made elsewhere, then steps (keys, or presses made with press()),
// then the selection and whether the folder picker was asked for.
struct Input {
    bool withResult;
    int start;
    QList<int> steps;
    int selection;
    bool picker = false;
};
enum class Press { released, releasedOff, withCtrl }; // released on the row, 60 points lower
// A press on a row of the model (8: below the rows), as a step.
constexpr int press(int row, Press how = Press::released)
{
    return -1 - row - 100 * int(how);
}
Selection itemFrom(int value)
{
    return value == kNone ? Selection() : Selection(SidebarItem::Value(value));
}

// A shown sidebar with the focus on its own state, with a result unless told otherwise. With a
// result its rows are: 0 "Actions", 1 new scan, 2 duplicates, 3 "Views", 4 overview ... 7
// categories.
struct Sidebar {
    explicit Sidebar(bool withResult = true)
    {
        view.resize(220, 300);
        view.show();
        view.setFocus();
        if (withResult)
            addResult();
    }
    void addResult() { state.showResult(makeResult("/home/user/Projects", {{"a/b.txt", 100}})); }
    bool exposed() { return QTest::qWaitForWindowExposed(&view) && view.hasFocus(); }
    QRect rect(int row) const { return view.visualRect(model.index(row)); } // in the viewport

    // The items whose rows are drawn with a fill: the colour just inside the row's left end
    // differs from the colour at the same height in the margin, where nothing is drawn.
    Items filledRows()
    {
        const QImage image = view.grab().toImage();
        const qreal r = image.devicePixelRatio();
        Items filled;
        for (SidebarItem item : model.items()) {
            const QRect row = rect(model.indexOf(item).row()).translated(view.viewport()->pos());
            const int y = qRound(row.center().y() * r);
            if (image.pixel(qRound((row.left() + 3) * r), y) != image.pixel(qRound(r), y))
                filled.push_back(item);
        }
        return filled;
    }

    AppState state{std::make_shared<FakeTrash>()};
    SidebarView view{state};
    SidebarModel& model = *view.sidebarModel();
};

} // namespace

Q_DECLARE_METATYPE(Input)

class SidebarViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }

    // The rows and what a screen reader hears of them, before the first result and through
    // later ones; only item rows take the selection, and headers not even the keyboard.
    void rowsFollowTheResult()
    {
        Sidebar s(false);
        QVERIFY(s.exposed());
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&s.view);
        QCOMPARE(list->text(QAccessible::Name), L("sidebar.views"));
        for (int scans : {0, 1, 2}) {
            if (scans > 0)
                s.addResult();
            QStringList titles{L("sidebar.actions"), L("sidebar.newScan")};
            if (scans > 0)
                titles << L("sidebar.duplicates") << L("sidebar.views") << L("sidebar.overview")
                       << L("sidebar.treeMap") << L("sidebar.largeFiles")
                       << L("sidebar.categories");
            QCOMPARE(list->childCount(), titles.size());
            for (int row = 0; row < titles.size(); ++row) {
                QCOMPARE(list->child(row)->text(QAccessible::Name), titles[row]);
                const Qt::ItemFlags flags = s.model.index(row).flags();
                QCOMPARE(flags.testFlag(Qt::ItemIsEnabled), row != 0 && row != 3); // headers
                QCOMPARE(flags.testFlag(Qt::ItemIsSelectable), row == 2 || row > 3); // items
                QVERIFY(s.rect(row).top() > (row > 0 ? s.rect(row - 1).bottom() : -1));
            }
        }
        QCOMPARE(s.view.selectedItem(), Selection(SidebarItem::overview)); // where a scan goes
    }

    void input_data()
    {
        QTest::addColumn<Input>("c");
        const int overview = SidebarItem::overview, treeMap = SidebarItem::treeMap,
                  categories = SidebarItem::categories, duplicates = SidebarItem::duplicates,
                  up = Qt::Key_Up, down = Qt::Key_Down;
        const auto row = [](const char* name, Input input) { QTest::newRow(name) << input; };
        row("click", {true, treeMap, {press(7)}, categories, false});
        row("click an action", {true, treeMap, {press(2)}, duplicates, false});
        row("ctrl-click the selected row", {true, treeMap, {press(5, Press::withCtrl)}, treeMap});
        row("click new scan", {true, treeMap, {press(1)}, treeMap, true});
        row("new scan released off", {true, treeMap, {press(1, Press::releasedOff)}, treeMap});
        row("click a header", {true, treeMap, {press(3)}, treeMap, false});
        row("click below the rows", {true, treeMap, {press(8)}, treeMap, false});
        row("down", {true, treeMap, {down, down}, categories, false});
        row("down stops at the end", {true, categories, {down}, categories, false});
        row("up past the header", {true, treeMap, {up, up}, duplicates, false});
        row("up stops at new scan", {true, overview, {up, up, up, down}, duplicates, false});
        row("end", {true, overview, {Qt::Key_End}, categories, false});
        row("home, return", {true, treeMap, {Qt::Key_Home, Qt::Key_Return}, treeMap, true});
        row("space on new scan", {true, overview, {up, up, Qt::Key_Space}, duplicates, true});
        row("selection without a row", {true, SidebarItem::caches, {}, SidebarItem::caches});
        row("no selection", {true, kNone, {}, kNone});
        row("return on a row", {true, SidebarItem::caches, {Qt::Key_Return}, overview});
        row("no result: keys", {false, overview, {down, Qt::Key_Space}, overview, true});
        row("no result: click", {false, overview, {press(1)}, overview, true});
    }

    // Clicks and keys: item rows store their item, the new-scan row opens the picker and keeps
    // the selection, headers and empty space do nothing. The state changes only when one of
    // the two does.
    void input()
    {
        QFETCH(Input, c);
        Sidebar s(c.withResult);
        QVERIFY(s.exposed());
        s.state.setNavigationSelection(itemFrom(c.start));
        int changes = 0;
        connect(&s.state, &AppState::changed, this, [&] { ++changes; });
        for (int step : c.steps) {
            if (step >= 0) {
                QTest::keyClick(&s.view, Qt::Key(step));
                continue;
            }
            const int row = (-1 - step) % 100;
            const auto how = Press((-1 - step) / 100);
            const QPoint at = row < s.model.rowCount() ? s.rect(row).center()
                                                       : s.rect(row - 1).center() + QPoint(0, 40);
            const QPoint release = at + QPoint(0, how == Press::releasedOff ? 60 : 0);
            const Qt::KeyboardModifiers modifiers{how == Press::withCtrl ? Qt::ControlModifier
                                                                         : Qt::NoModifier};
            const QModelIndex current = s.view.currentIndex();
            QTest::mousePress(s.view.viewport(), Qt::LeftButton, modifiers, at);
            QTest::mouseMove(s.view.viewport(), release);
            QTest::mouseRelease(s.view.viewport(), Qt::LeftButton, modifiers, release);
            if (row == 1) // a button: the current row stays where it was
                QCOMPARE(s.view.currentIndex(), current);
        }
        const Selection selected = itemFrom(c.selection);
        QCOMPARE(s.state.navigationSelection(), selected);
        // The sidebar has rows for the enabled items once there is a result.
        const bool hasRow = c.withResult && selected && selected->isEnabled();
        QCOMPARE(s.view.selectedItem(), hasRow ? selected : std::nullopt);
        QCOMPARE(s.filledRows(), hasRow ? Items{*selected} : Items{});
        QCOMPARE(s.state.showDirectoryPicker(), c.picker);
        QCOMPARE(changes > 0, c.picker || c.start != c.selection);
    }

    // A selection made elsewhere is the one row drawn filled, light and dark, with and without
    // the focus. With PLENVO_SCREENSHOT_DIR set, the pictures are saved there.
    void selectionIsDrawn()
    {
        const QPalette light = QApplication::palette();
        const QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x1e, 0x1e, 0x1e));
        const QString dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        for (const QString name :
             {"focused-light", "unfocused-light", "focused-dark", "unfocused-dark"}) {
            QApplication::setPalette(name.endsWith("dark") ? dark : light);
            Sidebar s;
            QVERIFY(s.exposed());
            if (name.startsWith("un"))
                s.view.clearFocus();
            s.state.setNavigationSelection(SidebarItem::largeFiles);
            QCOMPARE(s.filledRows(), Items{SidebarItem::largeFiles});
            if (!dir.isEmpty())
                QVERIFY(s.view.grab().save(dir + "/sidebar-" + name + ".png"));
        }
        QApplication::setPalette(light);
    }
};

QTEST_MAIN(SidebarViewTest)
#include "tst_sidebarview.moc"
