#include "AppState.h"
#include "FakeFolderPanel.h"
#include "TestSupport.h"
#include "shell/WelcomeView.h"
#include "utils/Localization.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QThreadPool>
#include <QUrl>

#include <memory>

using namespace plenvo;
using namespace plenvo::test;

namespace {

QString pathOf(const QByteArray& path)
{
    return QFile::decodeName(path);
}

std::unique_ptr<QMimeData> fileDrop(const QList<QByteArray>& paths)
{
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QByteArray& path : paths)
        urls.append(QUrl::fromLocalFile(pathOf(path)));
    mime->setUrls(urls);
    return mime;
}

// Lets the off-thread check of a drop finish and delivers what it handed back.
void settleDrop()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
}

// The folder the state was last asked to scan, from the progress it shows at the start of a
// scan (the full path of the folder, nothing scanned yet).
QString scanStartedFor(const AppState& state)
{
    return state.isScanning() ? state.scanProgress().path() : QString();
}

bool waitForScanEnd(AppState& state)
{
    return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000);
}

} // namespace

class WelcomeViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Choosing a folder

    void selectFolderAsksThePanelWithTheWelcomeSettings()
    {
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        view.selectFolderButton()->click();
        QCOMPARE(panel.asked.size(), size_t(1));
        QCOMPARE(panel.asked[0].message, L("picker.desc"));
        QCOMPARE(panel.asked[0].confirmText, L("picker.scan"));
        QVERIFY(panel.asked[0].allowCreatingFolders);
    }

    void cancellingThePanelStartsNothing()
    {
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);
        int changes = 0;
        connect(&state, &AppState::changed, this, [&] { ++changes; });

        view.selectFolderButton()->click();
        QCOMPARE(panel.asked.size(), size_t(1));
        QCOMPARE(changes, 0);
    }

    void confirmingThePanelScansTheChosenFolder()
    {
        ScratchDir dir;
        writeFile(dir.file("a.bin"), 10);
        AppState state;
        FakeFolderPanel panel;
        panel.answer = pathOf(dir.path());
        WelcomeView view(state, panel);

        view.selectFolderButton()->click();
        QCOMPARE(scanStartedFor(state), pathOf(dir.path()));
        QVERIFY(waitForScanEnd(state));
        QVERIFY(state.scanResult());
        QCOMPARE(state.scanResult()->rootPath(), dir.str());
    }

    void theSelectFolderButtonIsTheDefaultButton()
    {
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);
        QVERIFY(view.selectFolderButton()->isDefault());
        QVERIFY(!view.scanHomeButton()->isDefault());
        QCOMPARE(view.selectFolderButton()->text(), L("welcome.selectFolder"));
        QCOMPARE(view.scanHomeButton()->text(), L("welcome.scanHome"));
        QVERIFY(!view.selectFolderButton()->icon().isNull());
    }

    void scanHomeScansTheHomeFolder()
    {
        // A stand-in home folder keeps the test from scanning the real one.
        ScratchDir home;
        writeFile(home.file("notes.txt"), 10);
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", home.path());
        auto restore = qScopeGuard([&] { qputenv("HOME", savedHome); });

        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);
        view.scanHomeButton()->click();
        QCOMPARE(scanStartedFor(state), pathOf(home.path()));
        QVERIFY(panel.asked.empty());
        QVERIFY(waitForScanEnd(state));
    }

    // Drops

    void droppingAFolderScansIt()
    {
        ScratchDir dir;
        makeDir(dir.file("photos"));
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        const auto mime = fileDrop({dir.file("photos")});
        QVERIFY(view.handleDrop(mime.get()));
        settleDrop();
        QCOMPARE(scanStartedFor(state), pathOf(dir.file("photos")));
        QVERIFY(waitForScanEnd(state));
        QCOMPARE(state.scanResult()->rootPath(), dir.file("photos").toStdString());
    }

    void droppingAPlainFileIsAcceptedAndIgnored()
    {
        ScratchDir dir;
        writeFile(dir.file("movie.mov"), 10);
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        const auto mime = fileDrop({dir.file("movie.mov")});
        QVERIFY(view.handleDrop(mime.get()));
        settleDrop();
        QVERIFY(!state.isScanning());
        QVERIFY(!state.scanResult());
    }

    void droppingAMissingPathIsAcceptedAndIgnored()
    {
        ScratchDir dir;
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        const auto mime = fileDrop({dir.file("gone")});
        QVERIFY(view.handleDrop(mime.get()));
        settleDrop();
        QVERIFY(!state.isScanning());
    }

    void droppingALocationThatIsNoFileIsAcceptedAndIgnored()
    {
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        QMimeData mime;
        mime.setUrls({QUrl(QStringLiteral("https://example.org/folder/"))});
        QVERIFY(view.handleDrop(&mime));
        settleDrop();
        QVERIFY(!state.isScanning());
    }

    void droppingSeveralItemsUsesOnlyTheFirst()
    {
        ScratchDir dir;
        makeDir(dir.file("first"));
        makeDir(dir.file("second"));
        writeFile(dir.file("file.txt"), 10);
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        const auto folders = fileDrop({dir.file("first"), dir.file("second")});
        QVERIFY(view.handleDrop(folders.get()));
        settleDrop();
        QCOMPARE(scanStartedFor(state), pathOf(dir.file("first")));
        QVERIFY(waitForScanEnd(state));
        QCOMPARE(state.scanResult()->rootPath(), dir.file("first").toStdString());

        // A file first: the folder after it is not looked at.
        AppState other;
        WelcomeView otherView(other, panel);
        const auto fileThenFolder = fileDrop({dir.file("file.txt"), dir.file("second")});
        QVERIFY(otherView.handleDrop(fileThenFolder.get()));
        settleDrop();
        QVERIFY(!other.isScanning());
    }

    void aDropWithoutItemsIsNotHandled()
    {
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        QMimeData empty;
        empty.setUrls({});
        QVERIFY(!view.handleDrop(&empty));

        QMimeData text;
        text.setText(QStringLiteral("/tmp"));
        QVERIFY(!view.handleDrop(&text));
        QVERIFY(!view.handleDrop(nullptr));
        settleDrop();
        QVERIFY(!state.isScanning());
    }

    void dragAndDropEventsReachTheView()
    {
        ScratchDir dir;
        makeDir(dir.file("music"));
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);
        QVERIFY(view.acceptDrops());

        const auto mime = fileDrop({dir.file("music")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(&view, &enter);
        QVERIFY(enter.isAccepted());

        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(&view, &drop);
        QVERIFY(drop.isAccepted());
        settleDrop();
        QCOMPARE(scanStartedFor(state), pathOf(dir.file("music")));
        QVERIFY(waitForScanEnd(state));
    }

    void dragsWithoutFileLocationsAreRefused()
    {
        AppState state;
        FakeFolderPanel panel;
        WelcomeView view(state, panel);

        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QDragEnterEvent textDrag(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&view, &textDrag);
        QVERIFY(!textDrag.isAccepted());

        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/"))});
        QDragEnterEvent webDrag(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&view, &webDrag);
        QVERIFY(!webDrag.isAccepted());

        QMimeData empty;
        empty.setUrls({});
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &empty, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&view, &drop);
        QVERIFY(!drop.isAccepted());
    }
};

QTEST_MAIN(WelcomeViewTest)
#include "tst_welcomeview.moc"
