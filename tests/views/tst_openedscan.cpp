// A scan opened from a file in the main window: Trash and reveal off wherever they appear, with
// a note that says why; the header, the title and the overview saying where it came from; the
// File menu's Open Scan and Export Scan through their panels.

#include "TestSupport.h"
#include "ViewTestSupport.h"

#include "analysis/FileOperationList.h"
#include "analysis/TreemapCanvas.h"
#include "services/NcduReader.h"
#include "shell/DiskUsageMiniBar.h"
#include "shell/ScanningProgressView.h"
#include "theme/ProminentButton.h"

#include <QMenu>
#include <QPushButton>

#include <fstream>

using namespace plenvo;
using namespace plenvo::test;

class OpenedScanTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }

    // The same result scanned here and opened from a file.
    void trashAndRevealAreOffWithANote_data()
    {
        QTest::addColumn<bool>("opened");
        QTest::newRow("scanned") << false;
        QTest::newRow("opened") << true;
    }
    void trashAndRevealAreOffWithANote()
    {
        QFETCH(bool, opened);
        WindowFixture w;
        auto result = makeResult("/home/user", {{"Videos/a.mp4", 5000}, {"b.txt", 100}});
        if (opened)
            result->setOpenedFrom("/backup/home.json");
        w.state.showResult(result);
        const QString date = FormatUtils::formatDateFull(kScanDate);
        QCOMPARE(w.window.windowTitle(),
                 (opened ? L("window.openedTitle %@ %@", QStringLiteral("user"), date)
                         : QStringLiteral("user")) +
                     QStringLiteral(" \u2014 Plenvo"));
        QCOMPARE(w.content().findChild<DiskUsageMiniBar*>()->originText(),
                 opened ? L("header.openedFrom %@", date) : QString());
        QCOMPARE(w.content().detailWidget()->findChild<StyledLabel*>("overviewPath")->fullText(),
                 opened ? L("overview.openedFrom %@ %@", QStringLiteral("/home/user"),
                            QStringLiteral("home.json"))
                        : QStringLiteral("/home/user"));

        for (const auto destination : {SidebarItem::largeFiles, SidebarItem::categories}) {
            w.state.setNavigationSelection(destination);
            auto* bar = w.detail<FileOperationBar>();
            QCOMPARE(bar->readOnlyNote()->isVisibleTo(bar), opened);
            QCOMPARE(bar->trashButton()->isEnabled(), !opened);
            QCOMPARE(bar->revealButton()->isEnabled(), !opened);
            const std::unique_ptr<QMenu> menu = w.detail<FileOperationList>()->createContextMenu();
            const QList<QAction*> actions = menu->actions(); // reveal, copy, -, Trash
            QCOMPARE(QList({actions[0]->isEnabled(), actions[1]->isEnabled(),
                            actions[3]->isEnabled(), actions[3]->toolTip() == L("readOnly.detail")}),
                     QList({!opened, true, !opened, opened}));
            auto* inspector = w.content().inspectorColumn();
            QCOMPARE(inspector->findChild<QPushButton*>("revealButton")->isEnabled(), !opened);
            QCOMPARE(bool(inspector->findChild<StyledLabel*>("readOnlyNote")), opened);
        }
        QTest::keyClick(w.detail<FileOperationList>(), Qt::Key_Delete);
        QTRY_VERIFY(!w.state.isDeleting());
        QCOMPARE(w.trash->requests().size(), opened ? 0u : 1u);

        w.state.setNavigationSelection(SidebarItem::treeMap);
        Q_EMIT w.detail<TreemapCanvas>()->fileClicked(result->topFiles().front());
        QCOMPARE(w.fileManager.revealed.size(), opened ? 0u : 1u);
        QCOMPARE(w.state.toastMessage() == L("readOnly.detail"), opened);
    }

    void openAndExportThroughThePanels()
    {
        ScratchDir dir;
        const std::string saved = dir.file("server.json").toStdString();
        std::ofstream(saved) << R"([1,2,{"timestamp":1773489600},[{"name":"/srv"},)"
                             << R"({"name":"a.log","dsize":8192}]])";
        WindowFixture w;
        QVERIFY(!w.action("exportScanAction")->isEnabled());
        w.action("openScanAction")->trigger(); // cancelled
        QVERIFY(w.scanFiles.openAsked == 1 && !w.state.isScanning());

        w.scanFiles.openAnswer = QString::fromStdString(saved);
        w.action("openScanAction")->trigger();
        auto* progress = qobject_cast<ScanningProgressView*>(w.content().detailWidget());
        QVERIFY(progress && w.state.isOpeningScan());
        QCOMPARE(progress->findChild<StyledLabel*>("scanning.title")->fullText(),
                 L("import.title"));
        QTRY_VERIFY(w.state.scanResult() && w.state.isReadOnly());
        QVERIFY(w.action("exportScanAction")->isEnabled());

        const QString out = QString::fromLocal8Bit(dir.file("copy.json.gz"));
        w.scanFiles.exportAnswer = out;
        w.action("exportScanAction")->trigger();
        QCOMPARE(w.scanFiles.suggested, QStringLiteral("srv.json"));
        QVERIFY(w.state.isExporting() && !w.action("exportScanAction")->isEnabled());
        QTRY_VERIFY(!w.state.isExporting());
        QCOMPARE(NcduReader::readFile(out.toStdString()).root->cachedSize(), 8192);
    }
};

QTEST_MAIN(OpenedScanTest)
#include "tst_openedscan.moc"
