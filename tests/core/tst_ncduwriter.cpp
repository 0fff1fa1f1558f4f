#include "NcduTreeDump.h"
#include "TestSupport.h"
#include "services/DiskScanner.h"
#include "services/NcduReader.h"
#include "services/NcduWriter.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace plenvo;
using namespace plenvo::test;

namespace {

NodeRef file(std::string_view name, qint64 size, FileNode::Timestamp modified = {})
{
    return FileNode::create(name, {}, false, size, modified, {});
}

NodeRef folder(std::string_view name, std::vector<NodeRef> children, std::string_view path = {})
{
    return FileNode::create(name, path, true, 0, {}, {}, std::move(children));
}

// A folder with what a scan can meet: a file with two names, a symbolic link, names that are
// not UTF-8 or hold what JSON escapes, an empty folder, a time before 1970.
void makeSample(const ScratchDir& dir)
{
    QVERIFY(writeFile(dir.file("top.txt"), 5000));
    QVERIFY(writeFile(dir.file("bad\xffname"), 1));
    QVERIFY(writeFile(dir.file("old.txt"), 1));
    const timespec times[2] = {{-86400, 0}, {-86400, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, dir.file("old.txt").constData(), times, 0), 0);
    QVERIFY(makeDir(dir.file("sub")));
    QVERIFY(makeDir(dir.file("sub/empty")));
    QVERIFY(writeFile(dir.file("sub/q\"uo\\te\nnew\x01"), 10));
    QCOMPARE(::link(dir.file("top.txt").constData(), dir.file("sub/link").constData()), 0);
    QCOMPARE(::symlink("../top.txt", dir.file("sub/sym").constData()), 0);
}

DiskScanner::Outcome scan(const ScratchDir& dir)
{
    DiskScanner scanner;
    return scanner.scanNow(dir.str(), {});
}

QByteArray runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

} // namespace

class NcduWriterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textOfATree()
    {
        NodeRef linked = file("h2", 0);
        NodeRef moved = folder("m", {linked});
        NodeRef first = file("h1", 8192);
        NodeRef proc = folder("proc", {});
        NodeRef bind = folder("bind", {});
        NodeRef symlink = file("lnk", 0, -1500);
        NodeRef unreadable = file("err", 0);
        NodeRef root = folder("P",
                              {file("a\"\\\n\x01\xff", 4096, 1600000000123), first, moved, proc,
                               bind, symlink, unreadable, file("z", 0)},
                              "/home/user/P");
        NodeFacts facts;
        facts.edit(root->id()) = {.device = 10, .hasDevice = true};
        facts.edit(first->id()) = {
            .device = 10, .inode = 7, .linkCount = 2, .hasDevice = true, .hardLinked = true};
        facts.edit(linked->id()) = facts.edit(first->id());
        facts.edit(moved->id()) = {.device = 11, .hasDevice = true};
        facts.edit(proc->id()) = {
            .device = 12, .hasDevice = true, .exclusion = NodeFacts::Exclusion::kernelFileSystem};
        facts.edit(bind->id()).exclusion = NodeFacts::Exclusion::otherFileSystem;
        facts.edit(symlink->id()).notRegular = true;
        facts.edit(unreadable->id()).readError = true;

        QCOMPARE(NcduWriter::toText(*root, &facts, {1700000000, "9.1"}),
                 "[1,2,{\"progname\":\"plenvo\",\"progver\":\"9.1\",\"timestamp\":1700000000},\n"
                 "[{\"name\":\"/home/user/P\",\"dev\":10},\n"
                 "{\"name\":\"a\\\"\\\\\\n\\u0001\xff\",\"dsize\":4096,\"mtime\":1600000000},\n"
                 "{\"name\":\"h1\",\"dsize\":8192,\"ino\":7,\"hlnkc\":true,\"nlink\":2},\n"
                 "[{\"name\":\"m\",\"dev\":11},\n"
                 "{\"name\":\"h2\",\"dsize\":8192,\"dev\":10,\"ino\":7,\"hlnkc\":true,"
                 "\"nlink\":2}],\n"
                 "[{\"name\":\"proc\",\"dev\":12,\"excluded\":\"kernfs\"}],\n"
                 "[{\"name\":\"bind\",\"excluded\":\"otherfs\"}],\n"
                 "{\"name\":\"lnk\",\"notreg\":true,\"mtime\":18446744073709551614},\n"
                 "{\"name\":\"err\",\"read_error\":true},\n"
                 "{\"name\":\"z\"}]]\n");
    }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("fileName");
        QTest::newRow("plain") << QByteArray("scan.json");
        QTest::newRow("gzip") << QByteArray("scan.json.gz");
    }

    // A scan, written and read again, is the same tree with the same facts.
    void roundTrip()
    {
        QFETCH(QByteArray, fileName);
        ScratchDir dir, out;
        makeSample(dir);
        const DiskScanner::Outcome scanned = scan(dir);
        const std::string path = out.file(fileName).toStdString();
        const NcduWriter::Outcome written =
            NcduWriter::writeFile(path, *scanned.root, scanned.facts.get(), {1700000000, "1"});
        QCOMPARE(written.status, NcduWriter::Outcome::Status::completed);
        QCOMPARE(written.entries, 9);
        QFile saved(QString::fromLocal8Bit(out.file(fileName)));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.read(2) == "\x1f\x8b", fileName.endsWith(".gz"));

        const NcduReader::Outcome read = NcduReader::readFile(path);
        QVERIFY2(read.root, qPrintable(read.error.message()));
        QCOMPARE(read.rootPath, dir.str());
        QCOMPARE(read.scanDate, std::optional<std::int64_t>(1700000000000));
        QCOMPARE(dumpTree(*read.root, read.facts.get()),
                 dumpTree(*scanned.root, scanned.facts.get()));
        QVERIFY(read.facts->size() >= 4); // root, two names of top.txt, the link
        QVERIFY(NcduReader::looksLikeExport(path));
        QVERIFY(!NcduReader::looksLikeExport(dir.file("top.txt").toStdString()));
        QCOMPARE(NcduReader::readFile(dir.str()).error.kind, NcduReader::ErrorKind::unreadable);
    }

    // A kernel pseudo file system and a folder mounted below itself are written as folders
    // that were not entered, as ncdu marks them.
    void foldersNotEnteredAreMarked()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("proc")) && makeDir(dir.file("b")) && makeDir(dir.file("b/loop")));
        if (::mount("proc", dir.file("proc").constData(), "proc", 0, nullptr) != 0)
            QSKIP("mounting is not permitted here");
        const bool bound = ::mount(dir.path().constData(), dir.file("b/loop").constData(), nullptr,
                                   MS_BIND, nullptr) == 0;
        const DiskScanner::Outcome scanned = scan(dir);
        ::umount2(dir.file("proc").constData(), MNT_DETACH);
        if (bound)
            ::umount2(dir.file("b/loop").constData(), MNT_DETACH);
        const std::string dump = dumpTree(*scanned.root, scanned.facts.get());
        const auto marked = [&](const char* pattern) {
            return QRegularExpression(pattern).match(QString::fromStdString(dump)).hasMatch();
        };
        QVERIFY2(marked("proc(@\\d+)?<dev\\d+ ex3>\\(\\)"), dump.c_str());
        QVERIFY2(!bound || marked("loop(@\\d+)?<ex2>\\(\\)"), dump.c_str());
        const NcduReader::Outcome read =
            NcduReader::readData(NcduWriter::toText(*scanned.root, scanned.facts.get(), {}));
        QCOMPARE(dumpTree(*read.root, read.facts.get()), dump);
    }

    void anUnfinishedExportLeavesTheFileAsItWas()
    {
        std::vector<NodeRef> files;
        for (int i = 0; i < 5000; ++i)
            files.push_back(file("f" + std::to_string(i), 1));
        const NodeRef root = folder("r", std::move(files), "/r");
        ScratchDir out;
        const QByteArray path = out.file("scan.json.gz");
        QFile previous(QString::fromLocal8Bit(path));
        QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write("before") == 6);
        previous.close();

        const CancellationToken token = CancellationToken::create();
        token.cancel();
        QCOMPARE(NcduWriter::writeFile(path.toStdString(), *root, nullptr, {}, token).status,
                 NcduWriter::Outcome::Status::cancelled);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), "before");
        previous.close();
        QCOMPARE(QDir(QString::fromLocal8Bit(out.path())).entryList(QDir::Files).size(), 1);

        QCOMPARE(
            NcduWriter::writeFile(out.file("missing/scan.json").toStdString(), *root, nullptr, {})
                .status,
            NcduWriter::Outcome::Status::failed);

        // A compressed export cut short is refused as such.
        QCOMPARE(NcduWriter::writeFile(path.toStdString(), *root, nullptr, {}).entries, 5001);
        QVERIFY(previous.open(QIODevice::ReadWrite) && previous.resize(previous.size() - 30));
        previous.close();
        QCOMPARE(NcduReader::readFile(path.toStdString()).error.kind,
                 NcduReader::ErrorKind::truncated);
    }

    // ncdu's export of a folder reads back with the totals of our own scan of it.
    void ncduExportHasOurTotals()
    {
        const QString ncdu = QStandardPaths::findExecutable(QStringLiteral("ncdu"));
        if (ncdu.isEmpty())
            QSKIP("ncdu is not installed (scripts/install-deps.sh test)");
        ScratchDir dir, out;
        makeSample(dir);
        const QString file = QString::fromLocal8Bit(out.file("ncdu.json"));
        runTool(ncdu, {QStringLiteral("-0"), QStringLiteral("-o"), file,
                       QString::fromLocal8Bit(dir.path())});
        const NcduReader::Outcome read =
            NcduReader::readFile(QFile::encodeName(file).toStdString());
        QVERIFY2(read.root, qPrintable(read.error.message()));
        const DiskScanner::Outcome scanned = scan(dir);
        QCOMPARE(read.root->cachedSize(), scanned.root->cachedSize());
        QCOMPARE(read.root->cachedFileCount(), scanned.root->cachedFileCount());
        QCOMPARE(read.root->cachedDirCount(), scanned.root->cachedDirCount());
        QCOMPARE(read.rootPath, dir.str());
    }

    // Our export, read by ncdu and written out again by it, is the same tree.
    void ncduReadsOurExport()
    {
        const QString ncdu = QStandardPaths::findExecutable(QStringLiteral("ncdu"));
        if (ncdu.isEmpty())
            QSKIP("ncdu is not installed (scripts/install-deps.sh test)");
        ScratchDir dir, out;
        makeSample(dir);
        const DiskScanner::Outcome scanned = scan(dir);
        const QByteArray ours = out.file("ours.json");
        QCOMPARE(NcduWriter::writeFile(ours.toStdString(), *scanned.root, scanned.facts.get(), {})
                     .status,
                 NcduWriter::Outcome::Status::completed);
        const QByteArray again =
            runTool(ncdu, {QStringLiteral("-e"), QStringLiteral("-f"), QString::fromLocal8Bit(ours),
                           QStringLiteral("-o"), QStringLiteral("-")});
        const NcduReader::Outcome read = NcduReader::readData(again.toStdString());
        QVERIFY2(read.root, qPrintable(read.error.message()));
        QCOMPARE(dumpTree(*read.root, read.facts.get()),
                 dumpTree(*scanned.root, scanned.facts.get()));
    }

    // gdu shows the names and sizes of our export's top level (it counts 4096 bytes for each
    // folder of an import, and marks hard links with H), and its total.
    void gduReadsOurExport()
    {
        const QString gdu = QStandardPaths::findExecutable(QStringLiteral("gdu"));
        if (gdu.isEmpty())
            QSKIP("gdu is not installed (scripts/install-deps.sh test)");
        ScratchDir dir, out;
        makeSample(dir);
        const DiskScanner::Outcome scanned = scan(dir);
        const QByteArray ours = out.file("ours.json");
        QCOMPARE(NcduWriter::writeFile(ours.toStdString(), *scanned.root, scanned.facts.get(), {})
                     .status,
                 NcduWriter::Outcome::Status::completed);
        const auto gduSize = [](const FileNode& node) {
            return node.cachedSize() + 4096 * node.cachedDirCount();
        };
        QStringList expected;
        for (const NodeRef& child : scanned.root->children())
            expected << QStringLiteral("%1 %2%3")
                            .arg(gduSize(*child))
                            .arg(child->isDirectory() ? QStringLiteral("/") : QString())
                            .arg(QString::fromUtf8(child->nameBytes().data(),
                                                   qsizetype(child->nameBytes().size())));
        const QStringList options{QStringLiteral("-n"), QStringLiteral("-p"),
                                  QStringLiteral("--no-prefix"), QStringLiteral("-f"),
                                  QString::fromLocal8Bit(ours)};
        QStringList shown;
        for (const QByteArray& line : runTool(gdu, options).split('\n'))
            if (!line.trimmed().isEmpty())
                shown << QString::fromUtf8(line.trimmed())
                             .replace(QRegularExpression("\\s+"), QStringLiteral(" "))
                             .remove(QRegularExpression("^\\D+ ")); // a flag: H, @ ...
        expected.sort();
        shown.sort();
        QCOMPARE(shown, expected);
        const QByteArray total = runTool(gdu, QStringList{QStringLiteral("-s")} + options);
        QCOMPARE(total.trimmed().split(' ').front().toLongLong(), gduSize(*scanned.root));
    }
};

QTEST_GUILESS_MAIN(NcduWriterTest)
#include "tst_ncduwriter.moc"
