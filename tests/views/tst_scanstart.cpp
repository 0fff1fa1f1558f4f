// The ways to start a scan: the welcome screen's buttons and drops, and the folder-picker
// sheet's quick locations and folder panel.

#include "AppState.h"
#include "FakeFolderPanel.h"
#include "TestSupport.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/QuickLocationRow.h"
#include "shell/WelcomeView.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QUrl>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;
using QuickLocation = DirectoryPickerSheet::QuickLocation;
using Locations = DirectoryPickerSheet::Locations;

namespace {

// A home folder of its own (HOME points there meanwhile) in a scratch folder, with an
// applications folder beside it.
struct FakeHome {
    FakeHome()
    {
        QDir().mkpath(home);
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(u".config"_s)));
    }
    ~FakeHome()
    {
        qputenv("HOME", savedHome);
        qunsetenv("XDG_CONFIG_HOME");
    }
    QString path(const QString& name) const
    {
        return name == u"Applications" ? root + u"/Applications"_s : home + u'/' + name;
    }
    void make(const QString& name) const { QDir().mkpath(path(name)); }
    Locations locations() const
    {
        return {home, path(u"Desktop"_s), path(u"Downloads"_s), path(u"Documents"_s),
                path(u"Applications"_s)};
    }

    ScratchDir scratch;
    QString root = QFile::decodeName(scratch.path());
    QString home = root + u"/home"_s;
    QByteArray savedHome = qgetenv("HOME");
};

struct Start {
    // The folder the state was last asked to scan, from the progress it shows at the start of
    // a scan; empty when it is not scanning.
    QString scanStartedFor() const
    {
        return state.isScanning() ? state.scanProgress().path() : QString();
    }
    bool scanned(const QString& folder)
    {
        return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) && state.scanResult() &&
               state.scanResult()->rootPath() == folder.toStdString();
    }

    AppState state;
    FakeFolderPanel panel;
};

struct Welcome : Start {
    WelcomeView view{state, panel};
};

// A sheet shown for a picker the state has asked for.
struct Sheet : Start {
    explicit Sheet(const Locations& locations)
    {
        sheet.setLocations(locations);
        state.setShowDirectoryPicker(true);
        sheet.show();
    }
    DirectoryPickerSheet sheet{state, panel};
};

// Lets the off-thread check of a drop finish and delivers what it handed back.
void settleDrop()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
}

} // namespace

class ScanStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    // Select Folder asks the panel and scans what it chooses; Scan Home scans the home folder.
    void theWelcomeButtonsStartScans()
    {
        FakeHome fake;
        fake.make(u"Downloads"_s);
        Welcome w;
        QPushButton* select = w.view.selectFolderButton();
        QVERIFY(select->isDefault() && !w.view.scanHomeButton()->isDefault());
        QCOMPARE(select->text(), L("welcome.selectFolder"));
        QCOMPARE(w.view.scanHomeButton()->text(), L("welcome.scanHome"));
        QVERIFY(!select->icon().isNull());
        int changes = 0;
        connect(&w.state, &AppState::changed, this, [&] { ++changes; });
        select->click();
        QCOMPARE(w.panel.asked.size(), size_t(1));
        QCOMPARE(w.panel.asked[0].message, L("picker.desc"));
        QCOMPARE(w.panel.asked[0].confirmText, L("picker.scan"));
        QVERIFY(w.panel.asked[0].allowCreatingFolders);
        QCOMPARE(changes, 0); // cancelled, the panel starts nothing
        w.panel.answer = fake.path(u"Downloads"_s);
        select->click();
        QCOMPARE(w.scanStartedFor(), fake.path(u"Downloads"_s));
        QVERIFY(w.scanned(fake.path(u"Downloads"_s)));
        w.view.scanHomeButton()->click();
        QCOMPARE(w.scanStartedFor(), fake.home);
        QCOMPARE(w.panel.asked.size(), size_t(2));
        QVERIFY(w.scanned(fake.home));
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
        FakeHome fake;
        fake.make(u"photos"_s);
        fake.make(u"music"_s);
        writeFile(QFile::encodeName(fake.path(u"movie.mov"_s)), 10);
        QList<QUrl> urls;
        for (const QString& item : items)
            urls << (item.contains(u':') ? QUrl(item) : QUrl::fromLocalFile(fake.path(item)));
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
        if (scanned.isEmpty())
            QVERIFY(!w.state.isScanning() && !w.state.scanResult());
        else
            QVERIFY(w.scanStartedFor() == fake.path(scanned) && w.scanned(fake.path(scanned)));
    }

    void dataWithoutLocationsIsNotHandled()
    {
        Welcome w;
        QMimeData text;
        text.setText(QStringLiteral("/tmp"));
        QVERIFY(!w.view.handleDrop(&text) && !w.view.handleDrop(nullptr));
        QDragEnterEvent drag(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w.view, &drag);
        QVERIFY(!drag.isAccepted());
        settleDrop();
        QVERIFY(!w.state.isScanning());
    }

    // Every candidate whose path exists, in order; a place that is the home folder itself is no
    // separate place.
    void quickLocationsAreThoseThatExist()
    {
        FakeHome fake;
        const QuickLocation all[] = {
            {L("picker.home"), u"house.fill"_s, fake.home},
            {L("picker.desktop"), u"menubar.dock.rectangle"_s, fake.path(u"Desktop"_s)},
            {L("picker.downloads"), u"arrow.down.circle.fill"_s, fake.path(u"Downloads"_s)},
            {L("picker.documents"), u"doc.text.fill"_s, fake.path(u"Documents"_s)},
            {u"Library"_s, u"gearshape.fill"_s, fake.path(u"Library"_s)},
            {L("picker.applications"), u"app.fill"_s, fake.path(u"Applications"_s)},
        };
        Locations locations = fake.locations();
        const auto offered = [&](const char* indices) {
            std::vector<QuickLocation> expected;
            for (const char* i = indices; *i; ++i)
                expected.push_back(all[*i - '0']);
            return DirectoryPickerSheet::buildQuickLocations(locations) == expected;
        };
        QVERIFY(offered("0"));
        for (const char* name : {"Downloads", "Library"})
            fake.make(QString::fromLatin1(name));
        QVERIFY(offered("024"));
        for (const char* name : {"Desktop", "Documents", "Applications"})
            fake.make(QString::fromLatin1(name));
        QVERIFY(offered("012345"));
        QVERIFY(QDir().rmdir(fake.path(u"Library"_s)));
        QVERIFY(offered("01235"));
        writeFile(QFile::encodeName(fake.path(u"Library"_s)), 1); // even a file counts
        locations.desktop = fake.home + u'/';
        locations.documents = fake.home;
        QVERIFY(offered("0245"));
        QVERIFY(DirectoryPickerSheet::buildQuickLocations({}).empty());
    }

    void theSystemLocationsFollowTheUserDirectories()
    {
        FakeHome fake;
        fake.make(u"Schreibtisch"_s);
        fake.make(u".config"_s);
        QFile dirs(fake.path(u".config/user-dirs.dirs"_s));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOWNLOAD_DIR=\"$HOME/\"\n");
        dirs.close();
        const Locations system = Locations::system();
        QCOMPARE(system.home, fake.home);
        QCOMPARE(system.desktop, fake.path(u"Schreibtisch"_s));
        QVERIFY(QDir::cleanPath(system.downloads) != QDir::cleanPath(system.home));
        QCOMPARE(system.applications, u"/Applications"_s);
    }

    // The rows are made again, top to bottom, each time the sheet opens; a long path is
    // elided in the middle to fit the sheet.
    void theSheetShowsItsLocationsAsRows()
    {
        FakeHome fake;
        Locations locations = fake.locations();
        locations.desktop += u"/a-rather-long-folder-name"_s.repeated(12);
        Sheet open(locations);
        QVERIFY(QTest::qWaitForWindowExposed(&open.sheet));
        QCOMPARE(open.sheet.quickLocationRows().size(), size_t(1));
        open.sheet.hide();
        QVERIFY(QDir().mkpath(locations.desktop));
        fake.make(u"Documents"_s);
        open.sheet.show();
        const auto expected = DirectoryPickerSheet::buildQuickLocations(locations);
        QCOMPARE(expected.size(), size_t(3));
        QCOMPARE(open.sheet.quickLocations(), expected);
        std::vector<QuickLocation> shown;
        int previousBottom = -1;
        for (const QuickLocationRow* row : open.sheet.quickLocationRows()) {
            shown.push_back({row->displayName(), row->iconName(), row->path()});
            QVERIFY(row->isVisible() && row->width() <= DirectoryPickerSheet::kWidth);
            QVERIFY(row->mapTo(&open.sheet, QPoint(0, 0)).y() > previousBottom);
            previousBottom = row->mapTo(&open.sheet, QPoint(0, row->height() - 1)).y();
        }
        QCOMPARE(shown, expected);
        QCOMPARE(open.sheet.width(), DirectoryPickerSheet::kWidth);
        const QString elided = open.sheet.quickLocationRows().at(1)->shownPath();
        QVERIFY(elided.contains(QChar(0x2026)) && elided.startsWith(fake.home.left(4)));
        QVERIFY(elided.endsWith(u"a-rather-long-folder-name"_s));
    }

    // Choosing a quick location (mouse or keyboard) or a folder in the panel closes the picker,
    // then scans. Return opens the panel wherever the focus is; cancelling the panel leaves the
    // sheet open. Escape and closing the window reject the sheet and leave the state to
    // whoever showed it; the cancel button closes the picker.
    void sheetActions_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        for (const auto& [how, outcome] : {std::pair("click a row", "scanned"),
                                           {"space on a row", "scanned"},
                                           {"return, folder chosen", "scanned"},
                                           {"return, no folder", "open"},
                                           {"return on cancel, no folder", "open"},
                                           {"escape", "rejected"},
                                           {"close", "rejected"},
                                           {"cancel button", "closed"}})
            QTest::newRow(how) << QString::fromLatin1(how) << QString::fromLatin1(outcome);
    }

    void sheetActions()
    {
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        FakeHome fake;
        const QString downloads = fake.path(u"Downloads"_s);
        fake.make(u"Downloads"_s);
        Sheet open(fake.locations());
        QVERIFY(QTest::qWaitForWindowExposed(&open.sheet));
        if (!how.endsWith(u"no folder"))
            open.panel.answer = downloads;
        QCOMPARE(open.sheet.cancelButton()->text(), L("picker.cancel"));
        QCOMPARE(open.sheet.chooseButton()->text(), L("picker.chooseFolder"));
        QVERIFY(open.sheet.chooseButton()->isDefault());
        QSignalSpy rejections(&open.sheet, &QDialog::rejected);
        int changes = 0;
        QStringList log;
        connect(&open.state, &AppState::changed, this, [&] { ++changes; });
        connect(&open.state, &AppState::showDirectoryPickerChanged, this, [&] {
            log << (open.state.showDirectoryPicker() ? u"picker shown"_s : u"picker closed"_s);
        });
        connect(&open.state, &AppState::isScanningChanged, this, [&] {
            if (open.state.isScanning())
                log << u"scanning"_s;
        });
        QuickLocationRow* row = open.sheet.quickLocationRows().at(1);
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        if (how.startsWith(u"click")) {
            QTest::mouseClick(row, Qt::LeftButton, {}, row->rect().center());
        } else if (how.startsWith(u"space")) {
            QCOMPARE(row->focusPolicy(), Qt::StrongFocus);
            QTest::keyClick(row, Qt::Key_Space);
        } else if (how.startsWith(u"return on cancel")) {
            open.sheet.cancelButton()->setFocus();
            QTest::keyClick(open.sheet.cancelButton(), Qt::Key_Return);
        } else if (how.startsWith(u"return") || how == u"escape") {
            QTest::keyClick(focused, how == u"escape" ? Qt::Key_Escape : Qt::Key_Return);
        } else if (how == u"close") {
            open.sheet.close();
        } else {
            open.sheet.cancelButton()->click();
        }
        QCOMPARE(open.panel.asked.size(), size_t(how.startsWith(u"return") ? 1 : 0));
        for (const FolderPanel::Options& options : open.panel.asked)
            QVERIFY(options.message.isEmpty() && options.confirmText == L("picker.scan") &&
                    !options.allowCreatingFolders);
        QCOMPARE(rejections.size(), outcome == u"rejected" ? 1 : 0);
        QCOMPARE(open.sheet.isVisible(), outcome != u"rejected");
        QCOMPARE(open.state.showDirectoryPicker(), outcome == u"open" || outcome == u"rejected");
        if (outcome != u"scanned") {
            QVERIFY(!open.state.isScanning());
            QCOMPARE(changes, outcome == u"closed" ? 1 : 0);
            return;
        }
        QCOMPARE(log, (QStringList{u"picker closed"_s, u"scanning"_s}));
        QCOMPARE(open.scanStartedFor(), downloads);
        QVERIFY(open.scanned(downloads));
    }
};

QTEST_MAIN(ScanStartTest)
#include "tst_scanstart.moc"
