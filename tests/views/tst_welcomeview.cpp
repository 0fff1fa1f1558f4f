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

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

namespace {

QString pathOf(const QByteArray& path)
{
    return QFile::decodeName(path);
}

struct Welcome {
    AppState state;
    FakeFolderPanel panel;
    WelcomeView view{state, panel};

    // The folder the state was last asked to scan, from the progress it shows at the start of
    // a scan (the full path of the folder, nothing scanned yet).
    QString scanStartedFor() const
    {
        return state.isScanning() ? state.scanProgress().path() : QString();
    }
    bool waitForScanEnd()
    {
        return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000);
    }
};

// Lets the off-thread check of a drop finish and delivers what it handed back.
void settleDrop()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
}

} // namespace

class WelcomeViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Select Folder asks the panel and scans what it chooses; Scan Home scans the home folder
    // (a stand-in here, to keep the test from scanning the real one).
    void theButtonsStartScans()
    {
        ScratchDir dir;
        writeFile(dir.file("a.bin"), 10);
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", dir.file("home"));
        makeDir(dir.file("home"));
        auto restore = qScopeGuard([&] { qputenv("HOME", savedHome); });
        Welcome w;
        QVERIFY(w.view.selectFolderButton()->isDefault());
        QVERIFY(!w.view.scanHomeButton()->isDefault());
        QCOMPARE(w.view.selectFolderButton()->text(), L("welcome.selectFolder"));
        QCOMPARE(w.view.scanHomeButton()->text(), L("welcome.scanHome"));
        QVERIFY(!w.view.selectFolderButton()->icon().isNull());

        int changes = 0;
        connect(&w.state, &AppState::changed, this, [&] { ++changes; });
        w.view.selectFolderButton()->click();
        QCOMPARE(w.panel.asked.size(), size_t(1));
        QCOMPARE(w.panel.asked[0].message, L("picker.desc"));
        QCOMPARE(w.panel.asked[0].confirmText, L("picker.scan"));
        QVERIFY(w.panel.asked[0].allowCreatingFolders);
        QCOMPARE(changes, 0); // cancelled, the panel starts nothing

        w.panel.answer = pathOf(dir.path());
        w.view.selectFolderButton()->click();
        QCOMPARE(w.scanStartedFor(), pathOf(dir.path()));
        QVERIFY(w.waitForScanEnd());
        QCOMPARE(w.state.scanResult()->rootPath(), dir.str());

        w.view.scanHomeButton()->click();
        QCOMPARE(w.scanStartedFor(), pathOf(dir.file("home")));
        QCOMPARE(w.panel.asked.size(), size_t(2));
        QVERIFY(w.waitForScanEnd());
    }

    // Any drop of locations is handled, and a drag of file locations only is welcome; the
    // first item alone counts, and only a folder that exists is scanned.
    void drops_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("scanned");
        QTest::newRow("folder") << QStringList{u"photos"_s} << u"photos"_s;
        QTest::newRow("file") << QStringList{u"movie.mov"_s} << QString();
        QTest::newRow("missing path") << QStringList{u"gone"_s} << QString();
        QTest::newRow("no file location") << QStringList{u"https://example.org/f/"_s} << QString();
        QTest::newRow("several: the first") << QStringList{u"music"_s, u"photos"_s} << u"music"_s;
        QTest::newRow("several: a file first")
            << QStringList{u"movie.mov"_s, u"photos"_s} << QString();
        QTest::newRow("none") << QStringList() << QString();
    }

    void drops()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, scanned);
        ScratchDir dir;
        makeDir(dir.file("photos"));
        makeDir(dir.file("music"));
        writeFile(dir.file("movie.mov"), 10);
        const QString root = pathOf(dir.path()) + u'/';
        QList<QUrl> urls;
        for (const QString& item : items)
            urls << (item.contains(u':') ? QUrl(item) : QUrl::fromLocalFile(root + item));
        QMimeData mime;
        mime.setUrls(urls);
        Welcome w;
        QVERIFY(w.view.acceptDrops());

        // A drag is welcome when it carries file locations only; those are dropped as events.
        const bool fileLocations = !urls.isEmpty() && !items.join(u' ').contains(u':');
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w.view, &enter);
        QVERIFY(urls.isEmpty() || enter.isAccepted() == fileLocations);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        if (fileLocations)
            QCoreApplication::sendEvent(&w.view, &drop);
        QCOMPARE(fileLocations ? drop.isAccepted() : w.view.handleDrop(&mime), !urls.isEmpty());
        settleDrop();
        if (scanned.isEmpty()) {
            QVERIFY(!w.state.isScanning());
            QVERIFY(!w.state.scanResult());
        } else {
            QCOMPARE(w.scanStartedFor(), root + scanned);
            QVERIFY(w.waitForScanEnd());
            QCOMPARE(w.state.scanResult()->rootPath(), (root + scanned).toStdString());
        }
    }

    void dataWithoutLocationsIsNotHandled()
    {
        Welcome w;
        QMimeData text;
        text.setText(QStringLiteral("/tmp"));
        QVERIFY(!w.view.handleDrop(&text));
        QVERIFY(!w.view.handleDrop(nullptr));
        QDragEnterEvent drag(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w.view, &drag);
        QVERIFY(!drag.isAccepted());
        settleDrop();
        QVERIFY(!w.state.isScanning());
    }
};

QTEST_MAIN(WelcomeViewTest)
#include "tst_welcomeview.moc"
