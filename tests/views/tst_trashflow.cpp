// The whole way from a scan to the Trash, with the real GIO Trash: a folder is scanned, three
// of its largest files are selected with the keyboard in Large Files and moved with Delete.
// The Trash is a private one (XDG_DATA_HOME under the build folder), and only files this test
// made are moved.

#include "FakeFolderPanel.h"
#include "TestSupport.h"
#include "ViewTestSupport.h"

#include "analysis/FileOperationList.h"
#include "analysis/LargeFilesView.h"
#include "shell/ContentView.h"
#include "shell/DiskUsageMiniBar.h"
#include "shell/MainWindow.h"
#include "shell/ToastView.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <unistd.h>

#include <filesystem>
#include <iterator>

using namespace plenvo;
using namespace plenvo::test;

namespace {

struct File {
    QByteArray path; // relative to the scanned folder
    qint64 bytes;
    bool moved;
};

// Largest first, as Large Files lists them; rows 1 to 3 are selected and moved.
const std::vector<File> kFiles = {
    {"archive.zip", 400000, false},    {"Projects/video.mkv", 300000, true},
    {"bad\xff\xfe.bin", 200000, true}, {"Projects/photo.jpg", 120000, true},
    {"docs/report.pdf", 50000, false}, {"notes.txt", 100, false},
};

QByteArray dataHome()
{
    return QFile::encodeName(scratchRoot()) + "/trash-home-" + QByteArray::number(::getpid());
}

} // namespace

class TrashFlowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QCOMPARE(qgetenv("XDG_DATA_HOME"), dataHome());
    }

    void threeFilesSelectedWithTheKeyboardGoToTheTrash()
    {
        ScratchDir dir;
        QVERIFY(makeDir(dir.file("Projects")) && makeDir(dir.file("docs")));
        for (const File& file : kFiles)
            QVERIFY(writeFile(dir.file(file.path), file.bytes));

        AppState state; // the real Trash
        FakeFolderPanel panel;
        FakeFileManager fileManager;
        FakeClipboard clipboard;
        AnalysisViewFactory factory(fileManager, clipboard);
        MainWindow window(state, panel, factory);
        window.resize(1100, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        state.scanDirectory(dir.str());
        QTRY_VERIFY_WITH_TIMEOUT(!state.isScanning() && state.scanResult(), 20000);
        const std::int64_t totalBefore = state.scanResult()->totalSize();

        state.setNavigationSelection(SidebarItem::largeFiles);
        auto* view = qobject_cast<LargeFilesView*>(window.contentView()->detailWidget());
        QVERIFY(view);
        FileListModel& model = *view->model();
        QCOMPARE(model.rowCount(), int(kFiles.size()));
        std::int64_t freed = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            freed += kFiles[std::size_t(row)].moved ? model.nodeAt(row)->fileSize() : 0;

        // The first row is selected on arrival; Down, then Shift+Down twice: rows 1 to 3.
        view->list()->setFocus();
        QTest::keyClick(view->list(), Qt::Key_Down);
        QTest::keyClick(view->list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view->list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view->list(), Qt::Key_Delete);
        QTRY_VERIFY_WITH_TIMEOUT(!state.isDeleting(), 20000);

        // Exactly those three are in the private Trash; the others stay where they were. (The
        // Trash's records of the original locations are checked by tst_deletion.)
        const QByteArray trash = dataHome() + "/Trash/files/";
        std::error_code none; // nothing moved: no folder, and no exception
        QCOMPARE(std::distance(std::filesystem::directory_iterator(trash.data(), none), {}), 3);
        for (const File& file : kFiles) {
            const QByteArray name = file.path.mid(file.path.lastIndexOf('/') + 1);
            QCOMPARE(allocatedSize(dir.file(file.path)) < 0, file.moved);
            QCOMPARE(allocatedSize(trash + name) < 0, !file.moved);
        }

        // The list, the window's total and the toast show the change; the largest file is
        // selected.
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(state.selectedNode()->name(), QStringLiteral("archive.zip"));
        auto* miniBar = window.contentView()->headerRow()->findChild<DiskUsageMiniBar*>();
        QCOMPARE(miniBar->sizeText(), FormatUtils::formatBytesCompact(totalBefore - freed));
        QCOMPARE(
            window.contentView()->toastView()->message(),
            QStringLiteral("3 removed · %1 freed").arg(FormatUtils::formatBytesCompact(freed)));
    }
};

int main(int argc, char** argv)
{
    // GLib reads XDG_DATA_HOME once per process: the private Trash is set before anything runs.
    const QByteArray home = dataHome();
    QDir().mkpath(QFile::decodeName(home));
    qputenv("XDG_DATA_HOME", home);
    int status = 0;
    {
        QApplication app(argc, argv);
        TrashFlowTest test;
        status = QTest::qExec(&test, argc, argv);
        // Only what this test moved is in there.
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), QFile::decodeName(home)});
    }
    return status;
}

#include "tst_trashflow.moc"
