// The search for files of identical content: small trees against the groups they hold, a
// random tree against an oracle that reads every file, the hash cache, the check before a move,
// and what the search does with files it cannot read or that change under it.

#include "TestSupport.h"
#include "TreeLayout.h"
#include "models/ScanResult.h"
#include "services/DiskScanner.h"
#include "services/DuplicateFinder.h"
#include "services/HashCache.h"
#include "services/MountTable.h"

#include <QTest>

#include <fcntl.h>
#include <ftw.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>

using namespace plenvo;
using namespace plenvo::test;
using Readers = DuplicateFinder::Readers;
using Kind = DuplicateFinder::Progress::Kind;

Q_DECLARE_METATYPE(DuplicateFinder::Readers)

namespace {

struct Search {
    DuplicateCandidates files;
    DuplicateFinder::Outcome outcome;
};

Search search(const ScratchDir& dir, const DuplicateFinder& finder,
              const CancellationToken& token = {},
              const DuplicateFinder::ProgressHandler& progress = {})
{
    const DiskScanner::Outcome scan = DiskScanner().scanNow(dir.str(), {});
    Search s;
    if (!scan.root)
        return s;
    s.files = finder.candidates(*scan.root, scan.facts.get());
    s.outcome = finder.find(s.files, token, progress);
    return s;
}

// Groups as text: each group's paths (relative to `dir`) sorted and joined by spaces, the
// groups sorted and joined by " | ".
QByteArray describe(const std::vector<DuplicateFinder::ContentGroup>& groups,
                    const DuplicateCandidates& files, const ScratchDir& dir)
{
    QByteArrayList described;
    for (const DuplicateFinder::ContentGroup& group : groups) {
        QByteArrayList paths;
        for (const DuplicateFinder::Member& member : group.members)
            paths << QByteArray::fromStdString(files.path(member.file)).mid(dir.path().size() + 1);
        std::sort(paths.begin(), paths.end());
        described << paths.join(' ');
    }
    std::sort(described.begin(), described.end());
    return described.join(" | ");
}

DuplicateFinder finderWith(Readers readers, std::int64_t chunkSize = 8192)
{
    DuplicateFinder finder(1024, chunkSize);
    finder.setReaders(readers);
    return finder;
}

// Switches this thread's file-system identity to an unprivileged user when running as root
// (threads started afterwards inherit it), so that permissions apply; back in the destructor.
class Unprivileged {
public:
    Unprivileged() : m_root(::geteuid() == 0)
    {
        if (m_root)
            ::setfsuid(65534);
    }
    ~Unprivileged()
    {
        if (m_root)
            ::setfsuid(0);
    }
    // Whether `path` can no longer be opened, and `reachable` still can.
    static bool denies(const QByteArray& path, const QByteArray& reachable)
    {
        const int denied = ::open(path.constData(), O_RDONLY);
        const int allowed = ::open(reachable.constData(), O_RDONLY);
        const bool ok = denied < 0 && allowed >= 0;
        ::close(denied);
        ::close(allowed);
        return ok;
    }

private:
    bool m_root;
};

} // namespace

class DuplicateFinderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each tree is searched by several readers on disks that do not spin, and by two readers
    // taking turns on a spinning one. The bytes read show what was opened: a file whose length
    // no other file has, never; one whose first block is its own, only that block.
    void smallTreesHoldTheirGroups_data()
    {
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<QByteArray>("groups");
        QTest::addColumn<qint64>("bytesRead");
        QTest::addColumn<Readers>("readers");
        const auto row = [](const char* name, const QByteArray& tree, const QByteArray& groups,
                            qint64 bytesRead) {
            for (const Readers readers :
                 {Readers{4, Readers::Disks::solidState}, Readers{2, Readers::Disks::spinning}})
                QTest::addRow("%s, %s", name,
                              readers.disks == Readers::Disks::spinning ? "spinning" : "solid")
                    << tree << groups << bytesRead << readers;
        };
        row("copies in different folders", "a/x=5000:1 b/y=5000:1 c/d/z=5000:1 e/w=5000:2",
            "a/x b/y c/d/z", 4 * 4096 + 3 * 5000);
        row("twins but for the last byte", "p=9000:3 q=9000:3$", "", 2 * 4096 + 2 * 9000);
        row("twins but for the first byte", "p=9000:3 q=9000:3^", "", 2 * 4096);
        row("two names of one file", "a=3000:4 sub/l>a", "", 0);
        row("two names of one file and a copy", "a=3000:4 c=3000:4 sub/l>a", "a c", 2 * 3000);
        row("1023 and 1024 bytes", "s=1023:6 t=1023:6 u=1024:7 v=1024:7", "u v", 2 * 1024);
        row("empty files", "e=0:1 f=0:1", "", 0);
        row("lengths no other file has", "u=2000:8 v=3000:8 w=1500000:8", "", 0);
        row("longer than a chunk", "b1=50000:9 b2=50000:9 b3=50000:9$ b4=50000:10", "b1 b2",
            4 * 4096 + 3 * 50000);
        row("two groups of one length", "a=6000:11 b=6000:11 c=6000:12 d=6000:12", "a b | c d",
            4 * 4096 + 4 * 6000);
    }

    void smallTreesHoldTheirGroups()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QByteArray, groups);
        QFETCH(qint64, bytesRead);
        QFETCH(Readers, readers);
        ScratchDir dir;
        QVERIFY(lay(dir, tree));
        const Search s = search(dir, finderWith(readers));
        QCOMPARE(s.outcome.status, DuplicateFinder::Outcome::Status::completed);
        QCOMPARE(describe(s.outcome.groups, s.files, dir), groups);
        QCOMPARE(s.outcome.bytesRead, bytesRead);
        QCOMPARE(s.outcome.unreadable + s.outcome.changed, 0);
    }

    // A random tree against an oracle that reads every file whole: groups of files of at
    // least 1 KiB with equal content, one name per file. Also what every search promises: groups
    // with the most wasted space first, members in the tree's order, and progress that moves
    // forward and ends with the groups found.
    void aRandomTreeMatchesAnOracle_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<Readers>("readers");
        QTest::newRow("seed 1, solid") << 1 << Readers{3, Readers::Disks::solidState};
        QTest::newRow("seed 2, spinning") << 2 << Readers{3, Readers::Disks::spinning};
        QTest::newRow("seed 3, one reader") << 3 << Readers{1, Readers::Disks::asDescribed};
    }

    void aRandomTreeMatchesAnOracle()
    {
        QFETCH(int, seed);
        QFETCH(Readers, readers);
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return int(random() % unsigned(n)); };
        const qint64 sizes[] = {0, 700, 1023, 1024, 4095, 4096, 4097, 9000, 20000};
        QByteArrayList entries, names;
        for (int i = 0; i < 150; ++i) {
            const QByteArray folder = "d" + QByteArray::number(pick(5)) +
                                      (pick(2) ? "/e" + QByteArray::number(pick(3)) : "");
            const QByteArray name = folder + "/f" + QByteArray::number(i);
            const char* change = pick(8) == 0 ? "^" : pick(8) == 0 ? "$" : "";
            entries << name + '=' + QByteArray::number(sizes[pick(9)]) + ':' +
                           QByteArray::number(pick(4)) + change;
            names << name;
        }
        for (int i = 0; i < 10; ++i)
            entries << "links/l" + QByteArray::number(i) + '>' + names[pick(150)];
        ScratchDir dir;
        QVERIFY(lay(dir, entries.join(' ')));

        std::vector<DuplicateFinder::Progress> reports;
        const Search s = search(dir, finderWith(readers), {},
                                [&](const DuplicateFinder::Progress& p) { reports.push_back(p); });
        QCOMPARE(s.outcome.status, DuplicateFinder::Outcome::Status::completed);

        // The oracle: every regular file, by content, as sets of inodes.
        static std::map<QByteArray, std::set<ino_t>>* byContent;
        std::map<QByteArray, std::set<ino_t>> contents;
        byContent = &contents;
        QCOMPARE(::nftw(
                     dir.path().constData(),
                     [](const char* path, const struct stat* st, int type, FTW*) {
                         if (type == FTW_F && S_ISREG(st->st_mode) && st->st_size >= 1024) {
                             QFile file(QString::fromLocal8Bit(path));
                             if (!file.open(QIODevice::ReadOnly))
                                 return 1;
                             (*byContent)[file.readAll()].insert(st->st_ino);
                         }
                         return 0;
                     },
                     16, FTW_PHYS),
                 0);
        std::set<std::set<ino_t>> expected, found;
        for (const auto& [bytes, inodes] : contents)
            if (inodes.size() >= 2)
                expected.insert(inodes);
        std::int64_t wasted = 0;
        for (const DuplicateFinder::ContentGroup& group : s.outcome.groups) {
            std::set<ino_t> inodes;
            for (std::size_t i = 0; i < group.members.size(); ++i) {
                struct stat st;
                QCOMPARE(::lstat(s.files.path(group.members[i].file).c_str(), &st), 0);
                QCOMPARE(std::int64_t(st.st_size), group.size);
                QCOMPARE(group.members[i].stamp.inode, std::uint64_t(st.st_ino));
                inodes.insert(st.st_ino);
                if (i > 0)
                    QVERIFY(group.members[i - 1].file < group.members[i].file);
            }
            QCOMPARE(inodes.size(), group.members.size()); // one name per file
            found.insert(inodes);
            wasted += group.wastedSpace();
        }
        QVERIFY(!expected.empty());
        QCOMPARE(found, expected);
        QVERIFY(std::is_sorted(
            s.outcome.groups.begin(), s.outcome.groups.end(),
            [](const auto& a, const auto& b) { return a.wastedSpace() > b.wastedSpace(); }));
        QCOMPARE(s.outcome.wastedSpace(), wasted);

        QVERIFY(!reports.empty());
        QCOMPARE(reports.front(), DuplicateFinder::Progress::groupingBySize(0));
        QCOMPARE(reports.back(),
                 DuplicateFinder::Progress::completed(std::int64_t(found.size()), wasted));
        for (std::size_t i = 1; i < reports.size(); ++i) {
            const auto& before = reports[i - 1];
            const auto& now = reports[i];
            QVERIFY(before.kind() <= now.kind());
            if (now.kind() == Kind::hashing) {
                QCOMPARE(now.totalToHash(), s.outcome.candidates);
                QVERIFY(now.filesHashed() <= now.totalToHash());
                if (before.kind() == Kind::hashing)
                    QVERIFY(before.filesHashed() <= now.filesHashed());
            }
        }
        QCOMPARE(reports[reports.size() - 2],
                 DuplicateFinder::Progress::hashing(s.outcome.candidates, s.outcome.candidates));
    }

    // A tree that does not know two of its names for one file (read from elsewhere, or built
    // before the second name was made) still gets no group of one file.
    void namesOfOneFileTheTreeDoesNotKnowMakeNoGroup()
    {
        ScratchDir dir;
        QVERIFY(lay(dir, "a=3000:1 b>a c=3000:2"));
        std::vector<NodeRef> children;
        for (const char* name : {"a", "b", "c"})
            children.push_back(FileNode::create(name, {}, false, 4096, {}, {}));
        const NodeRef root = FileNode::create("t", dir.str(), true, 0, {}, {}, std::move(children));
        const DuplicateFinder finder(1024, 1 << 20);
        const DuplicateCandidates files = finder.candidates(*root, nullptr);
        QCOMPARE(files.size(), 3u);
        const DuplicateFinder::Outcome outcome = finder.find(files, {});
        QVERIFY(outcome.groups.empty());
        QCOMPARE(outcome.candidates, 2);
    }

    // A file far deeper than the kernel takes a path at once.
    void aFileBelowPathMaxIsRead()
    {
        ScratchDir dir;
        QByteArray deep = "deep";
        QVERIFY(makeDir(dir.file("deep")));
        int fd = ::open(dir.file("deep").constData(), O_RDONLY | O_DIRECTORY);
        const QByteArray level(40, 'n');
        while (deep.size() < 5000 && fd >= 0) {
            QCOMPARE(::mkdirat(fd, level.constData(), 0755), 0);
            const int next = ::openat(fd, level.constData(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
            deep += '/' + level;
        }
        const QByteArray bytes = content(3000, 5);
        const int file = ::openat(fd, "x", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ::close(fd);
        QVERIFY(file >= 0 && ::write(file, bytes.constData(), 3000) == 3000);
        ::close(file);
        QVERIFY(writeBytes(dir.file("near"), bytes));

        const Search s = search(dir, DuplicateFinder(1024, 1 << 20));
        QCOMPARE(describe(s.outcome.groups, s.files, dir), deep + "/x near");
    }

    void filesThatCannotBeReadAreLeftOutAndCounted()
    {
        // Reachable by the unprivileged user (the scratch folder may sit in a private home).
        ScratchDir dir(QDir::tempPath());
        QVERIFY(lay(dir, "a=5000:1 b=5000:1 locked=5000:1 other=7000:2 other2=7000:2"));
        QCOMPARE(::chmod(dir.path().constData(), 0755), 0);
        QCOMPARE(::chmod(dir.file("locked").constData(), 0), 0);
        const DiskScanner::Outcome scan = DiskScanner().scanNow(dir.str(), {});
        const DuplicateFinder finder(1024, 1 << 20);
        const DuplicateCandidates files = finder.candidates(*scan.root, scan.facts.get());
        DuplicateFinder::Outcome outcome;
        {
            const Unprivileged unprivileged;
            if (!Unprivileged::denies(dir.file("locked"), dir.file("a")))
                QSKIP("cannot act as a user whom permissions keep out of a file");
            outcome = finder.find(files, {});
        }
        QCOMPARE(describe(outcome.groups, files, dir), "a b | other other2");
        QCOMPARE(outcome.unreadable, 1);
    }

    // A file that changes between the look at its length and its read is left out, also when
    // it keeps its length.
    void aFileChangedDuringTheSearchIsLeftOut()
    {
        ScratchDir dir;
        QVERIFY(lay(dir, "a=5000:1 b=5000:1 c=5000:1"));
        QVERIFY(setModified(dir.file("c"), 1000000000));
        bool changed = false;
        const Search s = search(dir, DuplicateFinder(1024, 1 << 20), {},
                                [&](const DuplicateFinder::Progress& p) {
                                    if (p.kind() == Kind::hashing && !changed)
                                        changed = writeBytes(dir.file("c"), content(5000, 2));
                                });
        QVERIFY(changed);
        QCOMPARE(describe(s.outcome.groups, s.files, dir), QByteArray("a b"));
        QCOMPARE(s.outcome.changed, 1);
    }

    // Cancelled once the lengths are known, a search reads nothing more and reports no group.
    void aCancelledSearchStops()
    {
        ScratchDir dir;
        QVERIFY(lay(dir, "a=5000:1 b=5000:1 c=90000:2 d=90000:2"));
        const CancellationToken token = CancellationToken::create();
        std::vector<DuplicateFinder::Progress> reports;
        const Search s = search(dir, DuplicateFinder(1024, 1 << 20), token,
                                [&](const DuplicateFinder::Progress& p) {
                                    reports.push_back(p);
                                    if (p.kind() == Kind::hashing)
                                        token.cancel();
                                });
        QCOMPARE(s.outcome.status, DuplicateFinder::Outcome::Status::cancelled);
        QVERIFY(s.outcome.groups.empty());
        QCOMPARE(s.outcome.candidates, 4);
        QCOMPARE(s.outcome.bytesRead, 0);
        QVERIFY(std::none_of(reports.begin(), reports.end(),
                             [](const auto& p) { return p.kind() == Kind::completed; }));
    }

    // Before a move: unchanged members are kept as they are; changed ones are hashed again and
    // stay only with the same content; members that went leave.
    void aGroupIsCheckedAgainBeforeAMove()
    {
        ScratchDir dir;
        QVERIFY(lay(dir, "a=6000:1 b=6000:1 c=6000:1 d=6000:1 e=6000:1"));
        const DuplicateFinder finder(1024, 1 << 20);
        const Search s = search(dir, finder);
        QCOMPARE(s.outcome.groups.size(), 1u);
        const DuplicateFinder::ContentGroup& group = s.outcome.groups.front();

        const DuplicateFinder::Recheck same = finder.recheck(s.files, group, {});
        QVERIFY(!same.changed && !same.cancelled);
        QCOMPARE(describe(same.groups, s.files, dir), QByteArray("a b c d e"));

        QVERIFY(setModified(dir.file("b"), 1000000000));      // same content
        QVERIFY(writeBytes(dir.file("c"), content(6000, 2))); // other content
        QVERIFY(writeBytes(dir.file("d"), content(7000, 1))); // other length
        QCOMPARE(::unlink(dir.file("e").constData()), 0);     // gone
        const DuplicateFinder::Recheck again = finder.recheck(s.files, group, {});
        QVERIFY(again.changed && !again.cancelled);
        QCOMPARE(describe(again.groups, s.files, dir), QByteArray("a b"));
        const auto b = std::find_if(
            again.groups[0].members.begin(), again.groups[0].members.end(),
            [&](const auto& m) { return s.files.path(m.file) == dir.file("b").toStdString(); });
        QCOMPARE(b->stamp.modifiedNs, 1000000000ll * 1000000000);
    }

    // The cache spares reading files whose stamp is unchanged, never trusts one whose stamp
    // changed (also when only the time of any change shows it: content rewritten, date put
    // back), and keeps no hash of a file changed just before the search (it could change again
    // unseen within the same tick of the file system's clock).
    void theHashCacheSparesReadingWhatDidNotChange()
    {
        ScratchDir dir;
        QVERIFY(lay(dir, "a=9000:1 b=9000:1 c1=5000:2 c2=5000:2 u=5000:3"));
        const QByteArray cacheFile = dir.file("cache/plenvo/content-hashes");
        DuplicateFinder finder(1024, 1 << 20);
        finder.setHashCacheFile(cacheFile.toStdString());
        const QByteArray groups = "a b | c1 c2";
        const qint64 everything = 2 * (4096 + 9000) + 3 * 4096 + 2 * 5000;

        Search s = search(dir, finder);
        QCOMPARE(describe(s.outcome.groups, s.files, dir), groups);
        QCOMPARE(s.outcome.bytesRead, everything);
        s = search(dir, finder); // the files are too new to be kept
        QCOMPARE(s.outcome.bytesRead, everything);
        QCOMPARE(s.outcome.cachedFiles, 0);

        QTest::qWait(2100); // now they are old enough
        s = search(dir, finder);
        QCOMPARE(s.outcome.bytesRead, everything);
        s = search(dir, finder);
        QCOMPARE(describe(s.outcome.groups, s.files, dir), groups);
        QCOMPARE(s.outcome.bytesRead, 0);
        QCOMPARE(s.outcome.cachedFiles, 5);

        struct stat before;
        QCOMPARE(::stat(dir.file("c2").constData(), &before), 0);
        QVERIFY(setModified(dir.file("b"), 1000000000));
        QVERIFY(writeBytes(dir.file("c2"), content(5000, 4)));
        const timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, dir.file("c2").constData(), times, 0), 0);
        s = search(dir, finder);
        QCOMPARE(describe(s.outcome.groups, s.files, dir), QByteArray("a b"));
        QCOMPARE(s.outcome.bytesRead, 4096 + 9000 + 4096); // b whole, c2's first block
        QCOMPARE(s.outcome.cachedFiles, 3);

        struct stat folder, file;
        QCOMPARE(::stat(dir.file("cache/plenvo").constData(), &folder), 0);
        QCOMPARE(::stat(cacheFile.constData(), &file), 0);
        QCOMPARE(folder.st_mode & 0777, 0700u);
        QCOMPARE(file.st_mode & 0777, 0600u);
    }

    // A cache file is trusted only when it is complete and in its format; anything else is
    // ignored, and the next save replaces it.
    void aDamagedCacheFileIsIgnored_data()
    {
        QTest::addColumn<QByteArray>("damage"); // "cut", "flip", "foreign", "link"
        for (const char* damage : {"cut", "flip", "foreign", "link"})
            QTest::newRow(damage) << QByteArray(damage);
    }

    void aDamagedCacheFileIsIgnored()
    {
        QFETCH(QByteArray, damage);
        ScratchDir dir;
        const std::string file = dir.file("content-hashes").toStdString();
        HashCache cache(file);
        QCOMPARE(cache.load(), HashCache::LoadResult::missing);
        const HashCache::Entry entry{{1, 2, 3000, 4, 5}, {6, 7}, {8, 9}, true};
        cache.remember(entry);
        cache.remember({{1, 1, 10, 0, 0}, {1, 1}, {}, false});
        QVERIFY(cache.save());
        QCOMPARE(cache.load(), HashCache::LoadResult::loaded);
        const std::optional<HashCache::Entry> found = cache.find(entry.stamp);
        QVERIFY(found && found->whole == entry.whole && found->firstBlock == entry.firstBlock);
        FileStamp later = entry.stamp;
        later.changedNs += 1;
        QVERIFY(!cache.find(later));

        QFile bytes(QString::fromStdString(file));
        QVERIFY(bytes.open(QIODevice::ReadWrite));
        QByteArray data = bytes.readAll();
        if (damage == "cut")
            data.chop(1);
        else if (damage == "flip")
            data[40] = char(data[40] ^ 1);
        else if (damage == "foreign")
            data[0] = 'X';
        QVERIFY(bytes.resize(0) && bytes.write(data) == data.size());
        bytes.close();
        if (damage == "link") {
            QCOMPARE(::rename(file.c_str(), (file + ".real").c_str()), 0);
            QCOMPARE(::symlink((file + ".real").c_str(), file.c_str()), 0);
        }
        QCOMPARE(cache.load(), HashCache::LoadResult::rejected);
        QVERIFY(!cache.find(entry.stamp));
        cache.remember(entry);
        QVERIFY(cache.save());
        QCOMPARE(cache.load(), HashCache::LoadResult::loaded);
        QVERIFY(cache.find(entry.stamp));
    }

    // The groups handed to the application state are groups of the tree's nodes; files that
    // left the result since leave their group.
    void groupsBecomeGroupsOfNodes()
    {
        ScratchDir dir;
        QVERIFY(lay(dir, "a=5000:1 b=5000:1 c=7000:2 d=7000:2 e=7000:2"));
        DiskScanner::Outcome scan = DiskScanner().scanNow(dir.str(), {});
        ScanResult result(scan.root, 0, dir.str());
        const DuplicateFinder finder(1024, 1 << 20);
        const DuplicateCandidates files = finder.candidates(*result.rootNode(), scan.facts.get());
        const DuplicateFinder::Outcome outcome = finder.find(files, {});
        QCOMPARE(outcome.groups.size(), 2u);

        // "a" leaves the tree: its group of two goes, the other keeps its three in order.
        const auto named = [&](std::string_view name) {
            return *std::find_if(result.allFiles().begin(), result.allFiles().end(),
                                 [&](const NodeRef& n) { return n->nameBytes() == name; });
        };
        const NodeRef a = named("a");
        result.rootNode()->removeChild(*a);
        result.removeNodes({a->id()});
        const std::vector<DuplicateFinder::DuplicateGroup> groups =
            DuplicateFinder::nodeGroups(outcome.groups, files, result.allFiles());
        QCOMPARE(groups.size(), 1u);
        QCOMPARE(groups[0].fileSize, 7000);
        QCOMPARE(groups[0].hash, outcome.groups[0].hash.toHex());
        QCOMPARE(groups[0].hash.size(), 32);
        std::vector<NodeId> ids;
        for (const NodeRef& node : groups[0].files)
            ids.push_back(node->id());
        std::vector<NodeId> expected;
        for (const DuplicateFinder::Member& member : outcome.groups[0].members)
            expected.push_back(files.id(member.file));
        QCOMPARE(ids, expected);
    }

    // Whether a disk spins, as the block layer says; for a partition, as its disk says.
    void spinningDisksAreToldByTheBlockLayer()
    {
        ScratchDir dir;
        const QByteArray sys = dir.file("sys");
        QVERIFY(makeParents(dir, "sys/devices/sda/sda1/x") &&
                makeParents(dir, "sys/devices/nvme0n1/queue/x") &&
                makeParents(dir, "sys/devices/sda/queue/x") && makeParents(dir, "sys/dev/block/x"));
        QVERIFY(writeBytes(sys + "/devices/sda/queue/rotational", "1\n") &&
                writeBytes(sys + "/devices/nvme0n1/queue/rotational", "0\n"));
        QCOMPARE(::symlink("../../devices/sda", sys + "/dev/block/8:0"), 0);
        QCOMPARE(::symlink("../../devices/sda/sda1", sys + "/dev/block/8:1"), 0);
        QCOMPARE(::symlink("../../devices/nvme0n1", sys + "/dev/block/259:0"), 0);
        QVERIFY(writeBytes(dir.file("mountinfo"), "20 1 0:40 / /srv rw - tmpfs none rw\n"));
        MountTable table(dir.file("mountinfo").toStdString(), sys.toStdString());
        QVERIFY(table.isRotational(8, 0));
        QVERIFY(table.isRotational(8, 1));
        QVERIFY(!table.isRotational(259, 0));
        QVERIFY(!table.isRotational(0, 40)); // memory, no disk
        QVERIFY(!table.isRotational(9, 9));  // unknown
    }
};

QTEST_GUILESS_MAIN(DuplicateFinderTest)
#include "tst_duplicatefinder.moc"
