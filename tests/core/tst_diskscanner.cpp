#include "TestSupport.h"
#include "services/DiskScanner.h"
#include "services/MountTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

using namespace plenvo;
using namespace plenvo::test;
using namespace std::chrono_literals;
using Status = DiskScanner::Outcome::Status;

namespace {

constexpr qint64 kFolder = -1;

// Lays out entries below `dir`: kFolder makes a folder, any other size a file of that size.
bool make(const ScratchDir& dir, std::initializer_list<std::pair<const char*, qint64>> entries)
{
    for (const auto& [name, size] : entries)
        if (!(size == kFolder ? makeDir(dir.file(name)) : writeFile(dir.file(name), size)))
            return false;
    return true;
}

const FileNode* child(const FileNode* node, std::string_view name)
{
    for (const NodeRef& c : node->children())
        if (c->nameBytes() == name)
            return c.get();
    return nullptr;
}

// A clock that moves forward by a fixed step on every reading.
DiskScanner::Clock steppingClock(std::chrono::milliseconds step)
{
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    return [now, step] { return *now += step; };
}

// Scans `path` with a progress report at every folder; returns the most descriptors the scan
// held open at any report.
int mostOpenDuring(DiskScanner& scanner, const std::string& path, DiskScanner::Outcome& outcome)
{
    const auto open = [] {
        return int(QDir(QStringLiteral("/proc/self/fd"))
                       .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                       .size());
    };
    const int before = open();
    int most = 0;
    scanner.setClock(steppingClock(1s));
    outcome =
        scanner.scanNow(path, [&](const ScanProgress&) { most = std::max(most, open() - before); });
    return most;
}

} // namespace

class DiskScannerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theTreeMatchesTheDisk()
    {
        ScratchDir dir;
        QVERIFY(make(dir, {{"X", kFolder},
                           {"Zeta", kFolder},
                           {".cache", kFolder},
                           {"sub", kFolder},
                           {"a", 1},
                           {"c.txt", 10},
                           {".hidden", 10},
                           {"sub/big", 100000},
                           {"sub/empty", 0}}));
        DiskScanner scanner;
        const auto outcome = scanner.scanNow(dir.str(), {});
        QCOMPARE(outcome.status, Status::completed);
        const FileNode* root = outcome.root.get();
        QCOMPARE(root->pathBytes(), dir.str());
        QCOMPARE(QString::fromStdString(std::string(root->nameBytes())),
                 QFileInfo(QString::fromLocal8Bit(dir.path())).fileName());

        // Files come before folders, each in the order the file system lists them; hidden
        // entries count, "." and ".." do not.
        const QDir listing(QString::fromLocal8Bit(dir.path()));
        const QStringList expected =
            listing.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted) +
            listing.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
        QStringList names;
        for (const NodeRef& c : root->children()) {
            names << QString::fromStdString(std::string(c->nameBytes()));
            QCOMPARE(c->parent(), root);
        }
        QCOMPARE(names, expected);

        // Allocated sizes, not logical ones; folders add up what they hold.
        const FileNode* a = child(root, "a");
        QCOMPARE(a->fileSize(), allocatedSize(dir.file("a")));
        QVERIFY(a->fileSize() > 0);
        struct stat st;
        QCOMPARE(::lstat(dir.file("a").constData(), &st), 0);
        QCOMPARE(a->modificationDate().value_or(0) / 1000, qint64(st.st_mtim.tv_sec));
        const FileNode* sub = child(root, "sub");
        QCOMPARE(sub->cachedSize(),
                 allocatedSize(dir.file("sub/big")) + allocatedSize(dir.file("sub/empty")));
        QCOMPARE(root->cachedSize(), a->fileSize() + allocatedSize(dir.file("c.txt")) +
                                         allocatedSize(dir.file(".hidden")) + sub->cachedSize());
        QCOMPARE(sub->children()[0]->pathBytes(),
                 dir.str() + "/sub/" + std::string(sub->children()[0]->nameBytes()));
        QCOMPARE(root->cachedFileCount(), 5);
        QCOMPARE(root->cachedDirCount(), 5);
        QCOMPARE(scanner.filesScanned(), 5);
    }

    void linksAreFollowedOnlyAsTheScannedLocation()
    {
        ScratchDir dir;
        QVERIFY(make(dir, {{"target", kFolder}, {"target/inside", 5000}}));
        QCOMPARE(::symlink("target", dir.file("link").constData()), 0);
        QCOMPARE(::symlink("missing", dir.file("dangling").constData()), 0);
        QCOMPARE(::symlink("..", dir.file("target/up").constData()), 0);
        DiskScanner scanner;
        const NodeRef root = scanner.scanNow(dir.str(), {}).root;
        const FileNode* link = child(root.get(), "link");
        QVERIFY(link && !link->isDirectory() && child(root.get(), "dangling"));
        QCOMPARE(link->fileSize(), allocatedSize(dir.file("link")));
        QCOMPARE(root->cachedFileCount(), 4); // the target's file is counted once

        const auto direct = scanner.scanNow(dir.str() + "/link", {});
        QVERIFY(direct.root->isDirectory());
        QCOMPARE(direct.root->pathBytes(), dir.str() + "/link");
        QCOMPARE(direct.root->cachedSize(),
                 allocatedSize(dir.file("target/inside")) + allocatedSize(dir.file("target/up")));
        QCOMPARE(child(direct.root.get(), "inside")->pathBytes(), dir.str() + "/link/inside");
        QCOMPARE(scanner.scanNow(dir.str() + "/dangling", {}).root->fileSize(),
                 allocatedSize(dir.file("dangling")));
    }

    void spaceIsCountedOnce()
    {
        // Three names of one file count its space once, under the first name listed.
        ScratchDir dir;
        QVERIFY(make(dir, {{"a", kFolder}, {"b", kFolder}, {"a/data", 100000}, {"b/own", 1}}));
        QCOMPARE(::link(dir.file("a/data").constData(), dir.file("a/again").constData()), 0);
        QCOMPARE(::link(dir.file("a/data").constData(), dir.file("b/data").constData()), 0);
        DiskScanner scanner;
        const NodeRef root = scanner.scanNow(dir.str(), {}).root;
        const qint64 once = allocatedSize(dir.file("a/data"));
        QCOMPARE(root->cachedSize(), once + allocatedSize(dir.file("b/own")));
        QCOMPARE(root->cachedFileCount(), 4);
        std::vector<qint64> sizes;
        for (const char* folder : {"a", "b"})
            for (const NodeRef& file : child(root.get(), folder)->children())
                if (file->nameBytes() != "own")
                    sizes.push_back(file->fileSize());
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, (std::vector<qint64>{0, 0, once}));

        // A folder mounted again below itself is recorded empty, not entered.
        QVERIFY(makeDir(dir.file("b/loop")));
        if (::mount(dir.path().constData(), dir.file("b/loop").constData(), nullptr, MS_BIND,
                    nullptr) != 0)
            QSKIP("mounting is not permitted here");
        const NodeRef again = scanner.scanNow(dir.str(), {}).root;
        ::umount2(dir.file("b/loop").constData(), MNT_DETACH);
        const FileNode* loop = child(child(again.get(), "b"), "loop");
        QVERIFY(loop && loop->isDirectory());
        QCOMPARE(loop->childCount(), 0u);
        QCOMPARE(again->cachedSize(), root->cachedSize());
    }

    void namesThatAreNotUtf8KeepTheirBytes()
    {
        ScratchDir dir;
        const QByteArray folder("d\xFE\xFD");
        const QByteArray name("caf\xE9\xFF.bin");
        QVERIFY(makeDir(dir.file(folder)) && writeFile(dir.file(folder + '/' + name), 3));
        const NodeRef root = DiskScanner().scanNow(dir.str(), {}).root;
        const FileNode* file = child(child(root.get(), folder.toStdString()), name.toStdString());
        QVERIFY(file);
        QCOMPARE(file->pathBytes(), dir.file(folder + '/' + name).toStdString());
        struct stat st;
        QCOMPARE(::lstat(file->pathBytes().c_str(), &st), 0); // the stored bytes reach the file
    }

    void aFolderThatCannotBeListedIsEmpty()
    {
        // The fixture must be reachable for the unprivileged user; the scratch folder may sit
        // under a private home, so this one lives in the system's temporary folder.
        ScratchDir dir(QDir::tempPath());
        QVERIFY(make(dir, {{"locked", kFolder}, {"locked/secret", 4096}, {"visible", 1}}));
        QCOMPARE(::chmod(dir.file("locked").constData(), 0), 0);

        // Root reads anything; switch the file-system identity of this thread to an
        // unprivileged user for the scan, which also drops the override capabilities.
        const bool root = ::geteuid() == 0;
        if (root) {
            const auto canOpen = [](const QByteArray& folder) {
                const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
                return fd >= 0 && ::close(fd) == 0;
            };
            ::chmod(dir.path().constData(), 0755);
            ::setfsuid(65534);
            // open() checks the file-system identity (access() would check the real one).
            if (int(::setfsuid(-1)) != 65534 || canOpen(dir.file("locked")) ||
                !canOpen(dir.path())) {
                ::setfsuid(0);
                QSKIP("cannot act as an unprivileged user that reaches the scratch folder");
            }
        }
        const auto outcome = DiskScanner().scanNow(dir.str(), {});
        if (root)
            ::setfsuid(0);
        const FileNode* locked = child(outcome.root.get(), "locked");
        QVERIFY(locked && locked->isDirectory());
        QCOMPARE(locked->childCount(), 0u);
        QCOMPARE(locked->cachedSize(), 0);
        QCOMPARE(outcome.root->cachedFileCount(), 1);
    }

    void deepChainsBeyondPathMaxScanCompletely()
    {
        ScratchDir dir;
        const int depth = 5000;
        const std::string name(30, 'n');
        int fd = ::open(dir.path().constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < depth && fd >= 0; ++i) {
            QCOMPARE(::mkdirat(fd, name.c_str(), 0755), 0);
            const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        QVERIFY(fd >= 0);
        const int leaf = ::openat(fd, "leaf.txt", O_WRONLY | O_CREAT, 0644);
        ::close(fd);
        QCOMPARE(::write(leaf, "hello", 5), 5);
        ::close(leaf);

        DiskScanner scanner;
        DiskScanner::Outcome outcome;
        QVERIFY(mostOpenDuring(scanner, dir.str(), outcome) <= 4);
        QCOMPARE(outcome.root->cachedDirCount(), depth + 1);
        QCOMPARE(outcome.root->cachedFileCount(), 1);
        const FileNode* node = outcome.root.get();
        while (node->isDirectory())
            node = node->children()[0].get();
        QCOMPARE(std::string(node->nameBytes()), std::string("leaf.txt"));
        QVERIFY(node->pathBytes().size() > 150000);
        QVERIFY(node->fileSize() > 0);
    }

    void wideAndDeepTreesStayWithinTheDescriptorLimit()
    {
        // Every level has two subfolders, so every level is waiting for its second one while
        // the first is walked; with a limit of 4 the scanner must close and reopen them.
        ScratchDir dir;
        const int depth = 40;
        QByteArray path = dir.path();
        for (int i = 0; i < depth; ++i, path += "/first")
            QVERIFY(makeDir(path + "/second") && writeFile(path + "/second/f", 1) &&
                    makeDir(path + "/first"));
        DiskScanner scanner;
        scanner.setMaxOpenDirectories(4);
        DiskScanner::Outcome outcome;
        const int most = mostOpenDuring(scanner, dir.str(), outcome);
        QVERIFY2(most <= 5, qPrintable(QString::number(most)));
        QCOMPARE(outcome.root->cachedDirCount(), 2 * depth + 1);
        QCOMPARE(outcome.root->cachedFileCount(), depth);
    }

    void foldersThatVanishOrChangeDuringTheScan()
    {
        // The progress report for a folder comes after its listing and before its subfolders
        // are entered: the handler changes the disk in between.
        ScratchDir dir;
        QVERIFY(make(
            dir, {{"gone", kFolder}, {"nowfile", kFolder}, {"stays", kFolder}, {"stays/x", 1}}));
        bool changed = false;
        DiskScanner scanner;
        scanner.setClock(steppingClock(1s));
        const auto outcome = scanner.scanNow(dir.str(), [&](const ScanProgress&) {
            if (!std::exchange(changed, true))
                QVERIFY(::rmdir(dir.file("gone").constData()) == 0 &&
                        ::rmdir(dir.file("nowfile").constData()) == 0 &&
                        writeFile(dir.file("nowfile"), 20000));
        });
        QVERIFY(changed);
        const FileNode* gone = child(outcome.root.get(), "gone");
        QVERIFY(gone && !gone->isDirectory() && !gone->modificationDate());
        QCOMPARE(gone->fileSize(), 0);
        const FileNode* nowFile = child(outcome.root.get(), "nowfile");
        QVERIFY(nowFile && !nowFile->isDirectory());
        QCOMPARE(nowFile->fileSize(), allocatedSize(dir.file("nowfile")));
        QCOMPARE(outcome.root->cachedFileCount(), 3);
        QCOMPARE(scanner.filesScanned(), 3);
    }

    void singleFilesAndMissingLocations()
    {
        ScratchDir dir;
        QVERIFY(make(dir, {{"alone.dat", 9000}, {"f", kFolder}}));
        DiskScanner scanner;
        std::vector<ScanProgress> reports;
        const auto single = scanner.scanNow(dir.str() + "/alone.dat",
                                            [&](const ScanProgress& p) { reports.push_back(p); });
        QVERIFY(!single.root->isDirectory());
        QCOMPARE(single.root->pathBytes(), dir.str() + "/alone.dat");
        QCOMPARE(single.root->fileSize(), allocatedSize(dir.file("alone.dat")));
        QCOMPARE(scanner.filesScanned(), 1);
        QCOMPARE(reports, std::vector{ScanProgress::scanning(QStringLiteral("alone.dat"), 1)});

        const auto missing = scanner.scanNow(dir.str() + "/nothing-here", {});
        QCOMPARE(missing.status, Status::completed);
        QVERIFY(!missing.root->isDirectory());
        QCOMPARE(std::string(missing.root->nameBytes()), std::string("nothing-here"));
        QCOMPARE(missing.root->fileSize(), 0);
        QVERIFY(!missing.root->modificationDate() && !missing.root->creationDate());

        // A trailing slash names the same folder.
        const auto slash = scanner.scanNow(dir.str() + "/f/", {});
        QCOMPARE(std::string(slash.root->nameBytes()), std::string("f"));
        QCOMPARE(slash.root->pathBytes(), dir.str() + "/f");
    }

    void progressIsThrottledAtFolderBoundaries()
    {
        // root (2 files) / a (1 file) / b / c: four boundaries, in this order.
        ScratchDir dir;
        QVERIFY(make(dir, {{"r1", 1},
                           {"r2", 1},
                           {"a", kFolder},
                           {"a/one", 1},
                           {"a/b", kFolder},
                           {"a/b/c", kFolder}}));
        // Readings: first at 10 s; +100 ms (held back); exactly +150 ms after the first
        // report (held back); +151 ms after it (reported).
        const std::vector<std::chrono::milliseconds> readings{10000ms, 10100ms, 10150ms, 10151ms};
        auto index = std::make_shared<std::size_t>(0);
        DiskScanner scanner;
        scanner.setClock([readings, index] {
            return std::chrono::steady_clock::time_point(readings.at((*index)++));
        });
        std::vector<ScanProgress> reports;
        const auto record = [&](const ScanProgress& p) { reports.push_back(p); };
        scanner.scanNow(dir.str(), record);
        QCOMPARE(*index, readings.size());
        const QString rootName = QFileInfo(QString::fromLocal8Bit(dir.path())).fileName();
        QCOMPARE(reports, (std::vector{ScanProgress::scanning(rootName, 2),
                                       ScanProgress::scanning(QStringLiteral("c"), 3)}));

        // A new scan reports its first boundary at once, even right after the last report.
        scanner.setClock([] { return std::chrono::steady_clock::time_point(10200ms); });
        reports.clear();
        scanner.scanNow(dir.str() + "/a/b", record);
        QCOMPARE(reports, std::vector{ScanProgress::scanning(QStringLiteral("b"), 0)});
    }

    void cancellationStopsAtTheNextFolder()
    {
        ScratchDir dir;
        for (int i = 0; i < 20; ++i)
            QVERIFY(makeDir(dir.file("d" + QByteArray::number(i))) &&
                    writeFile(dir.file("d" + QByteArray::number(i) + "/f"), 1));
        DiskScanner scanner;
        scanner.setClock(steppingClock(1s));
        const CancellationToken token = CancellationToken::create();
        int reports = 0;
        const auto outcome = scanner.scanNow(
            dir.str(),
            [&](const ScanProgress&) {
                if (++reports == 3)
                    token.cancel();
            },
            token);
        QCOMPARE(outcome.status, Status::cancelled);
        QVERIFY(!outcome.root);
        QCOMPARE(reports, 3);
    }

    void aStuckScanHoldsUpNothing()
    {
        // The first scan blocks in its listing, as on a network mount that stopped answering.
        ScratchDir dir;
        QVERIFY(make(dir, {{"stuck", kFolder}, {"stuck/f", 1}, {"fine", kFolder}, {"fine/f", 1}}));
        auto gate = std::make_shared<QSemaphore>();
        auto blocked = std::make_shared<std::atomic<bool>>(false);
        auto scanner = std::make_unique<DiskScanner>();
        scanner->setListingHook([gate, blocked](std::string_view folder) {
            if (folder == "stuck") {
                *blocked = true;
                gate->acquire();
            }
        });
        // Each completion records its thread and its status (99: completed with a tree).
        struct Finished {
            std::atomic<int> status{-1};
            std::atomic<QThread*> thread{nullptr};
        };
        auto stuck = std::make_shared<Finished>();
        auto fine = std::make_shared<Finished>();
        const auto record = [](std::shared_ptr<Finished> finished) {
            return [finished](DiskScanner::Outcome outcome) {
                finished->thread = QThread::currentThread();
                finished->status = outcome.root ? 99 : int(outcome.status);
            };
        };
        const CancellationToken first = CancellationToken::create();
        scanner->scan(dir.str() + "/stuck", {}, first, record(stuck));
        QTRY_VERIFY(blocked->load());
        QCOMPARE(scanner->runningScans(), 1);
        first.cancel();
        scanner->scan(dir.str() + "/fine", {}, CancellationToken::create(), record(fine));
        QTRY_COMPARE_WITH_TIMEOUT(fine->status.load(), 99, 10000);
        QCOMPARE(stuck->status.load(), -1);
        QVERIFY(fine->thread.load() != QThread::currentThread());

        // Going away waits only briefly for the stuck one.
        QElapsedTimer timer;
        timer.start();
        scanner.reset();
        QVERIFY(timer.elapsed() < 2 * DiskScanner::kShutdownWait.count());
        // When the listing returns at last, the scan ends as cancelled, without a tree.
        gate->release();
        QTRY_COMPARE(stuck->status.load(), int(Status::cancelled));

        // A scan cancelled before it starts completes the same way.
        DiskScanner other;
        const CancellationToken token = CancellationToken::create();
        token.cancel();
        auto early = std::make_shared<Finished>();
        other.scan(dir.str(), {}, token, record(early));
        QTRY_COMPARE(early->status.load(), int(Status::cancelled));
    }

    void mountTableNamesPseudoFileSystems()
    {
        MountTable table("/nonexistent");
        table.parse("22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
                    "25 1 0:5 / /dev rw shared:2 - devtmpfs udev rw,size=1k\n"
                    "31 1 8:1 / / rw,relatime shared:1 master:3 - ext4 /dev/sda1 rw\n"
                    "garbage line\n"
                    "40 31 0:44 / /mnt/auto rw - autofs systemd-1 rw\n");
        QCOMPARE(table.fileSystemType(0, 21), std::string("proc"));
        QCOMPARE(table.fileSystemType(8, 1), std::string("ext4"));
        QVERIFY(table.isPseudoFileSystem(0, 5) && table.isPseudoFileSystem(0, 44));
        QVERIFY(!table.isPseudoFileSystem(8, 1) && !table.isPseudoFileSystem(9, 9));
        QVERIFY(MountTable::isPseudoType("cgroup2") && !MountTable::isPseudoType("tmpfs"));
    }

    void pseudoFileSystemsAreEnteredOnlyAsTheScannedLocation()
    {
        // proc below the scanned folder is not entered; a tmpfs is, until the mount table
        // calls it "sysfs"; scanned as the location itself, it is read all the same.
        ScratchDir dir;
        QVERIFY(make(dir, {{"proc", kFolder}, {"m", kFolder}}));
        if (::mount("proc", dir.file("proc").constData(), "proc", 0, nullptr) != 0)
            QSKIP("mounting is not permitted here");
        const bool mounted = ::mount("none", dir.file("m").constData(), "tmpfs", 0, "size=1m") == 0;
        const bool written = writeFile(dir.file("m/inside"), 100);
        ScratchDir info;
        QFile table(QString::fromLocal8Bit(info.file("mountinfo")));
        table.open(QIODevice::WriteOnly);
        for (const char* name : {"proc", "m"}) {
            struct stat st;
            ::stat(dir.file(name).constData(), &st);
            table.write(QStringLiteral("50 1 %1:%2 / /x rw - %3 x rw\n")
                            .arg(major(st.st_dev))
                            .arg(minor(st.st_dev))
                            .arg(QLatin1String(name[0] == 'p' ? "proc" : "sysfs"))
                            .toUtf8());
        }
        table.close();
        DiskScanner scanner;
        const auto real = scanner.scanNow(dir.str(), {});
        scanner.setMountInfoSource(info.file("mountinfo").toStdString());
        const auto below = scanner.scanNow(dir.str(), {});
        const auto atRoot = scanner.scanNow(dir.str() + "/m", {});
        ::umount2(dir.file("m").constData(), MNT_DETACH);
        ::umount2(dir.file("proc").constData(), MNT_DETACH);
        QVERIFY(mounted && written);
        QCOMPARE(child(real.root.get(), "proc")->childCount(), 0u);
        QCOMPARE(child(real.root.get(), "m")->childCount(), 1u);
        QCOMPARE(child(below.root.get(), "proc")->childCount(), 0u);
        QCOMPARE(child(below.root.get(), "m")->childCount(), 0u);
        QCOMPARE(atRoot.root->cachedFileCount(), 1);
    }
};

QTEST_GUILESS_MAIN(DiskScannerTest)
#include "tst_diskscanner.moc"
