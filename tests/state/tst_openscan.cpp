// Saved scans in the application state: an export opened as a scan runs, what a result opened
// from a file refuses to do, and the current result written out.

#include "FakeTrash.h"
#include "TestSupport.h"
#include "core/NcduTreeDump.h"

#include "AppState.h"
#include "services/NcduReader.h"
#include "services/NcduWriter.h"
#include "utils/Localization.h"

#include <QFileInfo>
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

    // An export opened as a scan refuses every change to this machine, and is written out again
    // as it was read (hard links too).
    void opensAnExportAsAScan()
    {
        ScratchDir dir;
        const std::string path = save(dir, "scan.json", kExport);
        auto trash = std::make_shared<FakeTrash>();
        AppState state(trash);
        state.openScan(path);
        QVERIFY(state.isOpeningScan());
        QCOMPARE(state.scanProgress(), ScanProgress::scanning(QStringLiteral("scan.json"), 0));
        QVERIFY(settle(state) && state.isReadOnly());
        const ScanResult& result = *state.scanResult();
        QCOMPARE(result.rootPath(), "/srv/data");
        QCOMPARE(result.openedFrom(), std::optional(path));
        QCOMPARE(result.scanDate(), 1773489600000);
        QCOMPARE(state.scanProgress(), ScanProgress::completed(3, 12288));
        QCOMPARE(state.editor().trashRefusal(), ResultEditor::Refusal::readOnly);
        QVERIFY(!state.editor().moveToTrash(result.allFiles()));
        state.checkExternalDeletions();
        QVERIFY(!state.isDeleting() && !state.isCheckingExternalDeletions());
        QVERIFY(trash->requests().empty() && result.totalFiles() == 3);
        QVERIFY(state.exportScan(path + ".gz") && settle(state));
        QCOMPARE(dumpOf(NcduReader::readFile(path + ".gz")), dumpOf(NcduReader::readData(kExport)));
    }

    // Stopping the opening of an export keeps nothing of it, at once: part of an export is no
    // scan of anything.
    void stoppingAnOpeningKeepsNothing()
    {
        ScratchDir dir;
        const std::string path = save(dir, "scan.json", kExport);
        AppState state(std::make_shared<FakeTrash>());
        state.openScan(path);
        state.stopScan();
        QVERIFY(!state.isScanning() && !state.isStoppingScan());
        QCOMPARE(state.scanProgress(), ScanProgress::idle());
        QTRY_COMPARE(state.backgroundWork().running(), 0);
        QCoreApplication::processEvents(); // what the reading sent at its end
        QVERIFY(!state.scanResult() && !state.isScanning());
    }

    void aBadFileLeavesTheResultAsItWas_data()
    {
        QTest::addColumn<QByteArray>("text");   // null: no file at all; "<pipe>": a pipe
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
        row("a pipe without a writer", "<pipe>", "notAFile");
        row("two names alike", R"([1,2,{},[{"name":"/r"},{"name":"a"},{"name":"a"}]])",
            "duplicateName");
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
            text.isNull() || text == "<pipe>" ? dir.file("bad.json").toStdString()
                                              : save(dir, "bad.json", text);
        if (text == "<pipe>")
            QCOMPARE(::mkfifo(bad.c_str(), 0600), 0);
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
            QCOMPARE(state.toastKind(), AppState::ToastKind::warning);
            QCOMPARE(state.scanResult(), previous);
            QCOMPARE(state.scanProgress(),
                     previous ? ScanProgress::completed(3, 12288) : ScanProgress::failed(message));
        }
    }

    // Opens supersede scans and opens alike; a late report of the older one changes nothing.
    // An export without a date takes its file's.
    void theNewestScanOrOpenWins()
    {
        ScratchDir dir;
        const std::string a = save(dir, "a.json", kExport);
        const std::string b = save(dir, "b.json", R"([1,2,{},[{"name":"/b"}]])");
        AppState state(std::make_shared<FakeTrash>());
        state.openScan(a);
        state.openScan(b);
        QVERIFY(settle(state));
        QTest::qWait(100); // time for a late report
        QCOMPARE(state.scanResult()->openedFrom(), std::optional(b));
        QCOMPARE(state.scanResult()->scanDate(),
                 QFileInfo(QString::fromStdString(b)).lastModified().toMSecsSinceEpoch());
        state.openScan(a);
        state.scanDirectory(dir.str());
        QVERIFY(settle(state));
        QTest::qWait(100);
        QCOMPARE(state.scanResult()->rootPath(), dir.str());
        QVERIFY(!state.scanResult()->openedFrom() && !state.isReadOnly());
        QVERIFY(state.scanResult()->facts()); // a scan's facts are kept
    }

    // While an export is written the tree does not change; a failed one says why.
    void exportsTheCurrentResult()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("f"), 5000));
        auto trash = std::make_shared<FakeTrash>();
        AppState state(trash);
        const std::string out = dir.file("out.json").toStdString();
        QVERIFY(!state.exportScan(out));
        state.scanDirectory(dir.str());
        QVERIFY(settle(state) && state.exportScan(out) && !state.exportScan(out));
        // While it is written the tree stays as it is.
        QCOMPARE(state.editor().trashRefusal(), ResultEditor::Refusal::exporting);
        QCOMPARE(state.editor().refusalReason(), L("export.busy"));
        QVERIFY(!state.editor().moveToTrash({state.scanResult()->topFiles().front()}));
        QVERIFY(settle(state) && trash->requests().empty() && state.editor().canMoveToTrash());
        QCOMPARE(state.toastMessage(), L("export.done %@", QStringLiteral("out.json")));
        QCOMPARE(state.toastKind(), AppState::ToastKind::done);

        const std::string nowhere = dir.file("missing/out.json").toStdString();
        NcduWriter writer;
        QVERIFY(!writer.open(nowhere) && state.exportScan(nowhere) && settle(state));
        QCOMPARE(state.toastMessage(), L("export.failed %@", writer.error()));
        QCOMPARE(state.toastKind(), AppState::ToastKind::warning);
    }
};

QTEST_MAIN(OpenScanTest)
#include "tst_openscan.moc"
