// The search for duplicates as the state runs it: what it publishes and when, what ends it, the
// choices of copies, and moves that keep one copy of every group, each checked again first.

#include "FakeTrash.h"
#include "StateFixture.h"
#include "TreeLayout.h"
#include "views/ResultBuilder.h"

#include "AppState.h"
#include "DuplicateChoice.h"
#include "utils/Localization.h"

#include <QCoreApplication>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;
using Progress = DuplicateFinder::Progress;
using Groups = std::vector<DuplicateFinder::DuplicateGroup>;

namespace {

// Photos in three folders, a song twice, a near twin of the photos, small and empty files.
constexpr char kTree[] = "a/photo.jpg=8000:1 b/photo.jpg=8000:1 c/photo_copy.jpg=8000:1 "
                         "a/song.mp3=20000:2 d/song.mp3=20000:2 "
                         "e/twin.jpg=8000:1$ small/x=500:3 small/y=500:3 empty/p=0:0 empty/q=0:0";

// Each group's paths relative to `root`, sorted, joined by spaces; groups in their order,
// joined by " | ".
QByteArray describe(const Groups& groups, const std::string& root)
{
    QByteArrayList described;
    for (const auto& group : groups) {
        QByteArrayList paths;
        for (const NodeRef& file : group.files)
            paths << QByteArray::fromStdString(file->pathBytes().substr(root.size() + 1));
        std::sort(paths.begin(), paths.end());
        described << paths.join(' ');
    }
    return described.join(" | ");
}

QString joined(const QStringList& parts)
{
    return parts.join(QStringLiteral(" \u00b7 "));
}

struct Searched {
    Searched() { ok = lay(dir, kTree) && scanAndWait(state, dir.path()); }
    bool search()
    {
        return state.duplicateSearch().start() &&
               QTest::qWaitFor([&] { return !state.isDuplicateScanning(); }, 20000);
    }
    // Moves the chosen files through the search and waits until the check and the move ended.
    bool move(const std::vector<QByteArray>& paths)
    {
        std::vector<NodeRef> chosen;
        for (const QByteArray& path : paths)
            chosen.push_back(node(path));
        return state.duplicateSearch().moveToTrash(chosen) &&
               QTest::qWaitFor([&] { return !state.duplicateSearch().isChecking(); }, 20000) &&
               settleEdits(state);
    }
    NodeRef node(const QByteArray& relative) const
    {
        for (const NodeRef& file : state.scanResult()->allFiles())
            if (file->pathBytes() == dir.file(relative).toStdString())
                return file;
        return {};
    }
    QByteArray groups() const { return describe(state.duplicateGroups(), dir.str()); }
    std::vector<std::string> requests() { return trash->requests(); }

    ScratchDir dir;
    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>();
    AppState state{trash};
    bool ok = false;
};

} // namespace

class DuplicateSearchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDir> m_cache;

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        m_cache = std::make_unique<ScratchDir>();
        qputenv("XDG_CACHE_HOME", m_cache->path()); // the hash cache of these tests only
    }

    // A search publishes its progress, in order, then the groups with the most wasted space
    // first: no tiny or empty files, no hard links, no near twins. While it runs another
    // cannot start.
    void aSearchPublishesItsGroups()
    {
        Searched s;
        QVERIFY(s.ok);
        std::vector<Progress> progress;
        std::vector<bool> searching;
        connect(&s.state, &AppState::duplicateSearchChanged, this, [&] {
            progress.push_back(s.state.duplicateProgress());
            searching.push_back(s.state.isDuplicateScanning());
        });
        QVERIFY(s.state.duplicateSearch().start());
        QVERIFY(!s.state.duplicateSearch().canSearch() && !s.state.duplicateSearch().start());
        QTRY_VERIFY_WITH_TIMEOUT(!s.state.isDuplicateScanning(), 20000);
        QCOMPARE(s.groups(), QByteArray("a/song.mp3 d/song.mp3 | "
                                        "a/photo.jpg b/photo.jpg c/photo_copy.jpg"));
        QCOMPARE(progress.front(), Progress::groupingBySize(0));
        QCOMPARE(progress.back(), Progress::completed(2, 20000 + 2 * 8000));
        QVERIFY(std::is_sorted(progress.begin(), progress.end(),
                               [](const Progress& a, const Progress& b) {
                                   return a.kind() < b.kind();
                               }));
        QCOMPARE(std::count(searching.begin(), searching.end(), false), 1);
        QVERIFY(!searching.back());
        QVERIFY(s.state.duplicateSearch().canSearch());
    }

    // Stop, a new scan or an open end the running search: it publishes nothing, even once its
    // thread has ended and what it posted has been handled.
    void whatEndsASearch_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"stop", "scan", "open"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void whatEndsASearch()
    {
        QFETCH(QString, how);
        Searched s;
        QVERIFY(s.ok);
        QVERIFY(s.search() && !s.state.duplicateGroups().empty());
        QVERIFY(s.state.duplicateSearch().start());
        QVERIFY(s.state.isDuplicateScanning() && s.state.duplicateGroups().empty());
        if (how == "stop")
            s.state.duplicateSearch().stop();
        else if (how == "scan")
            s.state.scanDirectory(s.dir.str());
        else
            s.state.openScan(s.dir.file("no such export.json").toStdString());
        QVERIFY(!s.state.isDuplicateScanning());
        QCOMPARE(s.state.duplicateProgress(), Progress::idle());
        QTRY_VERIFY_WITH_TIMEOUT(!s.state.isScanning(), 20000);
        QVERIFY(s.state.backgroundWork().waitUntilIdle(std::chrono::seconds(20)));
        QCoreApplication::sendPostedEvents();
        QVERIFY(!s.state.isDuplicateScanning());
        QCOMPARE(s.state.duplicateProgress(), Progress::idle());
        QVERIFY(s.state.duplicateGroups().empty());
        // The result stays searchable.
        QVERIFY(s.search());
        QCOMPARE(s.state.duplicateGroups().size(), 2u);
    }

    // A move keeps at least one copy of every group: a group whose every copy is chosen moves
    // none of them, and the toast says so. An undo puts the moved copy back into its group.
    void movesKeepOneCopyOfEveryGroup()
    {
        Searched s;
        QVERIFY(s.ok && s.search());
        const qint64 photoSize = s.node("a/photo.jpg")->fileSize();
        QVERIFY(s.move({"a/song.mp3", "d/song.mp3", "a/photo.jpg"}));
        QCOMPARE(s.requests(), std::vector<std::string>{s.dir.file("a/photo.jpg").toStdString()});
        QCOMPARE(s.groups(), QByteArray("a/song.mp3 d/song.mp3 | b/photo.jpg c/photo_copy.jpg"));
        QCOMPARE(s.state.toastMessage(),
                 joined({L("delete.done.single %@", compact(photoSize)),
                         L("duplicates.keptWhole %lld", 1)}));

        // Every copy left of both groups: nothing moves.
        QVERIFY(s.move({"b/photo.jpg", "c/photo_copy.jpg", "d/song.mp3", "a/song.mp3"}));
        QCOMPARE(s.requests().size(), 1u);
        QCOMPARE(s.state.toastMessage(),
                 joined({L("duplicates.nothingMoved"), L("duplicates.keptWhole %lld", 2)}));

        QVERIFY(s.state.editor().undo() && settleEdits(s.state));
        QCOMPARE(s.groups(), QByteArray("a/song.mp3 d/song.mp3 | "
                                        "a/photo.jpg b/photo.jpg c/photo_copy.jpg"));
    }

    // Before a move the groups of the chosen copies are looked at again: a copy whose content
    // changed since the search is no longer one and stays where it is, and with it its group's
    // last other copy; a copy whose dates alone changed is read again and still a copy.
    void aCopyThatChangedIsCheckedAgain()
    {
        Searched s;
        QVERIFY(s.ok && s.search());
        QVERIFY(writeBytes(s.dir.file("c/photo_copy.jpg"), content(8000, 9)));
        QVERIFY(s.move({"b/photo.jpg", "c/photo_copy.jpg"}));
        QCOMPARE(s.requests(), std::vector<std::string>{s.dir.file("b/photo.jpg").toStdString()});
        QCOMPARE(s.groups(), QByteArray("a/song.mp3 d/song.mp3"));
        QVERIFY(s.state.toastMessage()->endsWith(L("duplicates.noLongerCopies %lld", 1)));

        QVERIFY(setModified(s.dir.file("d/song.mp3"), 1000000000));
        QVERIFY(s.move({"d/song.mp3"}));
        QCOMPARE(s.requests().back(), s.dir.file("d/song.mp3").toStdString());
        QVERIFY(s.state.duplicateGroups().empty());
    }

    void anOpenedScanIsNotSearched()
    {
        AppState state(std::make_shared<FakeTrash>());
        QCOMPARE(state.duplicateSearch().searchRefusal(), DuplicateSearch::Refusal::noResult);
        auto result = makeResult("/home/user", {{"a.bin", 5000}, {"b.bin", 5000}});
        result->setOpenedFrom("/home/user/scan.json");
        state.showResult(result);
        QCOMPARE(state.duplicateSearch().searchRefusal(), DuplicateSearch::Refusal::readOnly);
        QVERIFY(!state.duplicateSearch().start() && !state.isDuplicateScanning());
    }

    // The helpers keep one copy of each group: the newest, the oldest (the first of equals;
    // never one without a date over one with a date), or those in a folder; a move of chosen
    // copies keeps whole the groups it would empty.
    void choicesKeepOneCopy()
    {
        constexpr std::int64_t day = 24LL * 3600 * 1000;
        const NodeRef root = makeTree(
            "/home/user", {{"F/a", 10, 3 * day}, {"G/b", 10, 5 * day}, {"F/sub/c", 10},
                           {"G/x", 20, 7 * day}, {"H/y", 20, 7 * day},
                           {"G/p", 30}, {"F/q", 30}, {"F/m", 40, 1 * day}, {"F/n", 40, 2 * day}});
        const auto at = [&](const std::string& path) {
            NodeRef node = root;
            for (std::size_t from = 0; from < path.size();) {
                const std::size_t slash = std::min(path.find('/', from), path.size());
                for (const FileNode* child : node->children())
                    if (child->nameBytes() == path.substr(from, slash - from)) {
                        node = NodeRef(child);
                        break;
                    }
                from = slash + 1;
            }
            return node;
        };
        const auto group = [&](std::initializer_list<const char*> paths) {
            DuplicateFinder::DuplicateGroup g;
            for (const char* path : paths)
                g.files.push_back(at(path));
            return g;
        };
        const Groups groups{group({"F/a", "G/b", "F/sub/c"}), group({"G/x", "H/y"}),
                            group({"G/p", "F/q"}), group({"F/m", "F/n"})};
        const auto names = [](const std::vector<NodeRef>& files) {
            QStringList list;
            for (const NodeRef& file : files)
                list << file->path().mid(11);
            return list.join(' ');
        };
        QCOMPARE(names(DuplicateChoice::allButNewest(groups)), "F/a F/sub/c H/y F/q F/m");
        QCOMPARE(names(DuplicateChoice::allButOldest(groups)), "G/b F/sub/c H/y F/q F/n");
        QCOMPARE(names(DuplicateChoice::outside(groups, *at("F"))), "G/b G/p");
        QCOMPARE(names(DuplicateChoice::outside(groups, *at("F/sub"))), "F/a G/b");
        QCOMPARE(names(DuplicateChoice::allButFirst(groups[0])), "G/b F/sub/c");

        const NodeIdSet chosen{at("G/x")->id(), at("H/y")->id(), at("F/a")->id(),
                               at("F/q")->id(), at("G/p")->id()};
        const DuplicateChoice::Split split = DuplicateChoice::split(groups, chosen);
        QCOMPARE(names(split.toMove), "F/a");
        QCOMPARE(split.keptGroups, 2);
        QCOMPARE(split.chosenInGroups, 5);
    }
};

QTEST_GUILESS_MAIN(DuplicateSearchTest)
#include "tst_duplicatesearch.moc"
