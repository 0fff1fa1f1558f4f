#include "TestSupport.h"
#include "services/BackgroundWork.h"
#include "services/DiskScanner.h"
#include "services/NcduWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/types.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <set>

using namespace plenvo;
using namespace plenvo::test;
using namespace std::chrono_literals;
using Status = DiskScanner::Outcome::Status;

namespace {

// Lays out entries below `dir` from a list such as "docs/ docs/a.txt:100 link->docs
// again=docs/a.txt": a folder, a file of that many bytes, a symbolic link, a hard link.
bool make(const ScratchDir& dir, const QByteArray& entries)
{
    for (const QByteArray& entry : entries.split(' ')) {
        const qsizetype arrow = entry.indexOf("->");
        const qsizetype equals = entry.indexOf('=');
        const qsizetype colon = entry.lastIndexOf(':');
        const bool made = entry.endsWith('/') ? makeDir(dir.file(entry.chopped(1)))
                          : arrow > 0         ? ::symlink(entry.mid(arrow + 2).constData(),
                                                          dir.file(entry.left(arrow)).constData()) == 0
                          : equals > 0        ? ::link(dir.file(entry.mid(equals + 1)).constData(),
                                                       dir.file(entry.left(equals)).constData()) == 0
                                              : writeFile(dir.file(entry.left(colon)),
                                                          entry.mid(colon + 1).toLongLong());
        if (!made)
            return false;
    }
    return true;
}

const FileNode* child(const FileNode* node, std::string_view name)
{
    for (const FileNode* c : node->children())
        if (c->nameBytes() == name)
            return c;
    return nullptr;
}

// Checks a scanned node against the disk, read independently: its kind; for a file its
// allocated size (0 for a further name of a file met before) and modification time; for a
// folder its own allocated size, and its files, then its folders, each in the order the file
// system lists them.
void compareWithDisk(const FileNode* node, std::set<std::pair<dev_t, ino_t>>& seen)
{
    const std::string path = node->pathBytes();
    struct stat st;
    QCOMPARE(::lstat(path.c_str(), &st), 0);
    QCOMPARE(node->isDirectory(), S_ISDIR(st.st_mode));
    if (!S_ISDIR(st.st_mode)) {
        const bool first = seen.insert({st.st_dev, st.st_ino}).second;
        QCOMPARE(node->fileSize(), first ? qint64(st.st_blocks) * 512 : 0);
        QCOMPARE(node->modificationDate().value_or(0) / 1000, qint64(st.st_mtim.tv_sec));
        return;
    }
    QCOMPARE(node->fileSize(), qint64(st.st_blocks) * 512);
    std::vector<std::string> files, folders, names;
    DIR* listing = ::opendir(path.c_str());
    QVERIFY(listing);
    while (const dirent* e = ::readdir(listing)) {
        if (::fstatat(::dirfd(listing), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            (S_ISDIR(st.st_mode) ? folders : files).push_back(e->d_name);
    }
    ::closedir(listing);
    files.insert(files.end(), folders.begin(), folders.end());
    for (const FileNode* c : node->children())
        names.emplace_back(c->nameBytes());
    QCOMPARE(names, files);
    for (const FileNode* c : node->children()) {
        compareWithDisk(c, seen);
        if (QTest::currentTestFailed())
            return;
    }
}

// Checks the tree of a stopped scan: each folder counts exactly what it holds in the tree; one
// that holds an unfinished folder is unfinished too; a finished folder is as on disk, all of
// it; an unfinished one holds only entries that are there, as they are.
void checkPartialTree(const FileNode* folder)
{
    std::int64_t size = 0, files = 0, folders = 1, own = folder->fileSize();
    bool unfinishedBelow = false;
    for (const FileNode* c : folder->children()) {
        size += c->cachedSize();
        files += c->cachedFileCount();
        folders += c->cachedDirCount();
        own += c->cachedFoldersOwnSize();
        unfinishedBelow |= c->isIncomplete();
        if (c->isDirectory())
            checkPartialTree(c);
        else
            QCOMPARE(c->fileSize(), allocatedSize(QByteArray::fromStdString(c->pathBytes())));
        if (QTest::currentTestFailed())
            return;
    }
    const QByteArray where = QByteArray::fromStdString(folder->pathBytes());
    QVERIFY2(size == folder->cachedSize() && files == folder->cachedFileCount() &&
                 folders == folder->cachedDirCount() && own == folder->cachedFoldersOwnSize(),
             where);
    QVERIFY2(!unfinishedBelow || folder->isIncomplete(), where);
    if (!folder->isIncomplete()) {
        std::set<std::pair<dev_t, ino_t>> seen;
        compareWithDisk(folder, seen);
    }
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

// Lays out a random tree below `dir` and returns what else the scan should meet: files, some
// with several names in several folders, empty folders, a folder of many files, a chain of
// folders deeper than what is read ahead, symbolic links, a FIFO, an unreadable folder; where
// mounting is permitted, a folder mounted a second time elsewhere and the tree mounted below
// itself. Returns the mount points to take away afterwards.
QByteArrayList makeRandomTree(const ScratchDir& dir, QRandomGenerator& random)
{
    QByteArrayList folders{""};
    QByteArrayList files;
    const auto in = [&](const QByteArray& folder, const QByteArray& name) {
        return folder.isEmpty() ? name : folder + '/' + name;
    };
    const int folderCount = 20 + int(random.bounded(60));
    for (int i = 0; i < folderCount; ++i) {
        const QByteArray path =
            in(folders[int(random.bounded(folders.size()))], "d" + QByteArray::number(i));
        if (makeDir(dir.file(path)))
            folders << path;
    }
    for (const QByteArray& folder : QByteArrayList(folders)) {
        const int count = random.bounded(8) == 0 ? 300 + int(random.bounded(400))
                                                 : int(random.bounded(12));
        for (int i = 0; i < count; ++i) {
            const QByteArray path = in(folder, "f" + QByteArray::number(i));
            if (writeFile(dir.file(path), random.bounded(3) == 0 ? 0 : random.bounded(20000)))
                files << path;
        }
    }
    for (int i = 0; i < 30 && !files.isEmpty(); ++i) {
        const QByteArray target = files[int(random.bounded(files.size()))];
        const QByteArray name =
            in(folders[int(random.bounded(folders.size()))], "h" + QByteArray::number(i));
        ::link(dir.file(target).constData(), dir.file(name).constData());
    }
    ::symlink("..", dir.file(in(folders.back(), "up")).constData());
    ::mkfifo(dir.file(in(folders.front(), "fifo")).constData(), 0644);
    QByteArray chain = in(folders[int(random.bounded(folders.size()))], "chain");
    for (int i = 0; i < 150 && makeDir(dir.file(chain)); ++i)
        chain += '/' + QByteArray(24, char('a' + i % 26));
    writeFile(dir.file(chain.left(chain.lastIndexOf('/')) + "/leaf"), 5000);
    const QByteArray locked = in(folders[int(random.bounded(folders.size()))], "locked");
    makeDir(dir.file(locked));
    writeFile(dir.file(locked + "/secret"), 4096);
    ::chmod(dir.file(locked).constData(), 0);

    QByteArrayList mounts;
    const QByteArray again = in(folders[int(random.bounded(folders.size()))], "again");
    const QByteArray loop = in(folders[int(random.bounded(folders.size()))], "loop");
    if (makeDir(dir.file(again)) &&
        ::mount(dir.file(folders[int(random.bounded(folders.size()))]).constData(),
                dir.file(again).constData(), nullptr, MS_BIND, nullptr) == 0)
        mounts << dir.file(again);
    if (makeDir(dir.file(loop)) && ::mount(dir.path().constData(), dir.file(loop).constData(),
                                           nullptr, MS_BIND, nullptr) == 0)
        mounts << dir.file(loop);
    return mounts;
}

// Scans as an unprivileged user when running as root, so that a folder without permissions
// cannot be listed; the threads of the scan act as the thread that starts it.
DiskScanner::Outcome scanUnprivileged(DiskScanner& scanner, const std::string& path)
{
    const bool root = ::geteuid() == 0;
    if (root)
        ::setfsuid(65534);
    DiskScanner::Outcome outcome = scanner.scanNow(path, {});
    if (root)
        ::setfsuid(0);
    return outcome;
}

} // namespace

class DiskScannerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Files before folders, hidden ones too; links are not followed; a file with several names
    // counts its space once; names that are not UTF-8 keep their bytes.
    void scansMatchTheDisk()
    {
        ScratchDir dir;
        QVERIFY(make(dir, "X/ Zeta/ .cache/ sub/ a:1 c.txt:10 .hidden:10 sub/big:100000 "
                          "sub/empty:0 target/ target/inside:5000 link->target dangling->missing "
                          "target/up->.. h/ h/data:100000 h/again=h/data sub/data=h/data "
                          "d\xFE\xFD/ d\xFE\xFD/caf\xE9\xFF.bin:3 X/a/ X/a/b/ X/a/b/one:1 "
                          "X/a/b/two=h/data X/c/ X/c/three=h/data"));
        DiskScanner scanner;
        DiskScanner::Outcome outcome;
        for (int threads : {16, 2, 1}) {
            scanner.setThreads(threads);
            outcome = scanner.scanNow(dir.str(), {});
            QCOMPARE(outcome.status, Status::completed);
            QCOMPARE(outcome.threads, threads);
            QCOMPARE(outcome.root->pathBytes(), dir.str());
            QCOMPARE(outcome.root->nameBytes(), dir.str().substr(dir.str().rfind('/') + 1));
            std::set<std::pair<dev_t, ino_t>> seen;
            compareWithDisk(outcome.root.get(), seen);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("with %1 threads").arg(threads)));
            QCOMPARE(scanner.filesScanned(), outcome.root->cachedFileCount());
            QVERIFY(outcome.existence->missingFiles().empty());
        }
        // The files' size and what the folders take themselves make du's total.
        QProcess du;
        du.start(QStringLiteral("du"), {QStringLiteral("-s"), QStringLiteral("-B1"),
                                        QString::fromLocal8Bit(dir.path())});
        QVERIFY(du.waitForFinished(20000));
        QVERIFY(outcome.root->cachedFoldersOwnSize() > 0);
        QCOMPARE(outcome.root->cachedSize() + outcome.root->cachedFoldersOwnSize(),
                 du.readAllStandardOutput().split('\t').front().toLongLong());

        // The scanned location itself may be a file, a link or missing.
        std::vector<ScanProgress> reports;
        const auto single =
            scanner.scanNow(dir.str() + "/a", [&](const ScanProgress& p) { reports.push_back(p); });
        QCOMPARE(single.root->pathBytes(), dir.str() + "/a");
        QCOMPARE(single.root->fileSize(), allocatedSize(dir.file("a")));
        QCOMPARE(scanner.filesScanned(), 1);
        QCOMPARE(reports, std::vector{ScanProgress::scanning(QStringLiteral("a"), 1)});
        QCOMPARE(scanner.scanNow(dir.str() + "/dangling", {}).root->fileSize(),
                 allocatedSize(dir.file("dangling")));
        const auto missing = scanner.scanNow(dir.str() + "/nothing-here", {});
        QCOMPARE(missing.status, Status::completed);
        QCOMPARE(missing.root->pathBytes(), dir.str() + "/nothing-here");
        QCOMPARE(missing.root->fileSize(), 0);
        QVERIFY(!missing.root->isDirectory());
        QVERIFY(!missing.root->modificationDate() && !missing.root->creationDate());
        // A trailing slash names the same folder; a link to a folder is followed when it is
        // the location itself, under the name given, but links below it are not.
        for (const auto& [location, name] : {std::pair{"/target/", "target"}, {"/link", "link"}}) {
            const NodeRef root = scanner.scanNow(dir.str() + location, {}).root;
            QCOMPARE(root->nameBytes(), name);
            QCOMPARE(root->pathBytes(), dir.str() + '/' + name);
            QCOMPARE(root->cachedSize(), allocatedSize(dir.file("target/inside")) +
                                             allocatedSize(dir.file("target/up")));
        }
    }

    // Threads that read ahead change nothing in what a scan produces: random trees give the
    // same export, byte for byte, whatever the number of threads, also where a folder is met
    // twice through a mount, a file has names in several folders, a folder cannot be listed,
    // or a chain of folders is too deep to be read ahead.
    void walkingInParallelChangesNothing()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        for (int round = 0; round < 3; ++round) {
            ScratchDir dir(QDir::tempPath());
            ::chmod(dir.path().constData(), 0755);
            const QByteArrayList mounts = makeRandomTree(dir, random);
            DiskScanner scanner;
            std::string expected;
            for (int threads : {1, 2, 3, 16, 2}) {
                scanner.setThreads(threads);
                const DiskScanner::Outcome outcome = scanUnprivileged(scanner, dir.str());
                QCOMPARE(outcome.status, Status::completed);
                const std::string text =
                    NcduWriter::toText(*outcome.root, outcome.facts.get(), {1, "test"});
                if (threads == 1)
                    expected = text;
                else if (text != expected)
                    QFAIL(qPrintable(QStringLiteral("seed %1, round %2: %3 threads differ")
                                         .arg(seed)
                                         .arg(round)
                                         .arg(threads)));
            }
            for (const QByteArray& mount : mounts)
                ::umount2(mount.constData(), MNT_DETACH);
            // The tree was what it should be: its many-file folders, its chain, its locked folder.
            QVERIFY(expected.find("\"leaf\"") != std::string::npos);
            QVERIFY(expected.find("\"secret\"") == std::string::npos || ::geteuid() != 0);
        }
    }

    void aFolderThatCannotBeListedIsEmpty()
    {
        // The fixture must be reachable for the unprivileged user; the scratch folder may sit
        // under a private home, so this one lives in the system's temporary folder.
        ScratchDir dir(QDir::tempPath());
        QVERIFY(make(dir, "locked/ locked/secret:4096 visible:1"));
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
        QVERIFY(locked && locked->isDirectory() && locked->childCount() == 0);
        QCOMPARE(outcome.root->cachedFileCount(), 1);
    }

    // A folder's descriptor is closed once its last subfolder is open, so a chain deeper than
    // PATH_MAX scans completely with few open. When every level waits for its second subfolder
    // while the first is walked, a limit of 4 closes the shallowest and reopens them later.
    void fewDescriptorsStayOpen()
    {
        ScratchDir deep;
        const int depth = 5000;
        const std::string name(30, 'n');
        int fd = ::open(deep.path().constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < depth && fd >= 0; ++i) {
            QCOMPARE(::mkdirat(fd, name.c_str(), 0755), 0);
            const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        const int leaf = ::openat(fd, "leaf.txt", O_WRONLY | O_CREAT, 0644);
        ::close(fd);
        QCOMPARE(::write(leaf, "hello", 5), 5);
        ::close(leaf);
        DiskScanner scanner;
        DiskScanner::Outcome outcome;
        QVERIFY(mostOpenDuring(scanner, deep.str(), outcome) <= 4);
        QCOMPARE(outcome.root->cachedDirCount(), depth + 1);
        const FileNode* node = outcome.root.get();
        while (node->isDirectory())
            node = node->children()[0];
        QCOMPARE(node->nameBytes(), "leaf.txt");
        QVERIFY(node->pathBytes().size() > 150000 && node->fileSize() > 0);

        ScratchDir wide;
        QByteArray path = wide.path();
        for (int i = 0; i < 40; ++i, path += "/first")
            QVERIFY(makeDir(path + "/second") && writeFile(path + "/second/f", 1) &&
                    makeDir(path + "/first"));
        scanner.setMaxOpenDirectories(4);
        const int most = mostOpenDuring(scanner, wide.str(), outcome);
        QVERIFY2(most <= 5, qPrintable(QString::number(most)));
        QCOMPARE(outcome.root->cachedDirCount(), 2 * 40 + 1);
        QCOMPARE(outcome.root->cachedFileCount(), 40);
    }

    void foldersThatVanishOrChangeDuringTheScan()
    {
        // The progress report for a folder comes after its listing and before its subfolders
        // are entered: the handler changes the disk in between.
        ScratchDir dir;
        QVERIFY(make(dir, "gone/ nowfile/ stays/ stays/x:1"));
        bool changed = false;
        DiskScanner scanner;
        scanner.setClock(steppingClock(1s));
        // Alone: threads reading ahead could have read the folders before the change.
        scanner.setThreads(1);
        const auto outcome = scanner.scanNow(dir.str(), [&](const ScanProgress&) {
            if (!std::exchange(changed, true))
                QVERIFY(::rmdir(dir.file("gone").constData()) == 0 &&
                        ::rmdir(dir.file("nowfile").constData()) == 0 &&
                        writeFile(dir.file("nowfile"), 20000));
        });
        const FileNode* gone = child(outcome.root.get(), "gone");
        QVERIFY(gone && !gone->isDirectory() && !gone->modificationDate() && gone->fileSize() == 0);
        const FileNode* nowFile = child(outcome.root.get(), "nowfile");
        QVERIFY(nowFile && !nowFile->isDirectory());
        QCOMPARE(nowFile->fileSize(), allocatedSize(dir.file("nowfile")));
        QCOMPARE(outcome.root->cachedFileCount(), 3);
        QCOMPARE(scanner.filesScanned(), 3);
    }

    void progressIsReportedAtFolderBoundaries()
    {
        // root (2 files) / a (1 file) / b / c: four boundaries, in this order.
        ScratchDir dir;
        QVERIFY(make(dir, "r1:1 r2:1 a/ a/one:1 a/b/ a/b/c/"));
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

        // Cancelled at a report, a scan stops at the next folder, without a tree.
        scanner.setClock(steppingClock(1s));
        reports.clear();
        const CancellationToken token = CancellationToken::create();
        const auto cancelled = scanner.scanNow(
            dir.str(),
            [&](const ScanProgress& p) {
                reports.push_back(p);
                if (reports.size() == 2)
                    token.cancel();
            },
            token);
        QCOMPARE(cancelled.status, Status::cancelled);
        QVERIFY(!cancelled.root);
        QCOMPARE(reports.size(), 2u);
    }

    void aStoppedScanKeepsWhatItRead_data()
    {
        QTest::addColumn<QByteArray>("stopAt");
        QTest::newRow("before a folder") << QByteArray("d1");
        QTest::newRow("within a long listing") << QByteArray("wide");
        QTest::newRow("deep") << QByteArray("inner");
    }

    // Stopped (here as a folder is about to be listed), a scan ends with what it read: the
    // folders it did not finish are marked, the folders above them too, and every folder
    // counts what the tree holds below it; finished folders are exact. A stop is heard within
    // a long listing too.
    void aStoppedScanKeepsWhatItRead()
    {
        QFETCH(QByteArray, stopAt);
        ScratchDir dir;
        QByteArray layout = "top:100 wide/";
        for (const char* d : {"d0", "d1", "d2"})
            layout += QByteArray(" ") + d + "/ " + d + "/a:3000 " + d + "/b:1 " + d + "/inner/ " +
                      d + "/inner/c:5000";
        QVERIFY(make(dir, layout));
        for (int i = 0; i < 600; ++i)
            QVERIFY(writeFile(dir.file("wide/w" + QByteArray::number(i)), 1));
        const qint64 onDisk = 1 + 600 + 3 * 3;

        DiskScanner scanner;
        const CancellationToken stop = CancellationToken::create();
        scanner.setListingHook([&](std::string_view folder) {
            if (folder == stopAt.toStdString())
                stop.cancel();
        });
        const DiskScanner::Outcome outcome = scanner.scanNow(dir.str(), {}, {}, stop);
        QCOMPARE(outcome.status, Status::stopped);
        QVERIFY(outcome.root && outcome.root->isIncomplete());
        QVERIFY(outcome.existence && outcome.facts);
        checkPartialTree(outcome.root.get());
        QVERIFY(outcome.root->cachedFileCount() < onDisk);
        if (stopAt == "wide") {
            const FileNode* wide = child(outcome.root.get(), "wide");
            QVERIFY(wide->isIncomplete());
            QVERIFY2(wide->childCount() > 0 && wide->childCount() < 600, qPrintable(QString::number(wide->childCount())));
        }
        // Nothing is kept of a cancelled scan, also one asked to stop.
        const CancellationToken token = CancellationToken::create();
        const CancellationToken alsoStop = CancellationToken::create();
        scanner.setListingHook([&](std::string_view folder) {
            if (folder == stopAt.toStdString()) {
                alsoStop.cancel();
                token.cancel();
            }
        });
        const DiskScanner::Outcome cancelled = scanner.scanNow(dir.str(), {}, token, alsoStop);
        QCOMPARE(cancelled.status, Status::cancelled);
        QVERIFY(!cancelled.root);
    }

    // Scans run as background jobs. One stuck in its listing, as on a network mount that
    // stopped answering, holds up neither the next scan nor the end of the work's owner.
    void aStuckScanHoldsUpNothing()
    {
        ScratchDir dir;
        QVERIFY(make(dir, "stuck/ stuck/f:1 fine/ fine/f:1"));
        auto gate = std::make_shared<QSemaphore>();
        auto blocked = std::make_shared<std::atomic<bool>>(false);
        DiskScanner scanner;
        scanner.setListingHook([gate, blocked](std::string_view folder) {
            if (folder == "stuck") {
                *blocked = true;
                gate->acquire();
            }
        });
        auto work = std::make_unique<BackgroundWork>();
        auto stuck = std::make_shared<std::atomic<int>>(-1); // its status once it ends
        auto fineThread = std::make_shared<std::atomic<QThread*>>(nullptr);
        const CancellationToken first =
            work->start([job = scanner.prepare(dir.str() + "/stuck", {}),
                         stuck](const CancellationToken& token) {
                const DiskScanner::Outcome outcome = job(token);
                *stuck = outcome.root ? -2 : int(outcome.status);
            });
        QTRY_VERIFY(blocked->load());
        QCOMPARE(work->running(), 1);
        first.cancel();
        work->start([job = scanner.prepare(dir.str() + "/fine", {}),
                     fineThread](const CancellationToken& token) {
            if (job(token).root)
                *fineThread = QThread::currentThread();
        });
        QTRY_VERIFY_WITH_TIMEOUT(fineThread->load(), 10000);
        QVERIFY(fineThread->load() != QThread::currentThread());
        QCOMPARE(stuck->load(), -1);
        QVERIFY(!work->waitUntilIdle(std::chrono::milliseconds(50)));

        // Going away waits only briefly for the stuck one.
        QElapsedTimer timer;
        timer.start();
        work.reset();
        QVERIFY(timer.elapsed() < 1000);
        // When the listing returns at last, the scan ends as cancelled, without a tree.
        gate->release();
        QTRY_COMPARE(stuck->load(), int(Status::cancelled));
    }

    // A helper stuck in a listing holds up neither a stop, which keeps what was read with the
    // stuck folder marked, nor a cancellation.
    void aStuckHelperHoldsUpNeitherStopNorCancel()
    {
        ScratchDir dir;
        QVERIFY(make(dir, "a/ a/f:1 stuck/ stuck/f:1 stuck/deeper/ z/ z/g:5000 top:1"));
        for (const bool stopping : {true, false}) {
            auto gate = std::make_shared<QSemaphore>();
            auto blocked = std::make_shared<std::atomic<bool>>(false);
            DiskScanner scanner;
            scanner.setThreads(2);
            scanner.setListingHook([gate, blocked](std::string_view folder) {
                if (folder == "stuck") {
                    *blocked = true;
                    gate->acquire();
                }
            });
            const CancellationToken stop = CancellationToken::create();
            auto outcome = std::make_shared<DiskScanner::Outcome>();
            auto ended = std::make_shared<std::atomic<bool>>(false);
            BackgroundWork work;
            const CancellationToken token = work.start(
                [job = scanner.prepare(dir.str(), {}, stop), outcome, ended](
                    const CancellationToken& token) {
                    *outcome = job(token);
                    *ended = true;
                });
            QTRY_VERIFY(blocked->load());
            (stopping ? stop : token).cancel();
            QTRY_VERIFY_WITH_TIMEOUT(ended->load(), 2000);
            QVERIFY(gate->available() == 0); // still stuck
            if (stopping) {
                QCOMPARE(outcome->status, Status::stopped);
                const FileNode* root = outcome->root.get();
                const FileNode* stuck = child(root, "stuck");
                QVERIFY(root->isIncomplete() && stuck && stuck->isIncomplete());
                QCOMPARE(stuck->childCount(), 0u);
                std::int64_t files = 0, size = 0;
                for (const FileNode* c : root->children()) {
                    files += c->cachedFileCount();
                    size += c->cachedSize();
                }
                QCOMPARE(root->cachedFileCount(), files);
                QCOMPARE(root->cachedSize(), size);
                QVERIFY(child(root, "top"));
            } else {
                QCOMPARE(outcome->status, Status::cancelled);
                QVERIFY(!outcome->root);
            }
            gate->release();
        }
    }

    // Below the scanned folder, proc is not entered, nor a folder mounted again below itself;
    // a tmpfs is, unless the mount table calls it "sysfs"; as the scanned location itself, even
    // that is read.
    void mountPoints()
    {
        ScratchDir dir;
        QVERIFY(make(dir, "proc/ m/ loop/"));
        if (::mount("proc", dir.file("proc").constData(), "proc", 0, nullptr) != 0)
            QSKIP("mounting is not permitted here");
        const bool mounted =
            ::mount("none", dir.file("m").constData(), "tmpfs", 0, "size=1m") == 0 &&
            ::mount(dir.path().constData(), dir.file("loop").constData(), nullptr, MS_BIND,
                    nullptr) == 0 &&
            writeFile(dir.file("m/inside"), 100);
        QByteArray lines = "not a mount\n"; // passed over
        for (const char* name : {"proc", "m"}) {
            struct stat st;
            ::stat(dir.file(name).constData(), &st);
            lines += "50 1 " + QByteArray::number(major(st.st_dev)) + ':' +
                     QByteArray::number(minor(st.st_dev)) + " / /x rw shared:1 - " +
                     (name[0] == 'p' ? "proc" : "sysfs") + " x rw\n";
        }
        const bool written =
            bool(std::ofstream(dir.file("mountinfo").constData()) << lines.constData());
        DiskScanner scanner;
        const auto real = scanner.scanNow(dir.str(), {});
        scanner.setMountInfoSource(dir.file("mountinfo").toStdString());
        const auto below = scanner.scanNow(dir.str(), {});
        const auto atRoot = scanner.scanNow(dir.str() + "/m", {});
        for (const char* name : {"loop", "m", "proc"})
            ::umount2(dir.file(name).constData(), MNT_DETACH);
        QVERIFY(mounted && written);
        QCOMPARE(child(real.root.get(), "proc")->childCount(), 0u);
        QCOMPARE(child(real.root.get(), "loop")->childCount(), 0u);
        QCOMPARE(child(real.root.get(), "m")->childCount(), 1u);
        QCOMPARE(child(below.root.get(), "m")->childCount(), 0u);
        QCOMPARE(atRoot.root->cachedFileCount(), 1);
    }
};

QTEST_GUILESS_MAIN(DiskScannerTest)
#include "tst_diskscanner.moc"
