// The Large Files view, its file list and the list's action bar over an in-memory result:
// what they show, selection rules, gestures, the context menu, moves to the Trash (through a
// fake Trash), the selection after each change of the content, the model's row signals, the
// row layout.

#include "ViewTestSupport.h"

#include "analysis/FileActions.h"
#include "analysis/FileOperationList.h"
#include "analysis/FileRowDelegate.h"
#include "analysis/LargeFilesView.h"
#include "theme/Contrast.h"
#include "theme/Palettes.h"
#include "theme/ProminentButton.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// Rows 0-4, largest first; the tests name them by their first letters.
const std::vector<Entry> kFiles = {
    {"docs/a.pdf", 500, kScanDate}, {"b.mov", 400, std::nullopt}, {"src/c.cpp", 300, std::nullopt},
    {"d.zip", 200, std::nullopt},   {"e.txt", 100, std::nullopt},
};

struct Harness : ViewFixture {
    explicit Harness(const std::vector<Entry>& entries = kFiles)
        : ViewFixture("/scan/Projects", entries),
          view(create<LargeFilesView>(SidebarItem::largeFiles)), list(view->list()),
          bar(view->bar()), model(*view->model()), selection(*view->selection()),
          actions(*view->actions())
    {
        view->resize(600, 300);
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        list->setFocus();
    }
    QString selected() const
    {
        QString letters;
        for (const QString& name : namesOf(selection.selectedFiles()))
            letters += name.front();
        return letters;
    }
    // A right click on a row, as the window system delivers it: its menu opens, `inMenu` runs
    // while it is open, then it closes.
    void rightClick(int row, const std::function<void()>& inMenu = {})
    {
        const QPoint position = list->visualRect(model.index(row)).center();
        QTimer::singleShot(0, [&] {
            if (QWidget* menu = QApplication::activePopupWidget()) {
                if (inMenu)
                    inMenu();
                menu->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, position,
                                list->viewport()->mapToGlobal(position));
        QApplication::sendEvent(list->viewport(), &event);
    }
    QString trashed() const
    {
        QString letters;
        for (const std::string& path : trash->requests())
            letters += QLatin1Char(path[path.rfind('/') + 1]);
        return letters;
    }

    std::unique_ptr<LargeFilesView> view;
    FileOperationList* list;
    FileOperationBar* bar;
    FileListModel& model;
    FileSelectionModel& selection;
    FileActions& actions;
};

} // namespace

class FileOperationListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void gestures_data()
    {
        // On row N: "cN" click, "^N" Ctrl+click, "+N" Shift+click, "rN" right click (its menu
        // opens and closes), "mN" Move to Trash in the menu of a right click, "sN" a move from
        // elsewhere (the inspector, the treemap). The bar's buttons: "S" select all, "D" deselect
        // all, "B" Move to Trash. "H" holds the Trash until "R". Longer gestures are keys.
        QTest::addColumn<QString>("gestures");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("shown"); // the current row if selected, else the first
        QTest::addColumn<QString>("trashed");
        row("as shown first", "", "a", "a", "");
        row("click", "c2", "c", "c", "");
        row("shift-click", "c1 +3", "bcd", "d", "");
        row("ctrl-click adds", "c1 ^3", "bd", "d", "");
        row("ctrl-click removes the current", "c1 ^3 ^3", "b", "b", "");
        row("shift-arrows", "c0 Shift+Down Shift+Down", "abc", "c", "");
        row("ctrl-A", "c2 Ctrl+A", "abcde", "c", "");
        row("right click selects its row", "c1 r3", "d", "d", "");
        row("right click in the selection keeps it", "c1 +3 r2", "bcd", "c", "");
        row("select all", "c3 S", "abcde", "d", "");
        row("deselect all", "c3 D", "", "-", "");
        // After a move the first row that stays is selected, when the file shown went.
        row("menu, another row", "c1 m3", "a", "a", "d");
        row("menu, the selected row", "c1 m1", "a", "a", "b");
        row("menu, in a selection", "c0 ^2 m0", "b", "b", "ac");
        row("menu, none selected", "c1 D m0", "b", "b", "a");
        row("bar, one file", "c2 B", "a", "a", "c");
        row("bar, two files", "c1 +2 B", "a", "a", "bc");
        row("Delete key", "c0 ^4 Del", "b", "b", "ae");
        row("every file", "Ctrl+A Del", "", "-", "abcde");
        row("elsewhere, the file shown", "c1 +2 s2", "a", "a", "c");
        row("elsewhere, another file", "c0 +2 s4", "abc", "c", "e");
        // While a move runs every way to start another is off.
        row("during a move", "H c0 +1 B c2 Del B m3 R", "d", "d", "ab");
    }
    void gestures()
    {
        QFETCH(QString, gestures);
        QFETCH(QString, selected);
        QFETCH(QString, shown);
        QFETCH(QString, trashed);
        Harness h;
        for (const QString& gesture : gestures.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QChar kind = gesture.front();
            const int row = gesture.mid(1).toInt();
            if (gesture.size() > 2) {
                QTest::keySequence(h.list, QKeySequence(gesture));
            } else if (kind == u'S' || kind == u'D' || kind == u'B') {
                (kind == u'S'   ? h.bar->selectAllButton()
                 : kind == u'D' ? h.bar->deselectAllButton()
                                : static_cast<QAbstractButton*>(h.bar->trashButton()))
                    ->click();
            } else if (kind == u'H') {
                h.trash->hold();
            } else if (kind == u'R') {
                h.trash->release(5);
            } else if (kind == u'r' || kind == u'm') {
                h.rightClick(row, [&] {
                    if (kind == u'm')
                        h.actions.moveToTrash()->trigger();
                });
            } else if (kind == u's') {
                h.state.editor().moveToTrash({h.model.nodeAt(row)});
            } else {
                QTest::mouseClick(h.list->viewport(), Qt::LeftButton,
                                  kind == u'^'   ? Qt::ControlModifier
                                  : kind == u'+' ? Qt::ShiftModifier
                                                 : Qt::NoModifier,
                                  h.list->visualRect(h.model.index(row)).center());
            }
            if (h.state.isDeleting()) // while a move runs, nothing starts another
                QVERIFY(!h.bar->trashButton()->isEnabled() &&
                        !h.actions.moveToTrash()->isEnabled());
        }
        QTRY_VERIFY(!h.state.isDeleting());
        QCOMPARE(h.selected(), selected);
        QCOMPARE(h.shown().left(1), shown);
        QCOMPARE(h.trashed(), trashed);
        const qint64 left = 5 - trashed.size(), count = selected.size();
        QCOMPARE(h.model.rowCount(), left);
        QCOMPARE(h.state.inspectorCandidateNodes().size(), std::size_t(left));
        QCOMPARE(h.view->header()->subtitle(), L("largeFiles.count %lld", left));
        // The bar: what is selected and what it adds up to (a is 500 bytes, b 400, ... e 100).
        qint64 bytes = 0;
        for (QChar letter : selected)
            bytes += 500 - 100 * (letter.unicode() - u'a');
        QCOMPARE(h.bar->summaryLabel()->fullText(),
                 count ? L("cleanup.selectedCount %lld %@", count, FormatUtils::formatBytes(bytes))
                       : QStringLiteral("Select files to clean up"));
        QCOMPARE(h.bar->trashButton()->text(),
                 count ? L("cleanup.moveToTrashCount %lld", count) : L("cleanup.moveToTrash"));
        QCOMPARE(h.bar->trashButton()->isEnabled(), count > 0);
        QCOMPARE(h.bar->revealButton()->isEnabled(), count > 0);
        QCOMPARE(h.bar->deselectAllButton()->isHidden(), count == 0);
        QCOMPARE(h.bar->selectAllButton()->isEnabled(), left > 0);
        // The header at the top, the bar at the bottom, the list between them takes the rest.
        QCOMPARE(h.view->header()->geometry().top(), 0);
        QCOMPARE(h.bar->geometry().bottom(), 299);
    }

    // The menu keys open the menu of the current row. Its actions, and the bar's, act on the
    // selection with the exact bytes of the locations.
    void menuKeysAndExactPaths()
    {
        for (const QKeyCombination key : {QKeyCombination(Qt::Key_Menu), Qt::SHIFT | Qt::Key_F10}) {
            Harness h({{"big.iso", 90}, {"caf\xe9.txt", 50}});
            QTest::keyClick(h.list, Qt::Key_Down); // row 1 current and selected
            QStringList items;
            QTimer::singleShot(0, [&] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu);
                for (QAction* action : menu->actions())
                    items << action->text();
                QVERIFY(h.actions.copyPath()->isEnabled());
                h.actions.copyPath()->trigger();
                h.actions.reveal()->trigger();
                menu->close();
            });
            QTest::keyClick(h.list, key.key(), key.keyboardModifiers());
            QCOMPARE(items, (QStringList{L("action.showInFinder"), L("action.copyPath"), QString(),
                                         L("action.moveToTrash")}));
            const std::string odd = "/scan/Projects/caf\xe9.txt";
            QCOMPARE(h.clipboard.copied, std::vector<std::string>{odd});
            QCOMPARE(h.fileManager.revealed, std::vector<std::vector<std::string>>{{odd}});
            h.bar->selectAllButton()->click();
            h.bar->revealButton()->click();
            QCOMPARE(h.fileManager.revealed.back(),
                     (std::vector<std::string>{"/scan/Projects/big.iso", odd}));
            h.bar->deselectAllButton()->click();
            QVERIFY(!h.actions.copyPath()->isEnabled()); // nothing selected, nothing to copy
        }
    }

    // In the menu, Move to Trash reads as destructive: its text, not only its icon, is red.
    void theMenuDrawsTheTrashInRed()
    {
        Harness h;
        const std::unique_ptr<QMenu> menu = h.list->createContextMenu();
        menu->adjustSize();
        const QImage picture = menu->grab().toImage();
        const auto reddish = [&](QAction* action) {
            // The text's side of the item, past its icon.
            const QRect item = menu->actionGeometry(action);
            int count = 0;
            for (int y = item.top(); y <= item.bottom(); ++y)
                for (int x = item.left() + item.width() / 3; x <= item.right(); ++x) {
                    const QColor c = picture.pixelColor(x, y);
                    count += c.hsvSaturation() > 120 && (c.hsvHue() < 20 || c.hsvHue() > 340);
                }
            return count;
        };
        QVERIFY(reddish(h.actions.moveToTrash()) > 10);
        QCOMPARE(reddish(h.actions.reveal()), 0);
        QCOMPARE(reddish(h.actions.copyPath()), 0);
    }

    void rowLayout()
    {
        Harness h;
        FileRowDelegate& delegate = *h.list->rowDelegate();
        const struct {
            bool options; // showCategory and showModifiedDate
            int row;
            QString badge, date;
        } cases[] = {
            {false, 0, "", ""}, {true, 0, "Documents", "2026-03-14"}, {true, 1, "Videos", ""}};
        for (const auto& [options, row, badge, date] : cases) {
            delegate.setShowCategory(options);
            delegate.setShowModifiedDate(options);
            const QRect rect(0, 0, 700, delegate.rowHeight());
            const FileRowDelegate::Layout wide = delegate.layout(rect, h.model.index(row));
            QCOMPARE(wide.badgeText, badge);
            QCOMPARE(wide.dateText, date);
            QVERIFY(wide.name.right() < (date.isEmpty() ? wide.size : wide.date).left());
            QVERIFY(date.isEmpty() || wide.date.right() < wide.size.left());
            // Narrow, the folder loses its start and keeps its end.
            const QRect narrow(0, 0, delegate.minimumRowWidth(), rect.height());
            const QString folder = delegate.layout(narrow, h.model.index(row)).folderText;
            QVERIFY(folder.startsWith(QChar(0x2026)) && folder.size() > 1);
            QVERIFY(FileListModel::containingFolder(*h.model.nodeAt(row)).endsWith(folder.mid(1)));
        }
        // Narrowing, a row gives up its date first, then its badge; its parts never overlap,
        // stay inside the row and keep the name's room down to the narrowest row.
        delegate.setShowCategory(true);
        delegate.setShowModifiedDate(true);
        int dateGone = 0, badgeGone = 0;
        for (int width = 700; width >= 40; width -= 2) {
            const QRect rect(0, 0, width, delegate.rowHeight());
            const FileRowDelegate::Layout l = delegate.layout(rect, h.model.index(0));
            const QRect parts[] = {l.icon, l.name, l.badge, l.folder, l.date, l.size};
            for (const QRect& part : parts) {
                QVERIFY(part.isEmpty() || rect.contains(part));
                for (const QRect& other : parts)
                    QVERIFY(&part == &other || !part.intersects(other));
            }
            if (l.date.isEmpty() && !dateGone)
                dateGone = width;
            if (l.badge.isEmpty() && !badgeGone)
                badgeGone = width;
            if (width >= delegate.minimumRowWidth())
                QVERIFY2(l.name.width() > 0 && l.size.width() > 0,
                         qPrintable(QString::number(width)));
        }
        QVERIFY(dateGone > badgeGone && badgeGone > delegate.minimumRowWidth());
    }

    // The texts of a row read at 4.5 : 1 or more in both schemes, measured on the painted
    // row: in each part, the pixel that stands out most against the part's background.
    void rowTextReadsInBothSchemes_data() { schemeRows(); }
    void rowTextReadsInBothSchemes()
    {
        QFETCH(bool, dark);
        Harness h({{"Downloads/photos-backup.zip", 1'640'000'000, kScanDate}});
        FileRowDelegate& delegate = *h.list->rowDelegate();
        delegate.setShowCategory(true);
        delegate.setShowModifiedDate(true);
        const QPalette palette = dark ? darkPalette() : Palettes::light();
        const QModelIndex index = h.model.index(0);
        const QRect rect(0, 0, 640, delegate.rowHeight());
        QImage image(rect.size(), QImage::Format_RGB32);
        image.fill(palette.color(QPalette::Base));
        {
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.rect = rect;
            option.palette = palette;
            option.state = QStyle::State_Enabled | QStyle::State_Active;
            option.widget = h.list;
            delegate.paint(&painter, option, index);
        }
        const FileRowDelegate::Layout l = delegate.layout(rect, index);
        QVERIFY(!l.badge.isEmpty() && !l.date.isEmpty());
        for (const auto& [name, part] :
             {std::pair("name", l.name), std::pair("badge", l.badge), std::pair("folder", l.folder),
              std::pair("date", l.date), std::pair("size", l.size)}) {
            const QColor background = backgroundOf(image, part);
            const double ink = strongestContrast(image, part, background);
            QVERIFY2(ink >= Contrast::kText, qPrintable(QStringLiteral("%1: %2 on %3")
                                                            .arg(QLatin1String(name))
                                                            .arg(ink)
                                                            .arg(background.name())));
        }
    }

    // The whole path shows as a tooltip only where the row shows less of it.
    void tooltipsOnlyWhereTextIsElided()
    {
        Harness h({{"short.txt", 100}, {"x/" + std::string(120, 'n') + ".txt", 50}});
        h.view->resize(700, 300);
        for (int row : {0, 1}) {
            const QModelIndex index = h.model.index(row);
            const QRect rect = h.list->visualRect(index);
            QHelpEvent help(QEvent::ToolTip, rect.center(),
                            h.list->viewport()->mapToGlobal(rect.center()));
            QStyleOptionViewItem option;
            option.rect = rect;
            QToolTip::hideText();
            QVERIFY(h.list->rowDelegate()->helpEvent(&help, h.list, option, index));
            QCOMPARE(QToolTip::isVisible(), row == 1);
            if (row == 1)
                QCOMPARE(QToolTip::text(), index.data(Qt::ToolTipRole).toString());
        }
        QToolTip::hideText();
    }

    // The current row is framed while the keyboard is used, not after a click (where the frame
    // on a row that Deselect All left unselected looked half selected).
    void theFocusFrameShowsForTheKeyboard()
    {
        Harness h;
        FileRowDelegate& delegate = *h.list->rowDelegate();
        const auto painted = [&](bool focus) {
            QImage image(200, delegate.rowHeight(), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.rect = image.rect();
            option.palette = h.list->palette();
            option.state = QStyle::State_Enabled | QStyle::State_Active |
                           (focus ? QStyle::State_HasFocus : QStyle::State_None);
            option.widget = h.list;
            delegate.paint(&painter, option, h.model.index(2));
            return image;
        };
        QTest::mouseClick(h.list->viewport(), Qt::LeftButton, {},
                          h.list->visualRect(h.model.index(2)).center());
        QTest::mouseClick(h.bar->deselectAllButton(), Qt::LeftButton);
        QVERIFY(!h.selection.hasSelection());
        QCOMPARE(painted(true), painted(false));
        QTest::keyClick(h.list, Qt::Key_Down);
        QVERIFY(painted(true) != painted(false));
    }

    // However the list changes in place, the rows follow it with removals and insertions
    // that a view replaying them agrees with, never a reset.
    void theModelFollowsItsListWithoutResets()
    {
        Harness h;
        std::vector<NodeRef> files = h.state.scanResult()->allFiles();
        QRandomGenerator random(7);
        for (int i = 0; i < 40; ++i)
            files.push_back(FileNode::create("n" + std::to_string(i), "/x/n", false, 1, {}, {}));
        std::vector<NodeRef> list(files.begin(), files.begin() + 10);
        FileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setFiles(&list, 6);
        std::vector<const FileNode*> seen; // what a view replaying the signals holds
        for (int row = 0; row < model.rowCount(); ++row)
            seen.push_back(model.nodeAt(row).get());
        connect(&model, &QAbstractItemModel::rowsRemoved, this, [&](const QModelIndex&, int a, int b) {
            seen.erase(seen.begin() + a, seen.begin() + b + 1);
        });
        connect(&model, &QAbstractItemModel::rowsInserted, this, [&](const QModelIndex&, int a, int b) {
            for (int row = a; row <= b; ++row)
                seen.insert(seen.begin() + row, model.nodeAt(row).get());
        });
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        for (int step = 0; step < 200; ++step) {
            switch (random.bounded(4)) {
            case 0: // some leave
                for (int k = random.bounded(3); k > 0 && !list.empty(); --k)
                    list.erase(list.begin() + random.bounded(int(list.size())));
                break;
            case 1: // some come, anywhere (a list holds a file once)
                for (int k = random.bounded(1, 4); k > 0; --k) {
                    const NodeRef& file = files[random.bounded(int(files.size()))];
                    if (std::find(list.begin(), list.end(), file) == list.end())
                        list.insert(list.begin() + random.bounded(int(list.size()) + 1), file);
                }
                break;
            case 2: // reordered
                if (list.size() > 1)
                    std::swap(list[random.bounded(int(list.size()))],
                              list[random.bounded(int(list.size()))]);
                break;
            default:
                model.setLimit(random.bounded(12));
                continue;
            }
            model.sync();
            const std::size_t shown = std::min<std::size_t>(list.size(), std::size_t(model.limit()));
            QCOMPARE(std::size_t(model.rowCount()), shown);
            for (std::size_t row = 0; row < shown; ++row) {
                QCOMPARE(model.nodeAt(int(row)).get(), list[row].get());
                QCOMPARE(seen[row], list[row].get());
            }
            QCOMPARE(seen.size(), shown);
        }
        QCOMPARE(resets.count(), 0);
    }

    void aRebuildKeepsThePlace()
    {
        std::vector<Entry> many;
        for (int i = 0; i < 60; ++i)
            many.push_back({"f" + std::to_string(i) + ".txt", 1000 - i});
        Harness h(many);
        h.list->scrollTo(h.model.index(40), QAbstractItemView::PositionAtCenter);
        h.selection.selectOnly(40);
        const int scroll = h.list->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        QSignalSpy resets(&h.model, &QAbstractItemModel::modelReset);
        h.state.editor().moveToTrash({h.model.nodeAt(59)}); // somewhere else
        QTRY_VERIFY(!h.state.isDeleting());
        QTest::qWait(1); // the delayed layout of the rows
        QCOMPARE(namesOf(h.selection.selectedFiles()), QStringList{"f40.txt"});
        QCOMPARE(h.list->verticalScrollBar()->value(), scroll);
        // Ten rows above go: the selected row moves up out of the old view, which follows it.
        const std::vector<NodeRef>& top = h.state.scanResult()->topFiles();
        std::vector<NodeRef> above(top.begin(), top.begin() + 10);
        h.state.editor().moveToTrash(above);
        QTRY_VERIFY(!h.state.isDeleting());
        QTest::qWait(1);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(namesOf(h.selection.selectedFiles()), QStringList{"f40.txt"});
        QVERIFY(h.list->verticalScrollBar()->value() > 0);
        QVERIFY(
            h.list->viewport()->rect().contains(h.list->visualRect(h.selection.currentIndex())));
    }
};

QTEST_MAIN(FileOperationListTest)
#include "tst_fileoperationlist.moc"
