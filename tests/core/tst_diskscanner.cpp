#include "TestSupport.h"
#include "services/DiskScanner.h"
#include "services/MountTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>

using namespace plenvo;
using namespace plenvo::test;
using Status = DiskScanner::Outcome::Status;

namespace {

std::vector<std::string> names(const NodeRef& node)
{
    std::vector<std::string> result;
    for (const NodeRef& child : node->children())
        result.emplace_back(child->nameBytes());
    return result;
}

const FileNode* child(const NodeRef& node, std::string_view name)
{
    for (const NodeRef& c : node->children())
        if (c->nameBytes() == name)
            return c.get();
    return nullptr;
}

// The names of a folder in the order the file system lists them.
std::vector<std::string> listingOrder(const QByteArray& path)
{
    std::vector<std::string> result;
    DIR* dir = ::opendir(path.constData());
    while (dirent* e = dir ? ::readdir(dir) : nullptr) {
        std::string name = e->d_name;
        if (name != "." && name != "..")
            result.push_back(name);
    }
    if (dir)
        ::closedir(dir);
    return result;
}

bool canOpen(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                   .size());
}

struct Recorder {
    std::vector<ScanProgress> reports;
    DiskScanner::ProgressHandler handler()
    {
        return [this](const ScanProgress& p) { reports.push_back(p); };
    }
};

// A clock that moves forward by a fixed step on every reading.
DiskScanner::Clock steppingClock(std::chrono::milliseconds step)
{
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    return [now, step] { return *now += step; };
}

} // namespace

class DiskScannerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filesComeBeforeFoldersEachInListingOrder()
    {
        ScratchDir dir;
        for (const char* name : {"X", "Y", "Zeta", "m"})
            QVERIFY(makeDir(dir.file(name)));
        for (const char* name : {"a", "b", "c.txt", "k"})
            QVERIFY(writeFile(dir.file(name), 10));
        DiskScanner scanner;
        const auto outcome = scanner.scanNow(dir.str(), {});
        QCOMPARE(outcome.status, Status::completed);

        std::vector<std::string> files, folders;
        for (const std::string& name : listingOrder(dir.path()))
            (QFileInfo(QString::fromStdString(dir.str() + "/" + name)).isDir() ? folders : files)
                .push_back(name);
        std::vector<std::string> expected = files;
        expected.insert(expected.end(), folders.begin(), folders.end());
        QCOMPARE(names(outcome.root), expected);
        QCOMPARE(outcome.root->cachedFileCount(), 4);
        QCOMPARE(outcome.root->cachedDirCount(), 5);
        for (const NodeRef& c : outcome.root->children())
            QCOMPARE(c->parent(), outcome.root.get());
    }

    void sizesDatesAndAggregatesMatchTheDisk()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("sub")));
        QVERIFY(writeFile(dir.file("one"), 1));
        QVERIFY(writeFile(dir.file("sub/big"), 100000));
        QVERIFY(writeFile(dir.file("sub/empty"), 0));
        DiskScanner scanner;
        const auto outcome = scanner.scanNow(dir.str(), {});
        const NodeRef& root = outcome.root;
        QCOMPARE(root->pathBytes(), dir.str());
        QCOMPARE(std::string(root->nameBytes()),
                 QFileInfo(QString::fromLocal8Bit(dir.path())).fileName().toStdString());
        QVERIFY(root->isDirectory());

        const FileNode* one = child(root, "one");
        QVERIFY(one && !one->isDirectory());
        QCOMPARE(one->fileSize(), allocatedSize(dir.file("one"))); // allocated, not logical
        QVERIFY(one->fileSize() >= 1);
        struct stat st;
        QCOMPARE(::lstat(dir.file("one").constData(), &st), 0);
        QVERIFY(one->modificationDate().has_value());
        QCOMPARE(*one->modificationDate() / 1000, qint64(st.st_mtim.tv_sec));

        const FileNode* sub = child(root, "sub");
        QVERIFY(sub && sub->isDirectory());
        QCOMPARE(sub->cachedSize(),
                 allocatedSize(dir.file("sub/big")) + allocatedSize(dir.file("sub/empty")));
        QCOMPARE(root->cachedSize(), one->fileSize() + sub->cachedSize());
        QCOMPARE(root->cachedFileCount(), 3);
        QCOMPARE(root->cachedDirCount(), 2);
        QCOMPARE(scanner.filesScanned(), 3);
        QCOMPARE(sub->children()[0]->pathBytes(),
                 dir.str() + "/sub/" + std::string(sub->children()[0]->nameBytes()));
    }

    void linksAreNotFollowedAndHiddenEntriesCount()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("target")));
        QVERIFY(writeFile(dir.file("target/inside"), 5000));
        QVERIFY(writeFile(dir.file(".hidden"), 10));
        QVERIFY(makeDir(dir.file(".cache")));
        QCOMPARE(::symlink("target", dir.file("link").constData()), 0);
        QCOMPARE(::symlink("missing", dir.file("dangling").constData()), 0);
        DiskScanner scanner;
        const auto outcome = scanner.scanNow(dir.str(), {});
        const FileNode* link = child(outcome.root, "link");
        QVERIFY(link);
        QVERIFY(!link->isDirectory());
        QCOMPARE(link->childCount(), 0u);
        QCOMPARE(link->fileSize(), allocatedSize(dir.file("link")));
        QVERIFY(child(outcome.root, "dangling"));
        QVERIFY(child(outcome.root, ".hidden"));
        QVERIFY(child(outcome.root, ".cache") && child(outcome.root, ".cache")->isDirectory());
        QVERIFY(!child(outcome.root, ".") && !child(outcome.root, ".."));
        // The target is counted once, through its own folder only.
        QCOMPARE(outcome.root->cachedFileCount(), 4);

        // A link given as the location itself is followed: the folder it points to is scanned
        // under the name given; links below it are still not followed.
        QCOMPARE(::symlink("..", dir.file("target/up").constData()), 0);
        const auto direct = scanner.scanNow(dir.str() + "/link", {});
        QVERIFY(direct.root->isDirectory());
        QCOMPARE(direct.root->pathBytes(), dir.str() + "/link");
        QCOMPARE(direct.root->cachedSize(),
                 allocatedSize(dir.file("target/inside")) + allocatedSize(dir.file("target/up")));
        QCOMPARE(child(direct.root, "inside")->pathBytes(), dir.str() + "/link/inside");
        QVERIFY(!child(direct.root, "up")->isDirectory());
        QCOMPARE(scanner.scanNow(dir.str() + "/dangling", {}).root->fileSize(),
                 allocatedSize(dir.file("dangling")));
    }

    void spaceIsCountedOnce()
    {
        // Three names of one file count its space once, under the first name listed.
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("a")));
        QVERIFY(makeDir(dir.file("b")));
        QVERIFY(writeFile(dir.file("a/data"), 100000));
        QCOMPARE(::link(dir.file("a/data").constData(), dir.file("a/again").constData()), 0);
        QCOMPARE(::link(dir.file("a/data").constData(), dir.file("b/data").constData()), 0);
        QVERIFY(writeFile(dir.file("b/own"), 1));
        DiskScanner scanner;
        const NodeRef root = scanner.scanNow(dir.str(), {}).root;
        const qint64 once = allocatedSize(dir.file("a/data"));
        QCOMPARE(root->cachedSize(), once + allocatedSize(dir.file("b/own")));
        QCOMPARE(root->cachedFileCount(), 4);
        std::vector<qint64> sizes;
        for (const char* folder : {"a", "b"})
            for (const NodeRef& file : child(root, folder)->children())
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
        const FileNode* loop = child(NodeRef(child(again, "b")), "loop");
        QVERIFY(loop && loop->isDirectory());
        QCOMPARE(loop->childCount(), 0u);
        QCOMPARE(again->cachedSize(), root->cachedSize());
        QCOMPARE(again->cachedFileCount(), 4);
    }

    void namesThatAreNotUtf8KeepTheirBytes()
    {
        ScratchDir dir;
        const QByteArray bad("caf\xE9\xFF.bin");
        const QByteArray badFolder("d\xFE\xFD");
        QVERIFY(makeDir(dir.file(badFolder)));
        QVERIFY(writeFile(dir.file(badFolder + '/' + bad), 3));
        DiskScanner scanner;
        const auto outcome = scanner.scanNow(dir.str(), {});
        const FileNode* folder = child(outcome.root, badFolder.toStdString());
        QVERIFY(folder);
        const FileNode* file = folder->children()[0].get();
        QCOMPARE(QByteArray(file->nameBytes().data(), qsizetype(file->nameBytes().size())), bad);
        const std::string path = file->pathBytes();
        QCOMPARE(path, (dir.path() + '/' + badFolder + '/' + bad).toStdString());
        struct stat st;
        QCOMPARE(::lstat(path.c_str(), &st), 0); // the stored bytes reach the file
    }

    void aFolderThatCannotBeListedIsEmpty()
    {
        // The fixture must be reachable for the unprivileged user; the scratch folder may sit
        // under a private home, so this one lives in the system's temporary folder.
        ScratchDir dir(QDir::tempPath());
        QVERIFY(makeDir(dir.file("locked")));
        QVERIFY(writeFile(dir.file("locked/secret"), 4096));
        QVERIFY(writeFile(dir.file("visible"), 1));
        QCOMPARE(::chmod(dir.file("locked").constData(), 0), 0);

        // Root reads anything; switch the file-system identity of this thread to an
        // unprivileged user for the scan, which also drops the override capabilities.
        const bool root = ::geteuid() == 0;
        if (root) {
            if (::chmod(dir.path().constData(), 0755) != 0)
                QSKIP("cannot open the fixture to another user");
            ::setfsuid(65534);
            const bool dropped = int(::setfsuid(-1)) == 65534;
            // open() checks the file-system identity (access() would check the real one).
            const bool blocked = !canOpen(dir.file("locked"));
            const bool reachable = canOpen(dir.path());
            if (!dropped || !blocked || !reachable) {
                ::setfsuid(0);
                QSKIP("cannot act as an unprivileged user here (no setfsuid, or the scratch "
                      "folder is not reachable for user 65534)");
            }
        }
        DiskScanner scanner;
        const auto outcome = scanner.scanNow(dir.str(), {});
        if (root)
            ::setfsuid(0);
        const FileNode* locked = child(outcome.root, "locked");
        QVERIFY(locked && locked->isDirectory());
        QCOMPARE(locked->childCount(), 0u);
        QCOMPARE(locked->cachedSize(), 0);
        QCOMPARE(locked->cachedFileCount(), 0);
        QCOMPARE(locked->cachedDirCount(), 1);
        QCOMPARE(outcome.root->cachedFileCount(), 1);
    }

    void deepChainsBeyondPathMaxScanCompletely()
    {
        ScratchDir dir;
        const int depth = 5000;
        const std::string name(30, 'n');
        int fd = ::open(dir.path().constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(fd >= 0);
        for (int i = 0; i < depth; ++i) {
            QCOMPARE(::mkdirat(fd, name.c_str(), 0755), 0);
            const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
            QVERIFY(fd >= 0);
        }
        const int leaf = ::openat(fd, "leaf.txt", O_WRONLY | O_CREAT, 0644);
        QVERIFY(leaf >= 0);
        QCOMPARE(::write(leaf, "hello", 5), 5);
        ::close(leaf);
        ::close(fd);

        const int descriptorsBefore = openDescriptors();
        int mostOpen = 0;
        DiskScanner scanner;
        scanner.setClock(steppingClock(std::chrono::seconds(1))); // report at every folder
        const auto outcome = scanner.scanNow(dir.str(), [&](const ScanProgress&) {
            mostOpen = std::max(mostOpen, openDescriptors() - descriptorsBefore);
        });
        QCOMPARE(outcome.status, Status::completed);
        QCOMPARE(outcome.root->cachedDirCount(), depth + 1);
        QCOMPARE(outcome.root->cachedFileCount(), 1);
        QVERIFY(mostOpen <= 4);
        const FileNode* node = outcome.root.get();
        while (node->isDirectory())
            node = node->children()[0].get();
        QCOMPARE(std::string(node->nameBytes()), std::string("leaf.txt"));
        QVERIFY(node->pathBytes().size() > 150000);
        QCOMPARE(node->fileSize(), qint64(4096) * ((node->fileSize() + 4095) / 4096));
        QVERIFY(node->fileSize() > 0);
    }

    void wideAndDeepTreesStayWithinTheDescriptorLimit()
    {
        // Every level has two subfolders, so every level is waiting for its second one while
        // the first is walked; with a limit of 4 the scanner must close and reopen them.
        ScratchDir dir;
        const int depth = 40;
        QByteArray path = dir.path();
        for (int i = 0; i < depth; ++i) {
            QVERIFY(makeDir(path + "/second"));
            QVERIFY(writeFile(path + "/second/f", 1));
            QVERIFY(makeDir(path + "/first"));
            path += "/first";
        }
        const int descriptorsBefore = openDescriptors();
        int mostOpen = 0;
        DiskScanner scanner;
        scanner.setMaxOpenDirectories(4);
        scanner.setClock(steppingClock(std::chrono::seconds(1)));
        const auto outcome = scanner.scanNow(dir.str(), [&](const ScanProgress&) {
            mostOpen = std::max(mostOpen, openDescriptors() - descriptorsBefore);
        });
        QCOMPARE(outcome.root->cachedDirCount(), 2 * depth + 1);
        QCOMPARE(outcome.root->cachedFileCount(), depth);
        QVERIFY2(mostOpen <= 5, qPrintable(QString::number(mostOpen)));
    }

    void foldersThatVanishOrChangeDuringTheScan()
    {
        // The progress report for a folder comes after its listing and before its subfolders
        // are entered: the handler changes the disk in between.
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("gone")));
        QVERIFY(makeDir(dir.file("nowfile")));
        QVERIFY(makeDir(dir.file("stays")));
        QVERIFY(writeFile(dir.file("stays/x"), 1));
        bool changed = false;
        DiskScanner scanner;
        scanner.setClock(steppingClock(std::chrono::seconds(1)));
        const auto outcome = scanner.scanNow(dir.str(), [&](const ScanProgress&) {
            if (changed)
                return;
            changed = true;
            QCOMPARE(::rmdir(dir.file("gone").constData()), 0);
            QCOMPARE(::rmdir(dir.file("nowfile").constData()), 0);
            QVERIFY(writeFile(dir.file("nowfile"), 20000));
        });
        QVERIFY(changed);
        const FileNode* gone = child(outcome.root, "gone");
        QVERIFY(gone && !gone->isDirectory());
        QCOMPARE(gone->fileSize(), 0);
        QVERIFY(!gone->modificationDate());
        const FileNode* nowFile = child(outcome.root, "nowfile");
        QVERIFY(nowFile && !nowFile->isDirectory());
        QCOMPARE(nowFile->fileSize(), allocatedSize(dir.file("nowfile")));
        QCOMPARE(outcome.root->cachedFileCount(), 3);
        QCOMPARE(scanner.filesScanned(), 3);
    }

    void singleFilesAndMissingLocations()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("alone.dat"), 9000));
        DiskScanner scanner;
        Recorder recorder;
        const auto single = scanner.scanNow(dir.str() + "/alone.dat", recorder.handler());
        QVERIFY(!single.root->isDirectory());
        QCOMPARE(std::string(single.root->nameBytes()), std::string("alone.dat"));
        QCOMPARE(single.root->pathBytes(), dir.str() + "/alone.dat");
        QCOMPARE(single.root->fileSize(), allocatedSize(dir.file("alone.dat")));
        QCOMPARE(scanner.filesScanned(), 1);
        QCOMPARE(recorder.reports.size(), 1u);
        QCOMPARE(recorder.reports[0], ScanProgress::scanning(QStringLiteral("alone.dat"), 1));

        const auto missing = scanner.scanNow(dir.str() + "/nothing-here", {});
        QCOMPARE(missing.status, Status::completed);
        QVERIFY(!missing.root->isDirectory());
        QCOMPARE(std::string(missing.root->nameBytes()), std::string("nothing-here"));
        QCOMPARE(missing.root->fileSize(), 0);
        QVERIFY(!missing.root->modificationDate() && !missing.root->creationDate());
        QCOMPARE(scanner.filesScanned(), 1);

        // A trailing slash names the same folder.
        QVERIFY(makeDir(dir.file("f")));
        const auto slash = scanner.scanNow(dir.str() + "/f/", {});
        QCOMPARE(std::string(slash.root->nameBytes()), std::string("f"));
        QCOMPARE(slash.root->pathBytes(), dir.str() + "/f");
    }

    void progressIsThrottledAtFolderBoundaries()
    {
        // root (2 files) / a (1 file) / b / c: four boundaries, in this order.
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("r1"), 1));
        QVERIFY(writeFile(dir.file("r2"), 1));
        QVERIFY(makeDir(dir.file("a")));
        QVERIFY(writeFile(dir.file("a/one"), 1));
        QVERIFY(makeDir(dir.file("a/b")));
        QVERIFY(makeDir(dir.file("a/b/c")));

        using namespace std::chrono;
        // Readings: first at 10 s; +100 ms (held back); exactly +150 ms after the first
        // report (held back); +151 ms after it (reported).
        const std::vector<milliseconds> readings{10000ms, 10100ms, 10150ms, 10151ms};
        auto index = std::make_shared<std::size_t>(0);
        DiskScanner scanner;
        scanner.setClock(
            [readings, index] { return steady_clock::time_point(readings.at((*index)++)); });
        Recorder recorder;
        scanner.scanNow(dir.str(), recorder.handler());
        QCOMPARE(*index, readings.size());
        QCOMPARE(recorder.reports.size(), 2u);
        const QString rootName = QFileInfo(QString::fromLocal8Bit(dir.path())).fileName();
        QCOMPARE(recorder.reports[0], ScanProgress::scanning(rootName, 2));
        QCOMPARE(recorder.reports[1], ScanProgress::scanning(QStringLiteral("c"), 3));

        // A new scan reports its first boundary at once, even right after the last report.
        *index = 0;
        scanner.setClock([] { return steady_clock::time_point(10200ms); });
        Recorder second;
        scanner.scanNow(dir.str() + "/a/b", second.handler());
        QCOMPARE(second.reports.size(), 1u);
        QCOMPARE(second.reports[0], ScanProgress::scanning(QStringLiteral("b"), 0));
    }

    void cancellationStopsAtTheNextFolder()
    {
        ScratchDir dir;
        for (int i = 0; i < 20; ++i) {
            QVERIFY(makeDir(dir.file("d" + QByteArray::number(i))));
            QVERIFY(writeFile(dir.file("d" + QByteArray::number(i) + "/f"), 1));
        }
        DiskScanner scanner;
        scanner.setClock(steppingClock(std::chrono::seconds(1)));
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
        QVERIFY(makeDir(dir.file("stuck")));
        QVERIFY(writeFile(dir.file("stuck/f"), 1));
        QVERIFY(makeDir(dir.file("fine")));
        QVERIFY(writeFile(dir.file("fine/f"), 1));
        auto gate = std::make_shared<QSemaphore>();
        auto blocked = std::make_shared<std::atomic<bool>>(false);
        auto scanner = std::make_unique<DiskScanner>();
        scanner->setListingHook([gate, blocked](std::string_view folder) {
            if (folder == "stuck") {
                *blocked = true;
                gate->acquire();
            }
        });
        struct Finished {
            std::mutex mutex;
            std::vector<std::pair<std::string, Status>> scans;
            QThread* thread = nullptr;
        };
        auto finished = std::make_shared<Finished>();
        auto record = [finished](std::string name) {
            return [finished, name](DiskScanner::Outcome outcome) {
                std::lock_guard lock(finished->mutex);
                finished->scans.emplace_back(name, outcome.status);
                finished->thread = QThread::currentThread();
            };
        };
        auto scans = [finished] {
            std::lock_guard lock(finished->mutex);
            return finished->scans;
        };
        const CancellationToken first = CancellationToken::create();
        scanner->scan(dir.str() + "/stuck", {}, first, record("stuck"));
        QTRY_VERIFY(blocked->load());
        QCOMPARE(scanner->runningScans(), 1);
        first.cancel();
        scanner->scan(dir.str() + "/fine", {}, CancellationToken::create(), record("fine"));
        QTRY_COMPARE_WITH_TIMEOUT(scans().size(), size_t(1), 10000);
        QCOMPARE(scans().front(), std::make_pair(std::string("fine"), Status::completed));
        QVERIFY(finished->thread != QThread::currentThread());

        // Going away waits only briefly for the stuck one.
        QElapsedTimer timer;
        timer.start();
        scanner.reset();
        QVERIFY(timer.elapsed() < 2 * DiskScanner::kShutdownWait.count());
        // When the listing returns at last, the scan ends as cancelled.
        gate->release();
        QTRY_COMPARE(scans().size(), size_t(2));
        QCOMPARE(scans().back(), std::make_pair(std::string("stuck"), Status::cancelled));

        // A scan cancelled before it starts completes as cancelled, without a tree.
        DiskScanner other;
        const CancellationToken token = CancellationToken::create();
        token.cancel();
        std::atomic<int> status{-1};
        other.scan(dir.str(), {}, token, [&](DiskScanner::Outcome outcome) {
            status = outcome.root ? 99 : int(outcome.status);
        });
        QTRY_COMPARE(status.load(), int(Status::cancelled));
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
        QVERIFY(table.isPseudoFileSystem(0, 5));
        QVERIFY(table.isPseudoFileSystem(0, 44));
        QVERIFY(!table.isPseudoFileSystem(8, 1));
        QVERIFY(!table.isPseudoFileSystem(9, 9));
        QVERIFY(MountTable::isPseudoType("cgroup2"));
        QVERIFY(!MountTable::isPseudoType("tmpfs"));
    }

    void pseudoFileSystemsBelowTheRootAreNotEntered()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("proc")));
        QVERIFY(makeDir(dir.file("data")));
        QVERIFY(writeFile(dir.file("data/real"), 10));
        if (::mount("proc", dir.file("proc").constData(), "proc", 0, nullptr) != 0)
            QSKIP("mounting is not permitted here");
        DiskScanner scanner;
        const auto outcome = scanner.scanNow(dir.str(), {});
        ::umount2(dir.file("proc").constData(), MNT_DETACH);
        const FileNode* proc = child(outcome.root, "proc");
        QVERIFY(proc && proc->isDirectory());
        QCOMPARE(proc->childCount(), 0u);
        QCOMPARE(outcome.root->cachedFileCount(), 1);
    }

    void aPseudoFileSystemAtTheRootIsScanned()
    {
        // A tmpfs mount that the mount table calls "sysfs": skipped below the root, scanned
        // when it is the root.
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("m")));
        if (::mount("none", dir.file("m").constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("mounting is not permitted here");
        QVERIFY(writeFile(dir.file("m/inside"), 100));
        struct stat st;
        QCOMPARE(::stat(dir.file("m").constData(), &st), 0);
        ScratchDir info;
        QVERIFY(writeFile(info.file("mountinfo"), 0));
        QFile table(QString::fromLocal8Bit(info.file("mountinfo")));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.write(QStringLiteral("50 1 %1:%2 / /x rw - sysfs sysfs rw\n")
                        .arg(major(st.st_dev))
                        .arg(minor(st.st_dev))
                        .toUtf8());
        table.close();

        DiskScanner scanner;
        scanner.setMountInfoSource(info.file("mountinfo").toStdString());
        const auto below = scanner.scanNow(dir.str(), {});
        const auto atRoot = scanner.scanNow(dir.str() + "/m", {});
        ::umount2(dir.file("m").constData(), MNT_DETACH);
        QCOMPARE(child(below.root, "m")->childCount(), 0u);
        QCOMPARE(atRoot.root->childCount(), 1u);
        QCOMPARE(atRoot.root->cachedFileCount(), 1);
    }
};

QTEST_GUILESS_MAIN(DiskScannerTest)
#include "tst_diskscanner.moc"
