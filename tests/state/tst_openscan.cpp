// Saved scans in the application state: an export opened as a scan runs, what a result opened
// from a file refuses to do, and the current result written out.

#include "FakeTrash.h"
#include "TestSupport.h"
#include "core/NcduTreeDump.h"

#include "AppState.h"
#include "services/NcduReader.h"
#include "services/NcduWriter.h"
#include "utils/Localization.h"

#include <QTest>

#include <fstream>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// A file with two names (counted once), a subfolder, and the date of the scan.
constexpr char kExport[] =
    R"([1,2,{"progname":"t","timestamp":1773489600},[{"name":"/srv/data","dev":1},)"
    R"({"name":"a.bin","dsize":4096,"ino":7,"hlnkc":true,"nlink":2},[{"name":"sub"},)"
    R"({"name":"b.bin","dsize":4096,"ino":7,"hlnkc":true},{"name":"c.txt","dsize":8192}]]])";

std::string save(const ScratchDir& dir, const char* name, const QByteArray& text)
{
    const std::string path = dir.file(name).toStdString();
    std::ofstream(path, std::ios::binary) << text.toStdString();
    return path;
}

bool settle(AppState& state)
{
    return QTest::qWaitFor([&] { return !state.isScanning() && !state.isExporting(); }, 20000);
}

std::string dumpOf(const NcduReader::Outcome& read)
{
    return read.root ? dumpTree(*read.root, read.facts.get()) : read.error.detail;
}

} // namespace

class OpenScanTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void opensAnExportAsAScan_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("plain") << QByteArray("scan.json");
        QTest::newRow("gzip") << QByteArray("scan.json.gz");
    }
    void opensAnExportAsAScan()
    {
        QFETCH(QByteArray, name);
        ScratchDir dir;
        const std::string path = dir.file(name).toStdString();
        const NcduReader::Outcome source = NcduReader::readData(kExport);
        QVERIFY(NcduWriter::writeFile(path, *source.root, source.facts.get(), {1773489600, "t"})
                    .error.isEmpty());
        auto trash = std::make_shared<FakeTrash>();
        AppState state(trash);
        state.openScan(path);
        QVERIFY(state.isOpeningScan());
        QCOMPARE(state.scanProgress(), ScanProgress::scanning(QString::fromUtf8(name), 0));
        QVERIFY(settle(state) && state.scanResult());
        const ScanResult& result = *state.scanResult();
        QCOMPARE(result.rootPath(), "/srv/data");
        QCOMPARE(result.openedFrom(), std::optional(path));
        QCOMPARE(result.scanDate(), 1773489600000);
        QCOMPARE(dumpTree(*result.rootNode(), result.facts().get()), dumpOf(source));
        QCOMPARE(state.scanProgress(), ScanProgress::completed(3, 12288));
        // Nothing on this machine is touched on the strength of a file from elsewhere.
        QVERIFY(state.isReadOnly());
        state.deleteFile(result.topFiles().front());
        state.deleteFiles(result.allFiles());
        state.checkExternalDeletions();
        QVERIFY(!state.isDeleting() && !state.isCheckingExternalDeletions());
        QVERIFY(trash->requests().empty());
        QCOMPARE(result.totalFiles(), 3);
    }

    // Without a timestamp the export is dated by its file.
    void anExportWithoutADateTakesTheFilesDate()
    {
        ScratchDir dir;
        const std::string path = save(dir, "s.json", R"([1,0,{},[{"name":"/r"}]])");
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000),
                                 QFile::FileModificationTime));
        file.close();
        AppState state(std::make_shared<FakeTrash>());
        state.openScan(path);
        QVERIFY(settle(state) && state.scanResult());
        QCOMPARE(state.scanResult()->scanDate(), 1700000000000);
    }

    void aBadFileLeavesTheResultAsItWas_data()
    {
        QTest::addColumn<QByteArray>("text");   // null: no file at all
        QTest::addColumn<QByteArray>("reason"); // the key of the sentence that says why
        const auto row = [](const char* name, const QByteArray& text, const char* reason) {
            QTest::newRow(name) << text << "import.error." + QByteArray(reason);
        };
        const auto entry = [](const char* fields) {
            return "[1,2,{},[{\"name\":\"/r\"},{" + QByteArray(fields) + "}]]";
        };
        row("missing", QByteArray(), "unreadable");
        row("not an export", "hello", "notAnExport");
        row("version 2", R"([2,0,{},[{"name":"/r"}]])", "unsupportedVersion");
        row("truncated", "[1,2,{},[{\"name\":\"/r\"},{\"na", "truncated");
        row("syntax", R"([1,2,{},[{"name":"/r"},}]])", "syntax");
        row("bad value", entry(R"("name":5)"), "badValue");
        row("out of range", entry(R"("name":"a","dsize":99999999999999999999)"), "outOfRange");
        row("negative", entry(R"("name":"a","dsize":-1)"), "negativeSize");
        row("no name", entry(R"("dsize":1)"), "missingName");
        row("bad name", entry(R"("name":"..")"), "badName");
        row("garbage", R"([1,2,{},[{"name":"/r"}]] x)", "trailingGarbage");
    }
    // With a result it stays on show; without one the progress fails. Either way a toast says
    // why.
    void aBadFileLeavesTheResultAsItWas()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, reason);
        ScratchDir dir;
        const std::string good = save(dir, "good.json", kExport);
        const std::string bad =
            text.isNull() ? dir.file("bad.json").toStdString() : save(dir, "bad.json", text);
        const QString message =
            L("import.failed %@ %@", QStringLiteral("bad.json"), L(reason.constData()));
        for (const bool withResult : {false, true}) {
            AppState state(std::make_shared<FakeTrash>());
            if (withResult) {
                state.openScan(good);
                QVERIFY(settle(state));
            }
            const std::shared_ptr<ScanResult> previous = state.scanResult();
            state.openScan(bad);
            QVERIFY(settle(state));
            QCOMPARE(state.toastMessage(), std::optional(message));
            QCOMPARE(state.scanResult(), previous);
            QCOMPARE(state.scanProgress(),
                     previous ? ScanProgress::completed(3, 12288) : ScanProgress::failed(message));
        }
    }

    // Scans and opens supersede each other; a late report of the older one changes nothing.
    void theNewestScanOrOpenWins()
    {
        ScratchDir dir;
        const std::string a = save(dir, "a.json", kExport);
        const std::string b = save(dir, "b.json", R"([1,2,{},[{"name":"/b"}]])");
        AppState state(std::make_shared<FakeTrash>());
        const auto last = [&](auto first, auto second) {
            first();
            second();
            settle(state);
            QTest::qWait(100);
            return state.scanResult()->openedFrom().value_or(state.scanResult()->rootPath());
        };
        const auto open = [&](const std::string& path) {
            return [&, path] { state.openScan(path); };
        };
        const auto scan = [&] { state.scanDirectory(dir.str()); };
        QCOMPARE(last(open(a), open(b)), b);
        QCOMPARE(last(open(a), scan), dir.str());
        QVERIFY(state.scanResult()->facts() && !state.isReadOnly()); // a scan's facts are kept
        QCOMPARE(last(scan, open(b)), b);
    }

    // An export of a scan, and of an opened scan read back as it was opened (hard links too).
    // While it is written the tree does not change.
    void exportsTheCurrentResult()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("f"), 5000));
        auto trash = std::make_shared<FakeTrash>();
        AppState state(trash);
        QVERIFY(!state.exportScan(dir.file("none.json").toStdString()));
        state.scanDirectory(dir.str());
        QVERIFY(settle(state));
        const std::string out = dir.file("out.json").toStdString();
        QVERIFY(state.exportScan(out) && state.isExporting());
        QVERIFY(!state.exportScan(out));
        state.deleteFile(state.scanResult()->topFiles().front());
        QCOMPARE(state.toastMessage(), std::optional(L("export.busy")));
        QVERIFY(settle(state));
        QCOMPARE(state.toastMessage(),
                 std::optional(L("export.done %@", QStringLiteral("out.json"))));
        QCOMPARE(trash->requests().size(), size_t(0));
        QCOMPARE(dumpOf(NcduReader::readFile(out)),
                 dumpTree(*state.scanResult()->rootNode(), state.scanResult()->facts().get()));

        state.openScan(save(dir, "in.json", kExport));
        QVERIFY(settle(state) && state.exportScan(out + ".gz") && settle(state));
        QCOMPARE(dumpOf(NcduReader::readFile(out + ".gz")), dumpOf(NcduReader::readData(kExport)));

        const std::string nowhere = dir.file("missing/out.json").toStdString();
        NcduWriter writer;
        QVERIFY(!writer.open(nowhere));
        QVERIFY(state.exportScan(nowhere) && settle(state));
        QCOMPARE(state.toastMessage(), std::optional(L("export.failed %@", writer.error())));
    }
};

QTEST_MAIN(OpenScanTest)
#include "tst_openscan.moc"
