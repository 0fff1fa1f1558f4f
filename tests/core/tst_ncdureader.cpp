#include "NcduTreeDump.h"
#include "services/NcduReader.h"
#include "services/NcduWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;
using Kind = NcduReader::ErrorKind;
using Status = NcduReader::Outcome::Status;

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

} // namespace

class NcduReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void trees_data()
    {
        QTest::addColumn<QByteArray>("tree");     // the export's root element
        QTest::addColumn<QByteArray>("expected"); // see dumpTree
        QTest::newRow("dsize, else 0 (not asize)")
            << QByteArray(R"([{"name":"/r"},{"name":"d","dsize":10,"asize":3},)"
                          R"({"name":"a","asize":7},{"name":"z"}])")
            << QByteArray("r(d:10,a:0,z:0)");
        QTest::newRow("a folder's own dsize is not counted")
            << QByteArray(R"([{"name":"/r","dsize":4096},[{"name":"s","dsize":4096},)"
                          R"({"name":"f","dsize":1}],[{"name":"e","dsize":4096}]])")
            << QByteArray("r(s(f:1),e())");
        QTest::newRow("hard links count once per device and inode")
            << QByteArray(
                   R"([{"name":"/r","dev":1},{"name":"a","dsize":8,"ino":5,"hlnkc":true,"nlink":2},)"
                   R"([{"name":"s"},{"name":"b","dsize":8,"ino":5,"hlnkc":true}],)"
                   R"([{"name":"m","dev":2},{"name":"c","dsize":8,"ino":5,"nlink":3}],)"
                   R"({"name":"i","dsize":8,"ino":5}])")
            << QByteArray("r<dev1>(a:8<dev1 ino5/2>,s(b:0<dev1 ino5/0>),"
                          "m<dev2>(c:8<dev2 ino5/3>),i:8)");
        QTest::newRow("excluded, not regular and unreadable entries")
            << QByteArray(R"([{"name":"/r"},[{"name":"o","excluded":"otherfs"}],)"
                          R"([{"name":"k","excluded":"kernfs","dev":3}],)"
                          R"({"name":"p","dsize":5,"excluded":"pattern"},)"
                          R"({"name":"l","dsize":4096,"notreg":true},)"
                          R"({"name":"u","dsize":9,"read_error":true},)"
                          R"([{"name":"v","read_error":true},{"name":"w","dsize":2}]])")
            << QByteArray("r(o<ex2>(),k<dev3 ex3>(),p:0<ex1>,l:4096<nreg>,u:0<err>,"
                          "v<err>(w:2))");
        QTest::newRow("mtime in seconds; two's complement before 1970; beyond any date")
            << QByteArray(R"([{"name":"/r","mtime":7},{"name":"a","mtime":1600000000},)"
                          R"({"name":"b","mtime":18446744073709551615},)"
                          R"({"name":"c","mtime":18446744073709551},{"name":"d","mtime":0}])")
            << QByteArray("r@7(a:0@1600000000,b:0@-1,c:0,d:0@0)");
        QTest::newRow("escapes") << QByteArray("[{\"name\":\"\\/r\"},{\"name\":\"q\\\"\\\\"
                                               "\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\\u20AC\"}]")
                                 << QByteArray(
                                        "r(q\"\\\b\f\n\r\t\xc3\xa9\xf0\x9f\x98\x80\xe2\x82\xac:0)");
        QTest::newRow("bytes that are not UTF-8 stay as they are")
            << QByteArray("[{\"name\":\"/r\xff\"},{\"name\":\"\xff\xfe\xc3\"}]")
            << QByteArray("r\xff(\xff\xfe\xc3:0)");
        QTest::newRow("white space, unknown fields, later additions")
            << QByteArray(" \r\n\t[ {\"uid\":0,\"x\":{\"a\":[1,-2.5e+3,{\"b\":null}],\"c\":\"\"},"
                          "\"name\" : \"/r\" } , { \"name\" :\"a\",\"dsize\": 1 } ]\n,{\"more\":1}")
            << QByteArray("r(a:1)");
        QTest::newRow("a file as the root")
            << QByteArray(R"({"name":"/r/f","dsize":3})") << QByteArray("f:3");
        QTest::newRow("the root folder")
            << QByteArray(R"([{"name":"/"},{"name":"a","dsize":1}])") << QByteArray("/(a:1)");
    }

    // Each export is also read in pieces of 1 and 3 bytes, across every boundary of the buffer.
    void trees()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QByteArray, expected);
        for (std::size_t chunk : {0, 1, 3}) {
            const NcduReader::Outcome outcome = read(exportOf(tree), chunk);
            QVERIFY2(outcome.root, qPrintable(outcome.error.message()));
            QCOMPARE(QByteArray::fromStdString(dumpTree(*outcome.root, outcome.facts.get())),
                     expected);
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
        row("binary export",
            "\xbf"
            "ncduEX1",
            Kind::notAnExport);
        row("major version 2", "[2,0,{},[{\"name\":\"/r\"}]]", Kind::unsupportedVersion, 1);
        row("version beyond 10000", "[1,10001,{},[{\"name\":\"/r\"}]]", Kind::outOfRange, 3);
        row("truncated", exportOf(R"([{"name":"/r"},{"name":"a")").chopped(1), Kind::truncated);
        row("truncated in a string", exportOf("[{\"name\":\"/r\"},{\"name\":\"a").chopped(1),
            Kind::truncated);
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
            node = node->children()[0].get();
        QCOMPARE(node->pathBytes().size(), std::size_t(2 + 2 * kDepth));
    }

    void progressAndCancellation()
    {
        QByteArray tree = R"([{"name":"/r"})";
        for (int i = 0; i < 5000; ++i)
            tree += ",{\"name\":\"f" + QByteArray::number(i) + "\"}";
        const QByteArray text = exportOf(tree + ']');
        std::vector<ScanProgress> reports;
        const auto record = [&](const ScanProgress& p) { reports.push_back(p); };
        QCOMPARE(NcduReader::readData(text.toStdString(), record).entries, 5001);
        QVERIFY(!reports.empty());
        QCOMPARE(reports.front(), ScanProgress::scanning(QStringLiteral("r"), 1));

        const CancellationToken token = CancellationToken::create();
        const NcduReader::Outcome cancelled = NcduReader::readData(
            text.toStdString(), [&](const ScanProgress&) { token.cancel(); }, token);
        QCOMPARE(cancelled.status, Status::cancelled);
        QVERIFY(!cancelled.root);
    }

    // What the fuzzer found, and its corpus: each input is read (or refused) and whatever is
    // read is written and read again to the same tree.
    void fuzzerFindings()
    {
        int count = 0;
        for (const char* folder : {"corpus", "regressions"})
            for (QDirIterator it(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../../fuzz/") +
                                     QLatin1String(folder),
                                 QDir::Files);
                 it.hasNext(); ++count) {
                const std::string path = QFile::encodeName(it.next()).toStdString();
                const NcduReader::Outcome outcome = NcduReader::readFile(path);
                if (!outcome.root) {
                    QVERIFY2(outcome.error.kind != Kind::none && !outcome.error.detail.empty(),
                             path.c_str());
                    continue;
                }
                const std::string dump = dumpTree(*outcome.root, outcome.facts.get());
                const std::string again =
                    NcduWriter::toText(*outcome.root, outcome.facts.get(), {});
                const NcduReader::Outcome reread = NcduReader::readData(again);
                QVERIFY2(reread.root, path.c_str());
                QCOMPARE(dumpTree(*reread.root, reread.facts.get()), dump);
            }
        QVERIFY2(count > 0, "no inputs in fuzz/corpus");
    }
};

QTEST_GUILESS_MAIN(NcduReaderTest)
#include "tst_ncdureader.moc"
