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
#include "utils/FormatUtils.h"
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

// a.pdf, b.mov, c.cpp, d.zip, e.txt: rows 0-4, largest first.
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
    void select(const QList<int>& rows)
    {
        selection.clearSelection();
        for (int row : rows)
            selection.setCurrentIndex(model.index(row), QItemSelectionModel::Select);
    }
    QStringList selected() const
    {
        QStringList names;
        for (const NodeRef& file : selection.selectedFiles())
            names << file->name();
        return names;
    }
    QString shown() const
    {
        return state.selectedNode() ? state.selectedNode()->name() : QStringLiteral("-");
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
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("summary");
        QTest::newRow("no files") << false << true << QStringList() << "Select files to clean up";
        QTest::newRow("auto-select")
            << true << true << QStringList{"a.pdf"} << "1 selected · 500 bytes";
        QTest::newRow("no auto-select")
            << true << false << QStringList() << "Select files to clean up";
    }
    void firstShown()
    {
        QFETCH(bool, withFiles);
        QFETCH(bool, autoSelectFirst);
        QFETCH(QStringList, selected);
        QFETCH(QString, summary);
        Harness h(withFiles ? kFiles : std::vector<Entry>{}, autoSelectFirst);
        QCOMPARE(h.selected(), selected);
        QCOMPARE(h.shown(), selected.value(0, QStringLiteral("-")));
        QCOMPARE(h.state.inspectorCandidateNodes().size(), withFiles ? kFiles.size() : 0);
        QCOMPARE(h.bar->selectAllButton()->isEnabled(), withFiles);
        QCOMPARE(h.bar->deselectAllButton()->isHidden(), selected.isEmpty());
        QCOMPARE(h.bar->summaryLabel()->fullText(), summary);
        QCOMPARE(h.bar->revealButton()->isEnabled(), !selected.isEmpty());
        QCOMPARE(h.bar->trashButton()->isEnabled(), !selected.isEmpty());
    }

    void gestures_data()
    {
        // "click:N", "ctrl:N", "shift:N", "right:N" on row N; "key:K" / "shiftkey:K" / "ctrlkey:K".
        QTest::addColumn<QStringList>("gestures");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("shown");
        QTest::newRow("click") << QStringList{"click:2"} << QStringList{"c.cpp"} << "c.cpp";
        QTest::newRow("shift-click") << QStringList{"click:1", "shift:3"}
                                     << QStringList{"b.mov", "c.cpp", "d.zip"} << "d.zip";
        QTest::newRow("ctrl-click adds")
            << QStringList{"click:1", "ctrl:3"} << QStringList{"b.mov", "d.zip"} << "d.zip";
        QTest::newRow("ctrl-click removes the current")
            << QStringList{"click:1", "ctrl:3", "ctrl:3"} << QStringList{"b.mov"} << "b.mov";
        QTest::newRow("shift-arrows") << QStringList{"click:0", "shiftkey:Down", "shiftkey:Down"}
                                      << QStringList{"a.pdf", "b.mov", "c.cpp"} << "c.cpp";
        QTest::newRow("ctrl-A") << QStringList{"click:2", "ctrlkey:A"}
                                << QStringList{"a.pdf", "b.mov", "c.cpp", "d.zip", "e.txt"}
                                << "c.cpp";
        QTest::newRow("right click keeps the selection")
            << QStringList{"click:1", "right:3"} << QStringList{"b.mov"} << "b.mov";
    }
    void gestures()
    {
        QFETCH(QStringList, gestures);
        QFETCH(QStringList, selected);
        QFETCH(QString, shown);
        Harness h;
        h.show();
        for (const QString& gesture : gestures) {
            const QString kind = gesture.section(QLatin1Char(':'), 0, 0);
            const QString arg = gesture.section(QLatin1Char(':'), 1);
            const Qt::KeyboardModifiers modifiers = kind.startsWith(u"shift")  ? Qt::ShiftModifier
                                                    : kind.startsWith(u"ctrl") ? Qt::ControlModifier
                                                                               : Qt::NoModifier;
            if (kind.endsWith(u"key")) {
                QTest::keyClick(h.list, arg == u"A" ? Qt::Key_A : Qt::Key_Down, modifiers);
            } else {
                const QPoint at = h.list->visualRect(h.model.index(arg.toInt())).center();
                QTest::mouseClick(h.list->viewport(),
                                  kind == u"right" ? Qt::RightButton : Qt::LeftButton, modifiers,
                                  at);
            }
        }
        QCOMPARE(h.selected(), selected);
        QCOMPARE(h.shown(), shown);
    }

    void barSummarizesTheSelection()
    {
        Harness h({{"x.txt", 1}, {"y.txt", 2}, {"z.txt", 3}});
        h.bar->selectAllButton()->click();
        QCOMPARE(h.bar->summaryLabel()->fullText(), QStringLiteral("3 selected · 6 bytes"));
        QCOMPARE(h.bar->trashButton()->text(), QStringLiteral("Move to Trash (3)"));
        QVERIFY(h.bar->trashButton()->isEnabled());
        h.bar->deselectAllButton()->click();
        QCOMPARE(h.shown(), QStringLiteral("-"));
        QCOMPARE(h.bar->summaryLabel()->fullText(), QStringLiteral("Select files to clean up"));
        QCOMPARE(h.bar->trashButton()->text(), QStringLiteral("Move to Trash"));
        QVERIFY(!h.bar->trashButton()->isEnabled());
        QVERIFY(!h.bar->revealButton()->isEnabled());
    }

    void contextMenuDeletion_data()
    {
        QTest::addColumn<bool>("autoSelectFirst");
        QTest::addColumn<QList<int>>("selectedRows");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("selectedAfter");
        QTest::newRow("a row neither selected nor shown")
            << true << QList<int>{1} << 3 << QStringList{"b.mov"};
        QTest::newRow("the selected row") << true << QList<int>{1} << 1 << QStringList{"a.pdf"};
        QTest::newRow("a row of a multiple selection")
            << true << QList<int>{0, 2} << 0 << QStringList{"b.mov"};
        QTest::newRow("nothing selected") << false << QList<int>{} << 0 << QStringList{"b.mov"};
    }
    void contextMenuDeletion()
    {
        QFETCH(bool, autoSelectFirst);
        QFETCH(QList<int>, selectedRows);
        QFETCH(int, row);
        QFETCH(QStringList, selectedAfter);
        Harness h(kFiles, autoSelectFirst);
        h.select(selectedRows);
        const std::string doomed = h.path(row);
        h.trashFromMenu(row);
        QCOMPARE(h.trash->requests(), std::vector<std::string>{doomed});
        QCOMPARE(h.model.rowCount(), 4);
        QCOMPARE(h.selected(), selectedAfter);
        QCOMPARE(h.shown(), selectedAfter.value(0));
    }

    void movingTheSelection_data()
    {
        QTest::addColumn<QList<int>>("selectedRows");
        QTest::addColumn<bool>("deleteKey");
        QTest::addColumn<QString>("survivor"); // selected alone before and after the move
        QTest::newRow("one file") << QList<int>{2} << false << "a.pdf";
        QTest::newRow("two files") << QList<int>{1, 2} << false << "a.pdf";
        QTest::newRow("with the Delete key") << QList<int>{0, 4} << true << "b.mov";
        QTest::newRow("every file") << QList<int>{0, 1, 2, 3, 4} << true << "-";
    }
    void movingTheSelection()
    {
        QFETCH(QList<int>, selectedRows);
        QFETCH(bool, deleteKey);
        QFETCH(QString, survivor);
        Harness h;
        h.show();
        h.select(selectedRows);
        std::vector<std::string> doomed;
        for (int row : selectedRows)
            doomed.push_back(h.path(row));
        if (deleteKey)
            QTest::keyClick(h.list, Qt::Key_Delete);
        else
            h.bar->trashButton()->click();
        const QStringList alone = survivor == u"-" ? QStringList() : QStringList{survivor};
        QCOMPARE(h.shown(), survivor);
        QCOMPARE(h.selected(), alone);
        QTRY_VERIFY(!h.state.isDeleting());
        QCOMPARE(h.trash->requests(), doomed);
        QCOMPARE(h.model.rowCount(), 5 - selectedRows.size());
        QCOMPARE(h.selected(), alone);
        QCOMPARE(h.shown(), survivor);
    }

    void duringABatchOnlyTheContextMenuDeletes()
    {
        Harness h;
        h.show();
        h.select({0, 1});
        h.bar->moveToTrash(); // a batch: it waits a moment before the first move
        QVERIFY(h.state.isDeleting());
        QVERIFY(!h.bar->trashButton()->isEnabled());
        h.select({2});
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
        h.select({0, 1});
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
        QTest::addColumn<bool>("showCategory");
        QTest::addColumn<bool>("showModifiedDate");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("badge");
        QTest::addColumn<QString>("date");
        QTest::newRow("plain") << false << false << 0 << QString() << QString();
        QTest::newRow("badge and date") << true << true << 0 << "Documents"
                                        << "2026-03-14";
        QTest::newRow("no date known") << true << true << 1 << "Videos" << QString();
    }
    void rowLayout()
    {
        QFETCH(bool, showCategory);
        QFETCH(bool, showModifiedDate);
        QFETCH(int, row);
        QFETCH(QString, badge);
        QFETCH(QString, date);
        Harness h;
        FileRowDelegate& delegate = *h.list->rowDelegate();
        delegate.setShowCategory(showCategory);
        delegate.setShowModifiedDate(showModifiedDate);
        const QRect rect(0, 0, 700, delegate.rowHeight());
        const FileRowDelegate::Layout wide = delegate.layout(rect, h.model.index(row));
        QCOMPARE(wide.badgeText, badge);
        QCOMPARE(wide.dateText, date);
        QCOMPARE(wide.badge.isEmpty(), badge.isEmpty());
        QCOMPARE(wide.sizeText, FormatUtils::formatBytes(h.model.nodeAt(row)->fileSize()));
        QCOMPARE(wide.size.right(), rect.right() - 10);
        QCOMPARE(wide.size.width(), 84);
        QVERIFY(wide.name.right() < (date.isEmpty() ? wide.size : wide.date).left());
        // Narrow, the folder loses its start and keeps its end.
        const QRect narrowRect(0, 0, rect.width() - wide.folder.width() + 40, rect.height());
        const FileRowDelegate::Layout narrow = delegate.layout(narrowRect, h.model.index(row));
        const QString folder = FileListModel::containingFolder(*h.model.nodeAt(row));
        QVERIFY(narrow.folderText.startsWith(QChar(0x2026)));
        QVERIFY(narrow.folderText.size() > 1 && folder.endsWith(narrow.folderText.mid(1)));
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
        h.select({40});
        const int scroll = h.list->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        h.state.deleteFile(h.model.nodeAt(59)); // somewhere else
        QTest::qWait(1);                        // the delayed layout of the new rows
        QCOMPARE(h.selected(), QStringList{"f40.txt"});
        QCOMPARE(h.list->verticalScrollBar()->value(), scroll);
        // Ten rows above go: the selected row moves up out of the old view, which follows it.
        std::vector<NodeRef> above(h.result->topFiles().begin(), h.result->topFiles().begin() + 10);
        h.state.deleteFiles(above);
        QTRY_VERIFY(!h.state.isDeleting());
        QTest::qWait(1);
        QCOMPARE(h.selected(), QStringList{"f40.txt"});
        QVERIFY(h.list->verticalScrollBar()->value() > 0);
        QVERIFY(
            h.list->viewport()->rect().contains(h.list->visualRect(h.selection.currentIndex())));
    }
};

QTEST_MAIN(FileOperationListTest)
#include "tst_fileoperationlist.moc"
