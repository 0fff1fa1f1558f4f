// The Duplicates view in the main window: the search from its panel, with Stop; marks by hand
// and with the helpers; a move that would take every copy of a group takes none of it; the
// rows following edits without a reset; long lists coming in pages; off for an opened scan.
// With PLENVO_SCREENSHOT_DIR set, the view is also saved as pictures, light and dark, small and
// large.

#include "TestSupport.h"
#include "TreeLayout.h"
#include "ViewTestSupport.h"

#include "analysis/DuplicateActions.h"
#include "analysis/DuplicateGroupsModel.h"
#include "analysis/DuplicateRowDelegate.h"
#include "analysis/DuplicateSearchPanel.h"
#include "analysis/DuplicatesBar.h"
#include "analysis/DuplicatesTreeView.h"
#include "analysis/DuplicatesView.h"
#include "analysis/FileInspectorView.h"
#include "theme/ProminentButton.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QPushButton>
#include <QScrollBar>

using namespace plenvo;
using namespace plenvo::test;
using Mode = DuplicateSearchPanel::Mode;

namespace {

// Photos in three folders, a song twice, a clip twice, a near twin, a small file twice.
constexpr char kTree[] = "a/photo.jpg=8000:1 b/photo.jpg=8000:1 c/photo_copy.jpg=8000:1 "
                         "a/song.mp3=20000:2 d/song.mp3=20000:2 e/clip.mov=30000:3 "
                         "f/clip.mov=30000:3 e/twin.jpg=8000:1$ small/x=500:4 small/y=500:4";

bool settleEdits(AppState& state)
{
    return QTest::qWaitFor([&] { return !state.isDeleting(); }, 20000);
}

// The model's rows as text, "group: file file | group: ...", each file named by its path
// below `root`; a group row by its first file.
QString rowsOf(const DuplicateGroupsModel& model, const QString& root)
{
    QStringList groups;
    for (int g = 0; g < model.rowCount(); ++g) {
        const QModelIndex group = model.index(g, 0);
        QStringList files;
        for (int f = 0; f < model.rowCount(group); ++f)
            files << model.fileAt(model.index(f, 0, group))->path().mid(root.size() + 1);
        groups << group.data().toString() + QStringLiteral(": ") + files.join(' ');
    }
    return groups.join(QStringLiteral(" | "));
}

// The same for the state's groups, as far as the model has rows for them.
QString groupsOf(const AppState& state, const DuplicateGroupsModel& model, const QString& root)
{
    QStringList groups;
    for (int g = 0; g < model.rowCount(); ++g) {
        const auto& files = state.duplicateGroups()[std::size_t(g)].files;
        QStringList names;
        for (int f = 0; f < model.rowCount(model.index(g, 0)); ++f)
            names << files[std::size_t(f)]->path().mid(root.size() + 1);
        groups << files.front()->name() + QStringLiteral(": ") + names.join(' ');
    }
    return groups.join(QStringLiteral(" | "));
}

// The main window over a scanned scratch folder, showing the Duplicates view.
struct Window : WindowFixture {
    Window()
    {
        window.resize(900, 600);
        window.show();
        ok = lay(dir, kTree) && QTest::qWaitForWindowExposed(&window);
        state.scanDirectory(dir.str());
        ok = ok && QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) &&
             state.scanResult();
        state.setNavigationSelection(SidebarItem::duplicates);
        view = qobject_cast<DuplicatesView*>(content().detailWidget());
        ok = ok && view;
    }
    bool search()
    {
        QTest::mouseClick(view->panel()->searchButton(), Qt::LeftButton);
        return QTest::qWaitFor([&] { return !state.isDuplicateScanning(); }, 20000) &&
               view->showsGroups();
    }
    DuplicateGroupsModel& model() { return *view->model(); }
    DuplicatesTreeView& list() { return *view->list(); }
    QString root() const { return QString::fromLocal8Bit(dir.path()); }
    // The row of the file at `relative`.
    QModelIndex row(const QByteArray& relative)
    {
        for (const NodeRef& file : state.scanResult()->allFiles())
            if (file->pathBytes() == dir.file(relative).toStdString())
                return model().indexOf(file.get());
        return {};
    }
    void clickBox(const QModelIndex& index)
    {
        list().scrollTo(index);
        const QRect box = list().rowDelegate()->checkRect(list().visualRect(index), &list());
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, box.center());
    }

    ScratchDir dir;
    DuplicatesView* view = nullptr;
    bool ok = false;
};

// A view over groups made in memory: a group of `big` files, then `pairs` groups of two,
// sizes falling so that the order is the state's.
struct Paged : ViewFixture {
    Paged(int big, int pairs) : ViewFixture("/home/user", entries(big, pairs))
    {
        const auto& files = state.scanResult()->allFiles();
        std::vector<DuplicateFinder::DuplicateGroup> groups(1);
        groups[0].fileSize = 1 << 20;
        for (const NodeRef& file : files)
            if (file->nameBytes().starts_with("big"))
                groups[0].files.push_back(file);
        for (int p = 0; p < pairs; ++p) {
            DuplicateFinder::DuplicateGroup pair;
            pair.fileSize = 4096 - p;
            for (const char* side : {"a/", "b/"})
                for (const NodeRef& file : files)
                    if (file->path() == QStringLiteral("/home/user/%1p%2").arg(side).arg(p))
                        pair.files.push_back(file);
            groups.push_back(std::move(pair));
        }
        state.setDuplicateGroups(std::move(groups));
        view = create<DuplicatesView>(SidebarItem::duplicates);
        view->resize(900, 600);
        view->show();
    }
    static std::vector<Entry> entries(int big, int pairs)
    {
        std::vector<Entry> entries;
        for (int i = 0; i < big; ++i)
            entries.push_back({"big/big" + std::to_string(i), 1 << 20});
        for (int p = 0; p < pairs; ++p)
            for (const char* side : {"a/", "b/"})
                entries.push_back({side + std::string("p") + std::to_string(p), 4096 - p});
        return entries;
    }
    std::unique_ptr<DuplicatesView> view;
};

} // namespace

class DuplicatesViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDir> m_cache;

private Q_SLOTS:
    void initTestCase()
    {
        setUpViewTests();
        m_cache = std::make_unique<ScratchDir>();
        qputenv("XDG_CACHE_HOME", m_cache->path()); // the hash cache of these tests only
    }

    // The panel starts the search and stops it; the groups come with the most wasted space
    // first, small groups open, the total in the header. A file row shows in the inspector.
    void theSearchRunsFromThePanel()
    {
        Window w;
        QVERIFY(w.ok);
        QCOMPARE(w.view->panel()->mode(), Mode::invite);
        QCOMPARE(w.view->header()->subtitle(), L("duplicates.subtitle"));
        QTest::mouseClick(w.view->panel()->searchButton(), Qt::LeftButton);
        QCOMPARE(w.view->panel()->mode(), Mode::searching);
        QVERIFY(w.view->panel()->stopButton()->isVisible());
        QTest::mouseClick(w.view->panel()->stopButton(), Qt::LeftButton);
        QCOMPARE(w.view->panel()->mode(), Mode::invite);
        QVERIFY(!w.state.isDuplicateScanning());

        QVERIFY(w.search());
        QCOMPARE(rowsOf(w.model(), w.root()), groupsOf(w.state, w.model(), w.root()));
        QCOMPARE(w.model().rowCount(), 3);
        QCOMPARE(w.model().index(0, 0).data().toString(), QStringLiteral("clip.mov"));
        QCOMPARE(w.view->header()->subtitle(),
                 L("duplicates.summary %@ %@", QStringLiteral("3"),
                   FormatUtils::formatBytes(30000 + 20000 + 2 * 8000)));
        for (int g = 0; g < 3; ++g)
            QVERIFY(w.list().isExpanded(w.model().index(g, 0)));

        const QModelIndex song = w.row("d/song.mp3");
        QTest::mouseClick(w.list().viewport(), Qt::LeftButton, {},
                          w.list().visualRect(song).center());
        QCOMPARE(w.state.selectedNode(), w.model().fileAt(song));
        QVERIFY(w.content().isInspectorShown());
        auto* inspector = w.content().inspectorColumn()->findChild<FileInspectorView*>();
        QVERIFY(inspector && inspector->node() == w.model().fileAt(song));
    }

    // Marked by the boxes and Space, every copy of the photos and one song: the move takes the
    // song and none of the photos, and the toast says why. The bar warned before.
    void oneCopyOfEveryGroupStays()
    {
        Window w;
        QVERIFY(w.ok && w.search());
        const QModelIndex photo = w.row("a/photo.jpg");
        const QModelIndex photos = w.model().groupOf(photo);
        w.clickBox(photos); // every copy but the first
        QCOMPARE(w.model().markedCount(), 2);
        QCOMPARE(photos.data(Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));
        QCOMPARE(w.model().wholeGroupsMarked(), 0);
        const QModelIndex first = w.model().index(0, 0, photos);
        w.clickBox(first);
        QCOMPARE(photos.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(w.model().wholeGroupsMarked(), 1);
        QVERIFY(w.view->bar()->summaryLabel()->fullText().contains(
            L("duplicates.wholeGroups %lld", 1)));
        const QModelIndex song = w.row("d/song.mp3");
        w.list().setCurrentIndex(song);
        QTest::keyClick(&w.list(), Qt::Key_Space);
        QCOMPARE(w.model().markedCount(), 4);
        QCOMPARE(w.view->bar()->trashButton()->text(), L("cleanup.moveToTrashCount %lld", 4));

        const qint64 songSize = w.model().fileAt(song)->fileSize();
        QTest::keyClick(&w.list(), Qt::Key_Delete);
        QTRY_VERIFY(!w.state.duplicateSearch().isChecking() && !w.state.isDeleting());
        QCOMPARE(w.trash->requests(), std::vector<std::string>{w.dir.file("d/song.mp3").toStdString()});
        QCOMPARE(w.state.toastMessage(),
                 L("delete.done.single %@", FormatUtils::formatBytesCompact(songSize)) +
                     QStringLiteral(" \u00b7 ") + L("duplicates.keptWhole %lld", 1));
        // The songs' group went with its copy; the photos stay, all marked.
        QCOMPARE(w.model().rowCount(), 2);
        QCOMPARE(w.model().markedCount(), 3);
        QCOMPARE(rowsOf(w.model(), w.root()), groupsOf(w.state, w.model(), w.root()));
    }

    // The helpers mark all copies but one of each group; the folder helper is about the
    // current file's folder.
    void helpersMarkAllButOneCopy()
    {
        constexpr std::int64_t day = 24LL * 3600 * 1000;
        ViewFixture f("/home/user", {{"Photos/a.jpg", 9000, 3 * day},
                                     {"Backup/a.jpg", 9000, 5 * day},
                                     {"Old/a.jpg", 9000, 1 * day},
                                     {"Photos/b.jpg", 7000, 2 * day},
                                     {"Backup/b.jpg", 7000, 4 * day}});
        const auto group = [&](std::int64_t length, std::initializer_list<const char*> paths) {
            DuplicateFinder::DuplicateGroup g;
            g.fileSize = length;
            for (const char* path : paths)
                g.files.push_back(f.node(path));
            return g;
        };
        f.state.setDuplicateGroups({group(9000, {"Photos/a.jpg", "Backup/a.jpg", "Old/a.jpg"}),
                                    group(7000, {"Photos/b.jpg", "Backup/b.jpg"})});
        const auto view = f.create<DuplicatesView>(SidebarItem::duplicates);
        DuplicateActions& actions = *view->actions();
        const auto marked = [&] { return namesOf(view->model()->markedFiles()); };
        const auto paths = [&] {
            QStringList list;
            for (const NodeRef& file : view->model()->markedFiles())
                list << file->path().mid(11);
            return list;
        };
        actions.keepNewest()->trigger();
        QCOMPARE(paths(), QStringList({"Photos/a.jpg", "Old/a.jpg", "Photos/b.jpg"}));
        actions.keepOldest()->trigger();
        QCOMPARE(paths(), QStringList({"Photos/a.jpg", "Backup/a.jpg", "Backup/b.jpg"}));
        QVERIFY(!actions.keepInFolder()->isEnabled()); // no current file
        view->list()->setCurrentIndex(view->model()->indexOf(f.node("Backup/a.jpg").get()));
        QCOMPARE(actions.keepInFolder()->text(), L("duplicates.keepInFolder %@", "Backup"));
        actions.keepInFolder()->trigger();
        QCOMPARE(paths(), QStringList({"Photos/a.jpg", "Old/a.jpg", "Photos/b.jpg"}));
        QCOMPARE(view->bar()->summaryLabel()->fullText(),
                 L("duplicates.markedCount %lld %@", 3,
                   FormatUtils::formatBytes(9000 + 9000 + 7000)));
        actions.unmarkAll()->trigger();
        QVERIFY(marked().isEmpty());
        QCOMPARE(view->bar()->summaryLabel()->fullText(), L("duplicates.markHint"));
        QVERIFY(!view->bar()->trashButton()->isEnabled());
    }

    // Moves and undos change rows, never the whole model; rows, marks and the state's groups
    // stay in step, checked by Qt's model tester all along.
    void rowsFollowEdits()
    {
        Window w;
        QVERIFY(w.ok && w.search());
        QAbstractItemModelTester tester(&w.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&w.model(), &QAbstractItemModel::modelReset);
        QSignalSpy removed(&w.model(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&w.model(), &QAbstractItemModel::rowsInserted);
        w.model().setMarked({w.model().fileAt(w.row("b/photo.jpg"))}, true);

        const auto move = [&](const QByteArray& path) {
            return w.state.editor().moveToTrash({w.model().fileAt(w.row(path))}) &&
                   settleEdits(w.state);
        };
        const auto undo = [&] { return w.state.editor().undo() && settleEdits(w.state); };
        const QString before = rowsOf(w.model(), w.root());
        QVERIFY(move("b/photo.jpg")); // a file row goes
        QCOMPARE(removed.size(), 1);
        QVERIFY(removed.back()[0].value<QModelIndex>().isValid());
        QCOMPARE(w.model().markedCount(), 0); // its mark went with it
        QVERIFY(undo());
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(rowsOf(w.model(), w.root()), before);
        QVERIFY(move("d/song.mp3")); // its group goes
        QCOMPARE(removed.size(), 2);
        QVERIFY(!removed.back()[0].value<QModelIndex>().isValid());
        QCOMPARE(w.model().rowCount(), 2);
        QVERIFY(undo());
        QCOMPARE(rowsOf(w.model(), w.root()), before);

        // A new search empties the list, then fills it with what it found.
        QVERIFY(w.state.duplicateSearch().start());
        QCOMPARE(w.model().rowCount(), 0);
        QTRY_VERIFY(!w.state.isDuplicateScanning());
        QCOMPARE(rowsOf(w.model(), w.root()), before);
        QCOMPARE(resets.size(), 0);
    }

    // A long list: groups and the files of a large group come a page at a time, as they are
    // scrolled to; the rows stay the state's first groups in order.
    void longListsComeInPages()
    {
        Paged p(7 * DuplicateGroupsModel::kFilePage / 2, 2 * DuplicateGroupsModel::kGroupPage);
        DuplicateGroupsModel& model = *p.view->model();
        DuplicatesTreeView& list = *p.view->list();
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTest::qWait(50); // whatever the view does when idle, it asks for no more
        QCOMPARE(model.rowCount(), DuplicateGroupsModel::kGroupPage);
        const QModelIndex big = model.index(0, 0);
        QCOMPARE(model.rowCount(big), DuplicateGroupsModel::kFilePage);
        QVERIFY(!list.isExpanded(big)); // too large to open by itself
        QVERIFY(list.isExpanded(model.index(1, 0)));

        // A copy without a row yet leaves: the group's row says so.
        const int copies = big.data(DuplicateGroupsModel::CopiesRole).toInt();
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QVERIFY(p.state.editor().moveToTrash({p.node("big/big300")}) &&
                QTest::qWaitFor([&] { return !p.state.isDeleting(); }, 20000));
        QCOMPARE(big.data(DuplicateGroupsModel::CopiesRole).toInt(), copies - 1);
        QVERIFY(std::any_of(changed.begin(), changed.end(), [&](const QList<QVariant>& args) {
            return args[0].value<QModelIndex>() == big;
        }));
        QCOMPARE(model.rowCount(big), DuplicateGroupsModel::kFilePage);

        list.expand(big);
        for (int shown = DuplicateGroupsModel::kFilePage; shown < 3 * DuplicateGroupsModel::kFilePage;
             shown += DuplicateGroupsModel::kFilePage) {
            QTest::qWait(20);
            QCOMPARE(model.rowCount(big), shown);
            list.scrollTo(model.index(shown - 1, 0, big));
            QTRY_COMPARE(model.rowCount(big), shown + DuplicateGroupsModel::kFilePage);
        }
        list.scrollTo(model.index(3 * DuplicateGroupsModel::kFilePage - 1, 0, big));
        QTRY_COMPARE(model.rowCount(big), 7 * DuplicateGroupsModel::kFilePage / 2 - 1);
        QVERIFY(!model.hasMore(big));
        for (int page = 1; page <= 2; ++page) {
            QCOMPARE(model.rowCount(), page * DuplicateGroupsModel::kGroupPage);
            list.scrollToBottom();
            QTRY_VERIFY(model.rowCount() > page * DuplicateGroupsModel::kGroupPage);
        }
        QCOMPARE(model.rowCount(), 2 * DuplicateGroupsModel::kGroupPage + 1);
        QVERIFY(!model.hasMore({}));
        QCOMPARE(rowsOf(model, QStringLiteral("/home/user")),
                 groupsOf(p.state, model, QStringLiteral("/home/user")));
    }

    // For a scan opened from a file the view is off, with the note the Trash has.
    void anOpenedScanShowsTheViewOff()
    {
        ViewFixture f("/home/user", {{"a.bin", 5000}, {"b.bin", 5000}});
        auto opened = makeResult("/home/user", {{"a.bin", 5000}, {"b.bin", 5000}});
        opened->setOpenedFrom("/backup/home.json");
        f.state.showResult(opened);
        const auto view = f.create<DuplicatesView>(SidebarItem::duplicates);
        DuplicateSearchPanel& panel = *view->panel();
        QCOMPARE(panel.mode(), Mode::readOnly);
        QVERIFY(!panel.searchButton()->isEnabled());
        auto* note = panel.findChild<StyledLabel*>("duplicates.panelNote");
        QCOMPARE(note->fullText(), L("readOnly.note"));
        QCOMPARE(note->toolTip(), L("readOnly.detail"));
        QTest::mouseClick(panel.searchButton(), Qt::LeftButton);
        QVERIFY(!f.state.isDuplicateScanning());
    }

    // Pictures for the eye, light and dark, at the smallest window and a large one.
    void looks()
    {
        const QString dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("PLENVO_SCREENSHOT_DIR is not set");
        QDir().mkpath(dir);
        const QPalette light = QApplication::palette();
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? darkPalette() : light);
            Window w;
            QVERIFY(w.ok);
            for (const QSize size : {QSize(900, 600), QSize(1400, 900)}) {
                w.window.resize(size);
                const QString name = QStringLiteral("%1/dups-%2-%3x%4")
                                         .arg(dir, dark ? "dark" : "light")
                                         .arg(size.width())
                                         .arg(size.height());
                QTest::qWait(50);
                w.window.grab().save(name + "-invite.png");
            }
            w.view->panel()->setMode(Mode::searching,
                                     DuplicateFinder::Progress::hashing(1234, 5678));
            QTest::qWait(50);
            w.window.grab().save(QStringLiteral("%1/dups-%2-searching.png")
                                     .arg(dir, dark ? "dark" : "light"));
            QVERIFY(w.search());
            w.list().setCurrentIndex(w.row("d/song.mp3"));
            w.clickBox(w.model().groupOf(w.row("a/photo.jpg")));
            w.clickBox(w.row("a/photo.jpg"));
            for (const QSize size : {QSize(900, 600), QSize(1400, 900)}) {
                w.window.resize(size);
                QTest::qWait(300);
                w.window.grab().save(QStringLiteral("%1/dups-%2-%3x%4.png")
                                         .arg(dir, dark ? "dark" : "light")
                                         .arg(size.width())
                                         .arg(size.height()));
            }
        }
        QApplication::setPalette(light);
    }
};

QTEST_MAIN(DuplicatesViewTest)
#include "tst_duplicatesview.moc"
