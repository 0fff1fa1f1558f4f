// The export format: what the reader makes of a text and what it refuses, the writer's text,
// scans written and read again, also by ncdu and gdu.

#include "NcduTreeDump.h"
#include "TestSupport.h"
#include "services/DiskScanner.h"
#include "services/NcduReader.h"
#include "services/NcduWriter.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;
using Kind = NcduReader::ErrorKind;
using Status = NcduReader::Outcome::Status;
using Written = NcduWriter::Outcome::Status;

Q_DECLARE_METATYPE(NcduReader::ErrorKind)

namespace {

QByteArray exportOf(const QByteArray& tree)
{
    return "[1,2,{\"progname\":\"t\",\"timestamp\":1700000000},\n" + tree + "]";
}

NcduReader::Outcome read(const QByteArray& text, std::size_t chunkSize = 0)
{
    return NcduReader::readData(std::string_view(text.constData(), std::size_t(text.size())), {},
                                {}, chunkSize);
}

// The tree read, or why there is none.
QByteArray dumpOf(const NcduReader::Outcome& read)
{
    return read.root ? QByteArray::fromStdString(dumpTree(*read.root, read.facts.get()))
                     : read.error.message().toUtf8();
}

// An export of a folder with `count` empty files.
QByteArray manyFiles(int count)
{
    QByteArray tree = R"([{"name":"/r"})";
    for (int i = 0; i < count; ++i)
        tree += ",{\"name\":\"f" + QByteArray::number(i) + "\"}";
    return exportOf(tree + ']');
}

// A name holding every byte below 0x20 but '\0', and DEL.
QByteArray controlName()
{
    QByteArray name = "c";
    for (char c = 1; c < 0x20; ++c)
        name += c;
    return name + '\x7f';
}

// A folder with what a scan can meet: a file with two names, a symbolic link, names that are
// not UTF-8 or hold what JSON escapes (every control byte), an empty folder, a time before 1970.
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
    QVERIFY(writeFile(dir.file("sub/" + controlName()), 3));
    QCOMPARE(::link(dir.file("top.txt").constData(), dir.file("sub/link").constData()), 0);
    QCOMPARE(::symlink("../top.txt", dir.file("sub/sym").constData()), 0);
}

// The sample folder, its scan, and the scan written out.
struct Sample {
    explicit Sample(const QByteArray& name = "ours.json", const NcduWriter::Options& options = {})
        : ours(out.file(name))
    {
        makeSample(dir);
        scanned = DiskScanner().scanNow(dir.str(), {});
        written =
            NcduWriter::writeFile(ours.toStdString(), *scanned.root, scanned.facts.get(), options);
    }
    QByteArray dump() const
    {
        return QByteArray::fromStdString(dumpTree(*scanned.root, scanned.facts.get()));
    }

    ScratchDir dir, out;
    QByteArray ours;
    DiskScanner::Outcome scanned;
    NcduWriter::Outcome written;
};

// The inodes of the folders of a tree, in depth-first order.
QList<quint64> folderInodes(const FileNode& root)
{
    QList<quint64> inodes;
    std::vector<const FileNode*> pending{&root};
    while (!pending.empty()) {
        const FileNode* node = pending.back();
        pending.pop_back();
        if (!node->isDirectory())
            continue;
        inodes << node->inode();
        for (const FileNode* child : node->children())
            pending.push_back(child);
    }
    return inodes;
}

// The location of every entry of a tree, sorted.
std::vector<std::string> pathsOf(const FileNode& root)
{
    std::vector<std::string> paths{root.pathBytes()};
    for (const FileNode* child : root.children()) {
        const std::vector<std::string> below = pathsOf(*child);
        paths.insert(paths.end(), below.begin(), below.end());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
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

class NcduExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void trees_data()
    {
        QTest::addColumn<QByteArray>("tree");     // the export's root element
        QTest::addColumn<QByteArray>("expected"); // see dumpTree
        const auto row = [](const char* name, const QByteArray& tree, const QByteArray& expected) {
            QTest::newRow(name) << tree << expected;
        };
        row("dsize, else 0 (not asize)",
            R"([{"name":"/r"},{"name":"d","dsize":10,"asize":3},{"name":"a","asize":7},)"
            R"({"name":"z"}])",
            "r(d:10,a:0,z:0)");
        row("a folder's own dsize is kept apart, in whole blocks",
            R"([{"name":"/r","dsize":4096},[{"name":"s","dsize":4096},{"name":"f","dsize":1}],)"
            R"([{"name":"e","dsize":1}],[{"name":"x","dsize":8,"excluded":"pattern"}],)"
            R"([{"name":"h","dsize":9223372036854775807}]])",
            "r:4096(s:4096(f:1),e:512(),x<ex1>(),h:2199023255040())");
        row("hard links count once per device and inode",
            R"([{"name":"/r","dev":1},{"name":"a","dsize":8,"ino":5,"hlnkc":true,"nlink":2},)"
            R"([{"name":"s"},{"name":"b","dsize":8,"ino":5,"hlnkc":true}],)"
            R"([{"name":"m","dev":2},{"name":"c","dsize":8,"ino":5,"nlink":3}],)"
            R"({"name":"i","dsize":8,"ino":5}])",
            "r<dev1>(a:8<dev1 ino5/2>,s(b:0<dev1 ino5/0>),m<dev2>(c:8<dev2 ino5/3>),i:8)");
        row("excluded, not regular and unreadable entries",
            R"([{"name":"/r"},[{"name":"o","excluded":"otherfs"}],)"
            R"([{"name":"k","excluded":"kernfs","dev":3}],)"
            R"({"name":"p","dsize":5,"excluded":"pattern"},)"
            R"({"name":"l","dsize":4096,"notreg":true},{"name":"u","dsize":9,"read_error":true},)"
            R"([{"name":"v","read_error":true},{"name":"w","dsize":2}]])",
            "r(o<ex2>(),k<dev3 ex3>(),p:0<ex1>,l:4096<nreg>,u:0<err>,v<err>(w:2))");
        row("mtime in seconds; two's complement before 1970; beyond any date",
            R"([{"name":"/r","mtime":7},{"name":"a","mtime":1600000000},)"
            R"({"name":"b","mtime":18446744073709551615},)"
            R"({"name":"c","mtime":18446744073709551},{"name":"d","mtime":0}])",
            "r@7(a:0@1600000000,b:0@-1,c:0,d:0@0)");
        row("escapes",
            "[{\"name\":\"\\/"
            "r\"},{\"name\":\"q\\\"\\\\\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\\u20AC\"}]",
            "r(q\"\\\b\f\n\r\t\xc3\xa9\xf0\x9f\x98\x80\xe2\x82\xac:0)");
        row("bytes that are not UTF-8 stay as they are",
            "[{\"name\":\"/r\xff\"},{\"name\":\"\xff\xfe\xc3\"}]", "r\xff(\xff\xfe\xc3:0)");
        row("white space, unknown fields, later additions",
            " \r\n\t[ {\"uid\":0,\"x\":{\"a\":[1,-2.5e+3,{\"b\":null}],\"c\":\"\"},"
            "\"name\" : \"/r\" } , { \"name\" :\"a\",\"dsize\": 1 } ]\n,{\"more\":1}",
            "r(a:1)");
        row("a file as the root", R"({"name":"/r/f","dsize":3})", "f:3");
        row("the root folder", R"([{"name":"/"},{"name":"a","dsize":1}])", "/(a:1)");
        row("a name repeats in other folders, or in another case",
            R"([{"name":"/r"},[{"name":"a"},{"name":"x"}],[{"name":"b"},[{"name":"x"}]],)"
            R"({"name":"x"},{"name":"X"}])",
            "r(a(x:0),b(x()),x:0,X:0)");
    }

    // Each export is also read in pieces of 1 and 3 bytes, across every boundary of the buffer.
    void trees()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QByteArray, expected);
        for (std::size_t chunk : {0, 1, 3}) {
            const NcduReader::Outcome outcome = read(exportOf(tree), chunk);
            QCOMPARE(dumpOf(outcome), expected);
            QCOMPARE(outcome.entries,
                     outcome.root->cachedFileCount() + outcome.root->cachedDirCount());
        }
    }

    void theRootKeepsItsLocationAndTheScanItsDate()
    {
        const NcduReader::Outcome outcome =
            read(exportOf(R"([{"name":"/srv/data/"},[{"name":"d"},{"name":"f"}]])"));
        QCOMPARE(outcome.rootPath, "/srv/data/");
        QCOMPARE(outcome.scanDate, std::optional<std::int64_t>(1700000000000));
        QCOMPARE(outcome.root->nameBytes(), "data");
        QCOMPARE(outcome.root->children()[0]->children()[0]->pathBytes(), "/srv/data/d/f");
        QCOMPARE(read(R"([1,0,{"timestamp":"soon"},[{"name":"/r"}]])").scanDate, std::nullopt);
    }

    void badInput_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("offset"); // -1: not checked
        const auto row = [](const char* name, const QByteArray& text, Kind kind, int offset = -1) {
            QTest::newRow(name) << text << kind << offset;
        };
        const auto entry = [](const QByteArray& fields) {
            return exportOf(R"([{"name":"/r"},{)" + fields + "}]");
        };
        row("empty", "  \n", Kind::notAnExport);
        row("an object", "{}", Kind::notAnExport, 0);
        row("no version", "[\"x\"]", Kind::notAnExport, 1);
        row("binary export", "\xbfncduEX1", Kind::notAnExport);
        row("major version 2", "[2,0,{},[{\"name\":\"/r\"}]]", Kind::unsupportedVersion, 1);
        row("version beyond 10000", "[1,10001,{},[{\"name\":\"/r\"}]]", Kind::outOfRange, 3);
        // Cut short at every byte: everyPrefixIsTruncated.
        row("truncated", exportOf(R"([{"name":"/r"},{"name":"a")").chopped(1), Kind::truncated);
        row("trailing garbage", exportOf(R"([{"name":"/r"}])") + " x", Kind::trailingGarbage);
        row("a second top-level value", exportOf(R"([{"name":"/r"}])") + "[]",
            Kind::trailingGarbage);
        row("negative size", entry(R"("name":"a","dsize":-1)"), Kind::negativeSize);
        row("size of 2^63", entry(R"("name":"a","asize":9223372036854775808)"), Kind::outOfRange);
        row("dev of 2^64", entry(R"("name":"a","dev":18446744073709551616)"), Kind::outOfRange);
        row("nlink of 2^32", entry(R"("name":"a","nlink":4294967296)"), Kind::outOfRange);
        row("mtime below -2^63", entry(R"("name":"a","mtime":-9223372036854775809)"),
            Kind::outOfRange);
        row("sizes that add up to 2^63",
            exportOf(R"([{"name":"/r"},{"name":"a","dsize":9223372036854775807},)"
                     R"({"name":"b","dsize":1}])"),
            Kind::outOfRange);
        row("no name", entry(R"("dsize":1)"), Kind::missingName);
        row("empty name", entry(R"("name":"")"), Kind::badName);
        row("name with a slash", entry(R"("name":"a/b")"), Kind::badName);
        row("name .", entry(R"("name":".")"), Kind::badName);
        row("name ..", exportOf(R"([{"name":"/r"},[{"name":".."}]])"), Kind::badName);
        row("name with a null byte", entry(R"("name":"a\u0000")"), Kind::badName);
        row("name of 65536 bytes", entry("\"name\":\"" + QByteArray(65536, 'n') + '"'),
            Kind::badName);
        // Refused at the second entry's info object.
        const auto twice = [&](const char* name, const QByteArray& tree) {
            const QByteArray text = exportOf(tree);
            row(name, text, Kind::duplicateName, int(text.lastIndexOf(R"({"name":"a"})")));
        };
        twice("two files of one name", R"([{"name":"/r"},{"name":"a"},{"name":"a"}])");
        twice("a folder named as a file before it",
              R"([{"name":"/r"},{"name":"a"},[{"name":"b"}],[{"name":"a"}]])");
        twice("a file named as a folder before it",
              R"([{"name":"/r"},[{"name":"a"},{"name":"f"}],{"name":"a"}])");
        row("name that is a number", entry(R"("name":5)"), Kind::badValue);
        row("size that is a string", entry(R"("name":"a","dsize":"5")"), Kind::badValue);
        row("size with a fraction", entry(R"("name":"a","dsize":1.5)"), Kind::badValue);
        row("flag that is a number", entry(R"("name":"a","hlnkc":1)"), Kind::badValue);
        row("folder without its info", exportOf("[[]]"), Kind::syntax);
        row("a number as an entry", exportOf(R"([{"name":"/r"},5])"), Kind::syntax);
        row("missing comma", exportOf(R"([{"name":"/r"}{"name":"a"}])"), Kind::syntax);
        row("control character in a string", entry("\"name\":\"a\tb\""), Kind::syntax);
        row("half a surrogate pair", entry(R"("name":"\ud800x")"), Kind::syntax);
        row("unknown escape", entry(R"("name":"\q")"), Kind::syntax);
        row("leading zero", entry(R"("name":"a","dsize":01)"), Kind::syntax);
        row("unknown word", entry(R"("name":"a","hlnkc":tru)"), Kind::syntax);
    }

    void badInput()
    {
        QFETCH(QByteArray, text);
        QFETCH(Kind, kind);
        QFETCH(int, offset);
        const NcduReader::Outcome outcome = read(text);
        QCOMPARE(outcome.status, Status::failed);
        QVERIFY(!outcome.root);
        QCOMPARE(outcome.error.kind, kind);
        QVERIFY(!outcome.error.message().isEmpty());
        if (offset >= 0)
            QCOMPARE(outcome.error.offset, offset);
    }

    // Every proper prefix of an export is refused, and says where it ends.
    void everyPrefixIsTruncated()
    {
        const QByteArray text = exportOf(R"([{"name":"/r\u00e9"},[{"name":"s"},{"name":"a",)"
                                         R"("dsize":12,"mtime":-1,"hlnkc":false}],{"name":"b"}])");
        QVERIFY(read(text).root);
        for (qsizetype length = 1; length < text.size(); ++length) {
            const NcduReader::Outcome outcome = read(text.left(length));
            QCOMPARE(outcome.error.kind, Kind::truncated);
            QCOMPARE(outcome.error.offset, length);
        }
    }

    void anyNestingDepth()
    {
        constexpr int kDepth = 100000;
        QByteArray text = "[1,2,{\"deep\":" + QByteArray(kDepth, '[') + QByteArray(kDepth, ']') +
                          "},[{\"name\":\"/r\"}";
        for (int i = 0; i < kDepth; ++i)
            text += ",[{\"name\":\"d\"}";
        text += QByteArray(kDepth + 1, ']') + ']';
        const NcduReader::Outcome outcome = read(text);
        QVERIFY2(outcome.root, qPrintable(outcome.error.message()));
        QCOMPARE(outcome.root->cachedDirCount(), kDepth + 1);
        const FileNode* node = outcome.root.get();
        while (node->childCount())
            node = node->children()[0];
        QCOMPARE(node->pathBytes().size(), std::size_t(2 + 2 * kDepth));
    }

    void progressAndCancellation()
    {
        const std::string text = manyFiles(5000).toStdString();
        std::vector<ScanProgress> reports;
        const auto record = [&](const ScanProgress& p) { reports.push_back(p); };
        QCOMPARE(NcduReader::readData(text, record).entries, 5001);
        QVERIFY(!reports.empty());
        QCOMPARE(reports.front(), ScanProgress::scanning(QStringLiteral("r"), 1));

        const CancellationToken token = CancellationToken::create();
        const NcduReader::Outcome cancelled = NcduReader::readData(
            text, [&](const ScanProgress&) { token.cancel(); }, token);
        QCOMPARE(cancelled.status, Status::cancelled);
        QVERIFY(!cancelled.root);
    }

    // What the fuzzer found, and its corpus: each input is read (or refused) and whatever is
    // read is written and read again to the same tree.
    void fuzzerFindings()
    {
        int count = 0;
        for (const char* folder : {"corpus", "regressions"})
            for (QDirIterator it(QT_TESTCASE_SOURCEDIR "/../../fuzz/"_L1 + QLatin1String(folder),
                                 QDir::Files);
                 it.hasNext(); ++count) {
                const std::string path = QFile::encodeName(it.next()).toStdString();
                const NcduReader::Outcome outcome = NcduReader::readFile(path);
                QVERIFY2(outcome.root ||
                             (outcome.error.kind != Kind::none && !outcome.error.detail.empty()),
                         path.c_str());
                if (outcome.root)
                    QCOMPARE(dumpOf(NcduReader::readData(
                                 NcduWriter::toText(*outcome.root, outcome.facts.get(), {}))),
                             dumpOf(outcome));
            }
        QVERIFY2(count > 0, "no inputs in fuzz/corpus");
    }

    // The writer's text, to the byte: the tree read from it is written as the same text.
    void textOfATree()
    {
        const QByteArray text =
            "[1,2,{\"progname\":\"plenvo\",\"progver\":\"9.1\",\"timestamp\":1700000000},\n"
            "[{\"name\":\"/home/user/P\",\"dev\":10},\n"
            "{\"name\":\"a\\\"\\\\\\n\\u0001\xff\",\"dsize\":4096,\"mtime\":1600000000},\n"
            "{\"name\":\"h1\",\"dsize\":8192,\"ino\":7,\"hlnkc\":true,\"nlink\":2},\n"
            "[{\"name\":\"m\",\"dev\":11},\n"
            "{\"name\":\"h2\",\"dsize\":8192,\"dev\":10,\"ino\":7,\"hlnkc\":true,\"nlink\":2}],\n"
            "[{\"name\":\"proc\",\"dev\":12,\"excluded\":\"kernfs\"}],\n"
            "[{\"name\":\"bind\",\"excluded\":\"otherfs\"}],\n"
            "{\"name\":\"lnk\",\"notreg\":true,\"mtime\":18446744073709551614},\n"
            "{\"name\":\"err\",\"read_error\":true},\n"
            "{\"name\":\"z\"}]]\n";
        const NcduReader::Outcome tree = read(text);
        QVERIFY2(tree.root, qPrintable(tree.error.message()));
        QCOMPARE(NcduWriter::toText(*tree.root, tree.facts.get(), {1700000000, "9.1"}),
                 text.toStdString());
        // Times in milliseconds are written in whole seconds, rounded down also before 1970.
        const NodeRef times =
            FileNode::create("t", "/t", true, 0, {}, {},
                             {FileNode::create("a", {}, false, 0, 1600000000999, {}),
                              FileNode::create("b", {}, false, 0, -1500, {})});
        QCOMPARE(dumpOf(NcduReader::readData(NcduWriter::toText(*times, nullptr, {}))),
                 "t(a:0@1600000000,b:0@-2)");
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
        const Sample sample(fileName, {1700000000, "1"});
        QCOMPARE(sample.written.status, Written::completed);
        QCOMPARE(sample.written.entries, 10);
        const std::string path = sample.ours.toStdString();
        QCOMPARE(std::ifstream(path).get() == 0x1f, fileName.endsWith(".gz")); // gzip's magic
        const NcduReader::Outcome read = NcduReader::readFile(path);
        QCOMPARE(dumpOf(read), sample.dump());
        QCOMPARE(read.rootPath, sample.dir.str());
        QCOMPARE(read.scanDate, std::optional<std::int64_t>(1700000000000));
        // Folders keep their inodes, so that they can be found again under another name.
        const QList<quint64> inodes = folderInodes(*sample.scanned.root);
        QVERIFY(!inodes.contains(0));
        QCOMPARE(folderInodes(*read.root), inodes);
        QVERIFY(NcduReader::looksLikeExport(path));
        QVERIFY(!NcduReader::looksLikeExport(sample.dir.file("top.txt").toStdString()));
    }

    // A stopped scan says so, and marks each folder it did not finish; ncdu is shown where it
    // stopped as where reading failed ("!", and "." above). Read back, the marks are the same
    // and those read errors are none.
    void stoppedScansKeepTheirMarks()
    {
        const auto folder = [](const char* name, std::vector<NodeRef> children, bool incomplete) {
            NodeRef node = FileNode::create(name, {}, true, 0, {}, {}, std::move(children));
            node->setIncomplete(incomplete);
            return node;
        };
        const auto file = [](const char* name) {
            return FileNode::create(name, {}, false, 4096, {}, {});
        };
        std::vector<NodeRef> top;
        top.push_back(file("f"));
        top.push_back(folder("done", {}, false));
        top.push_back(folder("cut", {}, true));
        top.push_back(folder("mid", {}, true));
        NodeRef root = FileNode::create("r", "/r", true, 0, {}, {}, std::move(top));
        root->setIncomplete(true);
        std::vector<NodeRef> pending;
        pending.push_back(folder("pend", {}, true));
        NodeRef mid(root->children()[3]);
        root->removeChild(*mid);
        root->addChild(folder("mid", std::move(pending), true));
        const std::string text = NcduWriter::toText(*root, nullptr, {1700000000, "1", true});
        QCOMPARE(text, "[1,2,{\"progname\":\"plenvo\",\"progver\":\"1\",\"timestamp\":"
                       "1700000000,\"stopped\":true},\n"
                       "[{\"name\":\"/r\",\"incomplete\":true},\n"
                       "{\"name\":\"f\",\"dsize\":4096},\n"
                       "[{\"name\":\"done\"}],\n"
                       "[{\"name\":\"cut\",\"read_error\":true,\"incomplete\":true}],\n"
                       "[{\"name\":\"mid\",\"incomplete\":true},\n"
                       "[{\"name\":\"pend\",\"read_error\":true,\"incomplete\":true}]]]]\n");
        const NcduReader::Outcome back = NcduReader::readData(text);
        QVERIFY(back.stopped);
        QCOMPARE(dumpOf(back), "r<inc>(f:4096,done(),cut<inc>(),mid<inc>(pend<inc>()))");
        QVERIFY(!read(exportOf(R"([{"name":"/r"}])")).stopped);
        // A real read error where the scan stopped above stays one.
        QCOMPARE(dumpOf(read(exportOf(R"([{"name":"/r","incomplete":true,"read_error":true},)"
                                      R"([{"name":"p","incomplete":true}]])"))),
                 "r<inc err>(p<inc>())");

        // A scan stopped part way, written and read again by us, by ncdu and by gdu.
        ScratchDir dir, out;
        QVERIFY(makeDir(dir.file("a")) && makeDir(dir.file("b")) && makeDir(dir.file("b/c")));
        QVERIFY(writeFile(dir.file("a/x"), 5000) && writeFile(dir.file("b/y"), 5000) &&
                writeFile(dir.file("b/c/z"), 5000));
        DiskScanner scanner;
        const CancellationToken stop = CancellationToken::create();
        scanner.setListingHook([&](std::string_view name) {
            if (name == "b")
                stop.cancel();
        });
        const DiskScanner::Outcome scanned = scanner.scanNow(dir.str(), {}, {}, stop);
        QCOMPARE(scanned.status, DiskScanner::Outcome::Status::stopped);
        const QByteArray ours = out.file("stopped.json"); // ncdu reads plain text
        QCOMPARE(NcduWriter::writeFile(ours.toStdString(), *scanned.root, scanned.facts.get(),
                                       {1700000000, "1", true})
                     .status,
                 Written::completed);
        const NcduReader::Outcome again = NcduReader::readFile(ours.toStdString());
        QCOMPARE(dumpOf(again), QByteArray::fromStdString(dumpTree(*scanned.root,
                                                                   scanned.facts.get())));
        QVERIFY(again.stopped && NcduReader::readHeader(ours.toStdString()).stopped);

        const QString ncdu = QStandardPaths::findExecutable(u"ncdu"_s);
        if (!ncdu.isEmpty()) {
            // What ncdu writes back: the same tree, where the scan stopped as read errors.
            const NcduReader::Outcome theirs = NcduReader::readData(
                runTool(ncdu, {u"-f"_s, QString::fromLocal8Bit(ours), u"-o"_s, u"-"_s})
                    .toStdString());
            QVERIFY2(theirs.root, qPrintable(theirs.error.message()));
            QVERIFY(!theirs.stopped);
            std::vector<std::pair<const FileNode*, const FileNode*>> pairs{
                {scanned.root.get(), theirs.root.get()}};
            while (!pairs.empty()) {
                const auto [mine, its] = pairs.back();
                pairs.pop_back();
                const NodeFacts::Facts* facts = theirs.facts->find(its->id());
                const bool stoppedHere =
                    mine->isIncomplete() &&
                    std::ranges::none_of(mine->children(),
                                         [](const FileNode* c) { return c->isIncomplete(); });
                QCOMPARE(its->nameBytes(), mine->nameBytes());
                QCOMPARE(its->cachedSize(), mine->cachedSize());
                QCOMPARE(facts && facts->readError, stoppedHere);
                QCOMPARE(its->childCount(), mine->childCount());
                for (std::size_t i = 0; i < mine->childCount(); ++i)
                    pairs.push_back({mine->children()[i], its->children()[i]});
            }
        }
        const QString gdu = QStandardPaths::findExecutable(u"gdu"_s);
        if (!gdu.isEmpty()) {
            const QByteArray total = runTool(
                gdu, {u"-s"_s, u"-n"_s, u"-p"_s, u"--no-prefix"_s, u"-f"_s,
                      QString::fromLocal8Bit(ours)});
            QCOMPARE(total.trimmed().split(' ').front().toLongLong(),
                     scanned.root->cachedSize() + 4096 * scanned.root->cachedDirCount());
        }
    }

    // Only regular files are read: a pipe without a writer is refused at once instead of
    // waiting for one, as are folders and devices.
    void onlyRegularFilesAreRead()
    {
        ScratchDir dir;
        const QByteArray fifo = dir.file("scan.json");
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        std::atomic<bool> done = false;
        NcduReader::Outcome outcome;
        bool looksLikeOne = true;
        std::thread reader([&] {
            outcome = NcduReader::readFile(fifo.toStdString());
            looksLikeOne = NcduReader::looksLikeExport(fifo.toStdString());
            done = true;
        });
        const bool returned = QTest::qWaitFor([&] { return done.load(); }, 10000);
        while (!done) { // a reader stuck in open() is let go by a writer that comes and goes
            const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
            QTest::qWait(10);
        }
        reader.join();
        QVERIFY2(returned, "reading a pipe waited for a writer");
        QCOMPARE(outcome.error.kind, Kind::notAFile);
        QVERIFY(!looksLikeOne);
        for (const std::string& path : {dir.str(), std::string("/dev/null")})
            QCOMPARE(NcduReader::readFile(path).error.kind, Kind::notAFile);
    }

    // A few kilobytes of compressed text can describe millions of entries. Names repeated in
    // one folder are refused at the second; a tree that would take more than half of the
    // memory available is refused on its way there.
    void exportsThatWouldExhaustMemory()
    {
        const NcduReader::Outcome bomb = NcduReader::readFile(
            QFile::encodeName(QT_TESTCASE_SOURCEDIR "/../../fuzz/corpus/"_L1 +
                              "bomb-duplicate-names.json.gz"_L1)
                .toStdString());
        QCOMPARE(bomb.error.kind, Kind::duplicateName);
        QVERIFY(bomb.error.offset < 100);

        const std::string text = manyFiles(5000).toStdString();
        int asked = 0;
        const auto memory = [&](std::optional<std::int64_t> bytes) {
            return [&asked, bytes] {
                ++asked;
                return bytes;
            };
        };
        QVERIFY(NcduReader::readData(text, {}, {}, 0, memory(std::int64_t(1) << 30)).root);
        QVERIFY(NcduReader::readData(text, {}, {}, 0, memory(std::nullopt)).root); // no limit
        const NcduReader::Outcome refused =
            NcduReader::readData(text, {}, {}, 0, memory(400 * 1024));
        QCOMPARE(refused.error.kind, Kind::tooLarge);
        QVERIFY(refused.error.offset > 0 && std::size_t(refused.error.offset) < text.size() / 2);
        QCOMPARE(asked, 3); // once per reading
    }

    // The beginning of an export tells where and when it was made and, when the writer noted
    // them, its totals, without the rest being read: a damaged end does not matter.
    void theHeaderAloneIsRead()
    {
        const auto writeNotingTotals = [](const std::string& path, const FileNode& root) {
            NcduWriter writer;
            writer.setNotesTotals(true);
            return writer.open(path) && writer.write(root, nullptr, {1700000000, "1"}) &&
                   writer.commit();
        };
        const Sample sample;
        ScratchDir out;
        const std::string path = out.file("scan.json.gz").toStdString();
        QVERIFY(writeNotingTotals(path, *sample.scanned.root));
        const NcduReader::Outcome header = NcduReader::readHeader(path);
        QCOMPARE(header.status, Status::completed);
        QCOMPARE(header.rootPath, sample.dir.str());
        QCOMPARE(header.scanDate, std::optional<std::int64_t>(1700000000000));
        const FileNode& root = *sample.scanned.root;
        QCOMPARE(header.totals, (NcduReader::Totals{root.cachedSize(), root.cachedFileCount(),
                                                    root.cachedDirCount()}));
        QCOMPARE(NcduReader::readFile(path).totals, header.totals);
        QVERIFY(!header.root);

        const std::string large = out.file("large.json.gz").toStdString();
        const NcduReader::Outcome many = read(manyFiles(20000));
        QVERIFY(writeNotingTotals(large, *many.root));
        std::filesystem::resize_file(large, std::filesystem::file_size(large) / 2);
        QCOMPARE(NcduReader::readHeader(large).totals, (NcduReader::Totals{0, 20000, 1}));
        QCOMPARE(NcduReader::readFile(large).error.kind, Kind::truncated);

        QCOMPARE(NcduReader::readHeader(sample.ours.toStdString()).totals, std::nullopt);
        QCOMPARE(NcduReader::readHeader(sample.dir.file("top.txt").toStdString()).error.kind,
                 Kind::notAnExport);
        const QByteArray odd = R"([1,2,{"total_dsize":-1,"total_files":"2",)"
                               R"("total_folders":1},{"name":"/f"}])";
        QCOMPARE(read(odd).totals, std::nullopt);
        QCOMPARE(read(odd).rootPath, "/f");
    }

    // A kernel pseudo file system and a folder mounted below itself are recorded as folders
    // that were not entered, as ncdu marks them (textOfATree writes such marks).
    void foldersNotEnteredAreMarked()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("proc")) && makeDir(dir.file("b")) && makeDir(dir.file("b/loop")));
        if (::mount("proc", dir.file("proc").constData(), "proc", 0, nullptr) != 0)
            QSKIP("mounting is not permitted here");
        const bool bound = ::mount(dir.path().constData(), dir.file("b/loop").constData(), nullptr,
                                   MS_BIND, nullptr) == 0;
        const DiskScanner::Outcome scanned = DiskScanner().scanNow(dir.str(), {});
        ::umount2(dir.file("proc").constData(), MNT_DETACH);
        if (bound)
            ::umount2(dir.file("b/loop").constData(), MNT_DETACH);
        const std::string dump = dumpTree(*scanned.root, scanned.facts.get());
        const auto marked = [&](const char* pattern) {
            return QRegularExpression(pattern).match(QString::fromStdString(dump)).hasMatch();
        };
        QVERIFY2(marked("proc(@\\d+)?<dev\\d+ ex3>\\(\\)"), dump.c_str());
        QVERIFY2(!bound || marked("loop(@\\d+)?<ex2>\\(\\)"), dump.c_str());
    }

    // A cancelled export leaves the file it would replace as it was, and nothing beside it; one
    // into a missing folder fails; a compressed export cut short is refused as such.
    void anUnfinishedExportLeavesTheFileAsItWas()
    {
        const NcduReader::Outcome many = read(manyFiles(5000));
        const auto write = [&](const std::string& path, const CancellationToken& token = {}) {
            return NcduWriter::writeFile(path, *many.root, nullptr, {}, token);
        };
        ScratchDir out;
        const std::string path = out.file("scan.json.gz").toStdString();
        std::ofstream(path) << "before";
        const CancellationToken token = CancellationToken::create();
        token.cancel();
        QCOMPARE(write(path, token).status, Written::cancelled);
        std::string kept;
        std::ifstream(path) >> kept;
        QCOMPARE(kept, "before");
        QCOMPARE(QDir(QString::fromLocal8Bit(out.path())).entryList(QDir::Files).size(), 1);
        QCOMPARE(write(out.file("missing/scan.json").toStdString()).status, Written::failed);

        QCOMPARE(write(path).entries, 5001);
        std::filesystem::resize_file(path, std::filesystem::file_size(path) - 30);
        QCOMPARE(NcduReader::readFile(path).error.kind, Kind::truncated);
    }

    // ncdu's export of the sample reads back with the totals of our scan of it (what the
    // folders take themselves too); our export, read by ncdu and written out again by it, is
    // the same tree.
    void ncduRoundTrips()
    {
        const QString ncdu = QStandardPaths::findExecutable(u"ncdu"_s);
        if (ncdu.isEmpty())
            QSKIP("ncdu is not installed (scripts/install-deps.sh test)");
        const Sample sample;
        const NcduReader::Outcome theirs = NcduReader::readData(
            runTool(ncdu, {u"-0"_s, u"-o"_s, u"-"_s, QString::fromLocal8Bit(sample.dir.path())})
                .toStdString());
        QVERIFY2(theirs.root, qPrintable(theirs.error.message()));
        QCOMPARE(theirs.rootPath, sample.dir.str());
        const auto totals = [](const FileNode& node) {
            return QList<qint64>{node.cachedSize(), node.cachedFileCount(), node.cachedDirCount(),
                                 node.cachedFoldersOwnSize()};
        };
        QCOMPARE(totals(*theirs.root), totals(*sample.scanned.root));
        const NcduReader::Outcome again = NcduReader::readData(
            runTool(ncdu, {u"-e"_s, u"-f"_s, QString::fromLocal8Bit(sample.ours), u"-o"_s, u"-"_s})
                .toStdString());
        QCOMPARE(dumpOf(again), sample.dump());
    }

    // gdu shows the names and sizes of our export's top level (it counts 4096 bytes for each
    // folder of an import, and marks hard links with H), and its total; what gdu writes is read.
    void gduReadsOurExport()
    {
        const QString gdu = QStandardPaths::findExecutable(u"gdu"_s);
        if (gdu.isEmpty())
            QSKIP("gdu is not installed (scripts/install-deps.sh test)");
        const Sample sample;
        const auto gduSize = [](const FileNode& node) {
            return node.cachedSize() + 4096 * node.cachedDirCount();
        };
        QStringList expected, shown;
        for (const FileNode* child : sample.scanned.root->children())
            expected << u"%1 %2%3"_s.arg(gduSize(*child))
                            .arg(child->isDirectory() ? u"/"_s : QString(),
                                 QString::fromUtf8(child->nameBytes()));
        const QStringList options{u"-n"_s, u"-p"_s, u"--no-prefix"_s, u"-f"_s,
                                  QString::fromLocal8Bit(sample.ours)};
        for (const QByteArray& line : runTool(gdu, options).trimmed().split('\n'))
            shown << QString::fromUtf8(line.simplified()).remove(QRegularExpression(u"^\\D+ "_s));
        expected.sort();
        shown.sort();
        QCOMPARE(shown, expected);
        const QByteArray total = runTool(gdu, QStringList{u"-s"_s} + options);
        QCOMPARE(total.trimmed().split(' ').front().toLongLong(), gduSize(*sample.scanned.root));
        // gdu's own export of the folder (DEL unescaped) reads back with every name (gdu
        // writes names that are not UTF-8 with replacement characters).
        const NcduReader::Outcome theirs = NcduReader::readData(
            runTool(gdu, {u"-n"_s, u"-o"_s, u"-"_s, QString::fromLocal8Bit(sample.dir.path())})
                .toStdString());
        QVERIFY2(theirs.root, qPrintable(theirs.error.message()));
        std::vector<std::string> names = pathsOf(*sample.scanned.root);
        std::erase_if(names, [](const std::string& path) {
            return QString::fromStdString(path).toStdString() != path;
        });
        QCOMPARE(pathsOf(*theirs.root).size(), names.size() + 1);
        for (const std::string& name : names)
            QVERIFY2(std::ranges::count(pathsOf(*theirs.root), name), name.c_str());
    }
};

QTEST_GUILESS_MAIN(NcduExportTest)
#include "tst_ncduexport.moc"
