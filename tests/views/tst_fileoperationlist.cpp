// The file operation list and its action bar over an in-memory result: selection rules,
// gestures, the context menu, moves to the Trash (through a fake Trash) and the row layout.

#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/FileActions.h"
#include "analysis/FileListModel.h"
#include "analysis/FileOperationBar.h"
#include "analysis/FileOperationList.h"
#include "analysis/FileRowDelegate.h"
#include "analysis/FileSelectionModel.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "utils/Localization.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// Rows 0-4, largest first; the tests name them by their first letters.
const std::vector<Entry> kFiles = {{"docs/a.pdf", 500, kScanDate},
                                   {"b.mov", 400},
                                   {"src/c.cpp", 300},
                                   {"d.zip", 200},
                                   {"e.txt", 100}};

// A list and its bar as an owner sets them up, rebuilding the rows after every content change.
struct Harness {
    explicit Harness(const std::vector<Entry>& entries = kFiles, bool autoSelectFirst = true)
    {
        result = makeResult("/scan/Projects", entries);
        state.showResult(result);
        list = new FileOperationList(state, selection, actions, fileManager, clipboard, &window);
        bar = new FileOperationBar(state, selection, actions, fileManager, &window);
        auto* column = new QVBoxLayout(&window);
        column->addWidget(list);
        column->addWidget(bar);
        list->setAutoSelectFirst(autoSelectFirst);
        QObject::connect(&state, &AppState::contentRevisionChanged, &model,
                         [this] { model.setFiles(&result->topFiles()); });
        model.setFiles(&result->topFiles());
        window.resize(600, 300);
    }
    void show()
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        list->setFocus();
    }
    // Rows given as digits ("13"); the last one becomes the current row.
    void select(const QString& rows)
    {
        selection.clearSelection();
        for (QChar row : rows)
            selection.setCurrentIndex(model.index(row.digitValue()), QItemSelectionModel::Select);
    }
    QString selected() const
    {
        QString letters;
        for (const NodeRef& file : selection.selectedFiles())
            letters += file->name().front();
        return letters;
    }
    QString shown() const
    {
        return state.selectedNode() ? state.selectedNode()->name().left(1) : QStringLiteral("-");
    }
    std::string path(int row) const { return model.nodeAt(row)->pathBytes(); }
    void trashFromMenu(int row)
    {
        const std::unique_ptr<QMenu> menu = list->createContextMenu(row);
        actions.moveToTrash()->trigger();
    }

    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>();
    AppState state{trash};
    std::shared_ptr<ScanResult> result;
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    FileListModel model;
    FileSelectionModel selection{&model};
    FileActions actions;
    QWidget window;
    FileOperationList* list;
    FileOperationBar* bar;
};

} // namespace

class FileOperationListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void firstShown_data()
    {
        QTest::addColumn<bool>("withFiles");
        QTest::addColumn<bool>("autoSelectFirst");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("summary");
        const QString hint = QStringLiteral("Select files to clean up");
        QTest::newRow("no files") << false << true << QString() << hint;
        QTest::newRow("auto-select") << true << true << "a"
                                     << "1 selected · 500 bytes";
        QTest::newRow("no auto-select") << true << false << QString() << hint;
    }
    void firstShown()
    {
        QFETCH(bool, withFiles);
        QFETCH(bool, autoSelectFirst);
        QFETCH(QString, selected);
        QFETCH(QString, summary);
        Harness h(withFiles ? kFiles : std::vector<Entry>{}, autoSelectFirst);
        QCOMPARE(h.selected(), selected);
        QCOMPARE(h.shown(), selected.isEmpty() ? QStringLiteral("-") : selected);
        QCOMPARE(h.state.inspectorCandidateNodes().size(), withFiles ? kFiles.size() : 0);
        QCOMPARE(h.bar->selectAllButton()->isEnabled(), withFiles);
        QCOMPARE(h.bar->deselectAllButton()->isHidden(), selected.isEmpty());
        QCOMPARE(h.bar->summaryLabel()->fullText(), summary);
        QCOMPARE(h.bar->trashButton()->text(), selected.isEmpty()
                                                   ? QStringLiteral("Move to Trash")
                                                   : QStringLiteral("Move to Trash (1)"));
        QCOMPARE(h.bar->revealButton()->isEnabled(), !selected.isEmpty());
        QCOMPARE(h.bar->trashButton()->isEnabled(), !selected.isEmpty());
    }

    void gestures_data()
    {
        // On row N: "cN" click, "^N" Ctrl+click, "+N" Shift+click, "rN" right click. Keys: "v"
        // Down, "V" Shift+Down, "A" Ctrl+A. The bar's buttons: "S" select all, "D" deselect all.
        QTest::addColumn<QString>("gestures");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("shown"); // the current row if selected, else the first
        auto row = [](const char* name, const char* gestures, const char* selected,
                      const char* shown) {
            QTest::newRow(name) << QString(gestures) << QString(selected) << QString(shown);
        };
        row("click", "c2", "c", "c");
        row("shift-click", "c1 +3", "bcd", "d");
        row("ctrl-click adds", "c1 ^3", "bd", "d");
        row("ctrl-click removes the current", "c1 ^3 ^3", "b", "b");
        row("shift-arrows", "c0 V V", "abc", "c");
        row("ctrl-A", "c2 A", "abcde", "c");
        row("right click keeps the selection", "c1 r3", "b", "b");
        row("select all", "c3 S", "abcde", "d");
        row("deselect all", "c3 D", "", "-");
    }
    void gestures()
    {
        QFETCH(QString, gestures);
        QFETCH(QString, selected);
        QFETCH(QString, shown);
        Harness h;
        h.show();
        for (const QString& gesture : gestures.split(QLatin1Char(' '))) {
            const QChar kind = gesture.front();
            if (kind == u'S' || kind == u'D') {
                (kind == u'S' ? h.bar->selectAllButton() : h.bar->deselectAllButton())->click();
                continue;
            }
            if (gesture.size() == 1) {
                QTest::keyClick(h.list, kind == u'A' ? Qt::Key_A : Qt::Key_Down,
                                kind == u'A'   ? Qt::ControlModifier
                                : kind == u'V' ? Qt::ShiftModifier
                                               : Qt::NoModifier);
                continue;
            }
            const QPoint at = h.list->visualRect(h.model.index(gesture.mid(1).toInt())).center();
            QTest::mouseClick(h.list->viewport(), kind == u'r' ? Qt::RightButton : Qt::LeftButton,
                              kind == u'^'   ? Qt::ControlModifier
                              : kind == u'+' ? Qt::ShiftModifier
                                             : Qt::NoModifier,
                              at);
        }
        QCOMPARE(h.selected(), selected);
        QCOMPARE(h.shown(), shown);
    }

    void threeFilesSelected()
    {
        Harness h({{"x.txt", 1}, {"y.txt", 2}, {"z.txt", 3}});
        h.bar->selectAllButton()->click();
        QCOMPARE(h.bar->summaryLabel()->fullText(), QStringLiteral("3 selected · 6 bytes"));
        QCOMPARE(h.bar->trashButton()->text(), QStringLiteral("Move to Trash (3)"));
    }

    void deletion_data()
    {
        // "menuN" deletes row N from its context menu; "bar" and "key" (Delete) move the
        // selection. The survivor is selected alone from then on ("-": nothing).
        QTest::addColumn<bool>("autoSelectFirst");
        QTest::addColumn<QString>("selectedRows");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("survivor");
        auto row = [](const char* name, bool autoSelectFirst, const char* selectedRows,
                      const char* how, const char* survivor) {
            QTest::newRow(name) << autoSelectFirst << QString(selectedRows) << QString(how)
                                << QString(survivor);
        };
        row("menu, another row", true, "1", "menu3", "b");
        row("menu, the selected row", true, "1", "menu1", "a");
        row("menu, one of several", true, "02", "menu0", "b");
        row("menu, none selected", false, "", "menu0", "b");
        row("bar, one file", true, "2", "bar", "a");
        row("bar, two files", true, "12", "bar", "a");
        row("Delete key", true, "04", "key", "b");
        row("every file", true, "01234", "key", "-");
    }
    void deletion()
    {
        QFETCH(bool, autoSelectFirst);
        QFETCH(QString, selectedRows);
        QFETCH(QString, how);
        QFETCH(QString, survivor);
        Harness h(kFiles, autoSelectFirst);
        h.show();
        h.select(selectedRows);
        const QString doomed = how.startsWith(u"menu") ? how.mid(4) : selectedRows;
        std::vector<std::string> paths;
        for (QChar row : doomed)
            paths.push_back(h.path(row.digitValue()));
        if (how == u"bar")
            h.bar->trashButton()->click();
        else if (how == u"key")
            QTest::keyClick(h.list, Qt::Key_Delete);
        else
            h.trashFromMenu(doomed.toInt());
        const QString alone = survivor == u"-" ? QString() : survivor;
        QCOMPARE(h.selected(), alone); // as the move starts
        QCOMPARE(h.shown(), survivor);
        QTRY_VERIFY(!h.state.isDeleting());
        QCOMPARE(h.selected(), alone); // and when it is done
        QCOMPARE(h.shown(), survivor);
        QCOMPARE(h.trash->requests(), paths);
        QCOMPARE(h.model.rowCount(), 5 - doomed.size());
    }

    void duringABatchOnlyTheContextMenuDeletes()
    {
        Harness h;
        h.show();
        h.select("01");
        h.bar->moveToTrash(); // a batch: it waits a moment before the first move
        QVERIFY(h.state.isDeleting());
        QVERIFY(!h.bar->trashButton()->isEnabled());
        h.select("2");
        QVERIFY(!h.bar->trashButton()->isEnabled());
        QTest::keyClick(h.list, Qt::Key_Delete);
        QVERIFY(h.trash->requests().empty());
        const std::string other = h.path(3);
        h.trashFromMenu(3);
        QCOMPARE(h.trash->requests(), std::vector<std::string>{other});
        QTRY_VERIFY(!h.state.isDeleting());
        QCOMPARE(h.trash->requests().size(), 3u);
        QCOMPARE(h.model.rowCount(), 2);
        QVERIFY(h.bar->trashButton()->isEnabled());
    }

    void revealAndCopyUseExactPaths()
    {
        Harness h({{"caf\xe9.txt", 50}, {"big.iso", 90}});
        h.select("01");
        h.bar->revealButton()->click();
        const std::vector<std::string> both = {"/scan/Projects/big.iso",
                                               "/scan/Projects/caf\xe9.txt"};
        QCOMPARE(h.fileManager.revealed, std::vector<std::vector<std::string>>{both});
        {
            const std::unique_ptr<QMenu> menu = h.list->createContextMenu(1);
            QVERIFY(h.actions.copyPath()->isEnabled());
            h.actions.copyPath()->trigger();
            h.actions.reveal()->trigger();
        }
        QCOMPARE(h.clipboard.copied, std::vector<std::string>{both[1]});
        QCOMPARE(h.fileManager.revealed.back(), std::vector<std::string>{both[1]});
        QVERIFY(!h.actions.copyPath()->isEnabled()); // without a row, nothing to copy
    }

    void keysOpenTheCurrentRowsMenu_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Menu") << int(Qt::Key_Menu) << Qt::KeyboardModifiers();
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier);
    }
    void keysOpenTheCurrentRowsMenu()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        Harness h;
        h.show();
        QTest::keyClick(h.list, Qt::Key_Down); // row 1 current and selected
        QStringList items;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions())
                items << action->text();
            h.actions.copyPath()->trigger();
            menu->close();
        });
        QTest::keyClick(h.list, Qt::Key(key), modifiers);
        QCOMPARE(items, (QStringList{L("action.showInFinder"), L("action.copyPath"), QString(),
                                     L("action.moveToTrash")}));
        QCOMPARE(h.clipboard.copied, std::vector<std::string>{h.path(1)});
    }

    void rowLayout_data()
    {
        QTest::addColumn<bool>("options"); // showCategory and showModifiedDate
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<QString>("date");
        QTest::newRow("plain") << false << 0 << QString() << QString();
        QTest::newRow("badge and date") << true << 0 << "Documents"
                                        << "2026-03-14";
        QTest::newRow("no date known") << true << 1 << "Videos" << QString();
    }
    void rowLayout()
    {
        QFETCH(bool, options);
        QFETCH(int, row);
        QFETCH(QString, badge);
        QFETCH(QString, date);
        Harness h;
        FileRowDelegate& delegate = *h.list->rowDelegate();
        delegate.setShowCategory(options);
        delegate.setShowModifiedDate(options);
        const QRect rect(0, 0, 700, delegate.rowHeight());
        const FileRowDelegate::Layout wide = delegate.layout(rect, h.model.index(row));
        QCOMPARE(wide.badgeText, badge);
        QCOMPARE(wide.dateText, date);
        QCOMPARE(wide.size, QRect(rect.right() - 10 - 83, 0, 84, rect.height()));
        QVERIFY(wide.name.right() < (date.isEmpty() ? wide.size : wide.date).left());
        // Narrow, the folder loses its start and keeps its end.
        const QRect narrow(0, 0, rect.width() - wide.folder.width() + 40, rect.height());
        const QString folder = delegate.layout(narrow, h.model.index(row)).folderText;
        QVERIFY(folder.startsWith(QChar(0x2026)) && folder.size() > 1);
        QVERIFY(FileListModel::containingFolder(*h.model.nodeAt(row)).endsWith(folder.mid(1)));
    }

    void theModelNeverReadsPastItsList()
    {
        Harness h;
        std::vector<NodeRef> files = h.result->allFiles();
        QSignalSpy resets(&h.model, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&h.model, &QAbstractItemModel::rowsInserted);
        h.model.setFiles(&files, 2);
        QCOMPARE(h.model.rowCount(), 2);
        h.model.setLimit(4); // grows without a reset
        QCOMPARE(h.model.rowCount(), 4);
        QCOMPARE(resets.size(), 1);
        QCOMPARE(inserts.size(), 1);
        QCOMPARE(h.state.inspectorCandidateNodes().size(), 4u);
        // The owner's list shrinks in place before it resets the model.
        files.erase(files.begin());
        files.pop_back();
        QVERIFY(!h.model.nodeAt(0)); // another file is there now
        QVERIFY(!h.model.nodeAt(3)); // past the end
        QVERIFY(!h.model.index(3).data().isValid());
    }

    void aRebuildKeepsThePlace()
    {
        std::vector<Entry> many;
        for (int i = 0; i < 60; ++i)
            many.push_back({"f" + std::to_string(i) + ".txt", 1000 - i});
        Harness h(many);
        h.show();
        h.list->scrollTo(h.model.index(40), QAbstractItemView::PositionAtCenter);
        h.selection.selectOnly(40);
        const int scroll = h.list->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        h.state.deleteFile(h.model.nodeAt(59)); // somewhere else
        QTest::qWait(1);                        // the delayed layout of the new rows
        QCOMPARE(h.selection.selectedFiles().front()->name(), QStringLiteral("f40.txt"));
        QCOMPARE(h.list->verticalScrollBar()->value(), scroll);
        // Ten rows above go: the selected row moves up out of the old view, which follows it.
        std::vector<NodeRef> above(h.result->topFiles().begin(), h.result->topFiles().begin() + 10);
        h.state.deleteFiles(above);
        QTRY_VERIFY(!h.state.isDeleting());
        QTest::qWait(1);
        QCOMPARE(h.selection.selectedFiles().front()->name(), QStringLiteral("f40.txt"));
        QVERIFY(h.list->verticalScrollBar()->value() > 0);
        QVERIFY(
            h.list->viewport()->rect().contains(h.list->visualRect(h.selection.currentIndex())));
    }
};

QTEST_MAIN(FileOperationListTest)
#include "tst_fileoperationlist.moc"
