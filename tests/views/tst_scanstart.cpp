// Starting a scan: the welcome screen's buttons and drops, the folder-picker sheet's quick
// locations and folder panel, and the progress shown while the scan runs.

#include "AppState.h"
#include "FakeFolderPanel.h"
#include "TestSupport.h"
#include "shell/ActivitySpinner.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/QuickLocationRow.h"
#include "shell/ScanningProgressView.h"
#include "shell/WelcomeView.h"
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QAccessible>
#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <fstream>

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
    QString make(const QString& name) const
    {
        QDir().mkpath(path(name));
        return path(name);
    }
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
    // Whether the state started a scan of `folder` (its progress names the whole path at the
    // start) and ended it with a result of that folder.
    bool scans(const QString& folder)
    {
        return state.isScanning() && state.scanProgress().path() == folder &&
               QTest::qWaitFor([&] { return !state.isScanning(); }, 20000) &&
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

// What a line of the progress view shows: nothing when it is hidden.
QString shown(const ScanningProgressView& view, const char* name)
{
    const auto* line = view.findChild<StyledLabel*>(QLatin1String(name));
    return line && !line->isHidden() ? line->text() : QString();
}

} // namespace

class ScanStartTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // Select Folder asks the panel and scans what it chooses; Scan Home scans the home folder.
    void theWelcomeButtonsStartScans()
    {
        FakeHome fake;
        const QString downloads = fake.make(u"Downloads"_s);
        Welcome w;
        QPushButton* select = w.view.selectFolderButton();
        QVERIFY(select->isDefault() && !w.view.scanHomeButton()->isDefault());
        int changes = 0;
        connect(&w.state, &AppState::changed, this, [&] { ++changes; });
        select->click();
        QCOMPARE(w.panel.asked.size(), size_t(1));
        QCOMPARE(w.panel.asked[0].message, L("picker.desc"));
        QCOMPARE(w.panel.asked[0].confirmText, L("picker.scan"));
        QVERIFY(w.panel.asked[0].allowCreatingFolders);
        QCOMPARE(changes, 0); // cancelled, the panel starts nothing
        w.panel.answer = downloads;
        select->click();
        QVERIFY(w.scans(downloads));
        w.view.scanHomeButton()->click();
        QVERIFY(w.scans(fake.home));
        QCOMPARE(w.panel.asked.size(), size_t(2));
    }

    // Any drop of locations is handled, and a drag of file locations only is welcome; the
    // first item alone counts: a folder that exists is scanned, a saved scan opened, nothing
    // else. Text is no location.
    void drops_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("scanned");
        QTest::newRow("folder") << QStringList{u"photos"_s} << u"photos"_s;
        QTest::newRow("file") << QStringList{u"movie.mov"_s} << QString();
        QTest::newRow("saved scan, opened") << QStringList{u"saved.json"_s} << u"saved.json"_s;
        QTest::newRow("missing path") << QStringList{u"gone"_s} << QString();
        QTest::newRow("no file location") << QStringList{u"https://example.org/f/"_s} << QString();
        QTest::newRow("several: the first") << QStringList{u"music"_s, u"photos"_s} << u"music"_s;
        QTest::newRow("several: a file first")
            << QStringList{u"movie.mov"_s, u"photos"_s} << QString();
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("text") << QStringList{u"text:/tmp"_s} << QString();
    }

    void drops()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, scanned);
        FakeHome fake;
        fake.make(u"photos"_s);
        fake.make(u"music"_s);
        writeFile(QFile::encodeName(fake.path(u"movie.mov"_s)), 10);
        std::ofstream(QFile::encodeName(fake.path(u"saved.json"_s)).toStdString())
            << "[1,0,{},[{\"name\":\"/r\"}]]";
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& item : items)
            urls << (item.contains(u':') ? QUrl(item) : QUrl::fromLocalFile(fake.path(item)));
        if (items.value(0).startsWith(u"text:"))
            mime.setText(items[0].mid(5));
        else
            mime.setUrls(urls);
        Welcome w;
        QVERIFY(w.view.acceptDrops() && !w.view.handleDrop(nullptr));
        // A drag is welcome when it carries file locations only; those are dropped as events.
        const bool fileLocations = !urls.isEmpty() && !items.join(u' ').contains(u':');
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w.view, &enter);
        QVERIFY(items.isEmpty() || enter.isAccepted() == fileLocations);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        if (fileLocations)
            QCoreApplication::sendEvent(&w.view, &drop);
        QCOMPARE(fileLocations ? drop.isAccepted() : w.view.handleDrop(&mime),
                 mime.hasUrls() && !urls.isEmpty());
        // The background check of the drop ends and what it handed back is delivered.
        QVERIFY(w.state.backgroundWork().waitUntilIdle(std::chrono::seconds(10)));
        QCoreApplication::sendPostedEvents();
        if (scanned.isEmpty())
            QVERIFY(!w.state.isScanning() && !w.state.scanResult());
        else if (scanned.endsWith(u".json"))
            QTRY_VERIFY(w.state.scanResult() && w.state.isReadOnly());
        else
            QVERIFY(w.scans(fake.path(scanned)));
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
        QFile dirs(fake.make(u".config"_s) + u"/user-dirs.dirs"_s);
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
        const QString downloads = fake.make(u"Downloads"_s);
        Sheet open(fake.locations());
        QVERIFY(QTest::qWaitForWindowExposed(&open.sheet));
        if (!how.endsWith(u"no folder"))
            open.panel.answer = downloads;
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
        QVERIFY(open.scans(downloads));
    }

    // Every row follows an earlier report, whose lines it replaces.
    void progressLines_data()
    {
        QTest::addColumn<ScanProgress>("progress");
        QTest::newRow("scanning") << ScanProgress::scanning(u"/home/ada/Music"_s, 1234);
        QTest::newRow("count of zero") << ScanProgress::scanning(u"photos"_s, 0);
        QTest::newRow("idle") << ScanProgress::idle();
        QTest::newRow("completed") << ScanProgress::completed(10, 4096);
        QTest::newRow("failed") << ScanProgress::failed(u"No such file"_s);
    }

    void progressLines()
    {
        QFETCH(ScanProgress, progress);
        ScanningProgressView view;
        view.setProgress(ScanProgress::scanning(u"/srv/data"_s, 7));
        view.setProgress(progress);
        QCOMPARE(shown(view, "scanning.title"), L("scanning.title"));
        QVERIFY(!view.spinner()->isHidden());
        // The spinner paints; it says what it stands for.
        QCOMPARE(QAccessible::queryAccessibleInterface(view.spinner())->text(QAccessible::Name),
                 L("scanning.title"));
        const bool scanning = progress.kind() == ScanProgress::Kind::scanning;
        // The count is grouped as the locale groups ("1,234"); reading a saved scan, the files
        // are read, not scanned.
        const DisplayNumber count = FormatUtils::countArg(progress.filesScanned());
        QCOMPARE(shown(view, "scanning.filesScanned"),
                 scanning ? L("scanning.filesScanned %lld", count) : QString());
        QCOMPARE(shown(view, "scanning.path"), scanning ? progress.path() : QString());
        QVERIFY(!view.stopButton()->isHidden());
        QCOMPARE(view.stopButton()->text(), L("scanning.stop"));
        view.setReadingSavedScan(true);
        QCOMPARE(shown(view, "scanning.filesScanned"),
                 scanning ? L("import.filesRead %lld", count) : QString());
        QCOMPARE(shown(view, "scanning.filesScanned").contains(u"1,234"_s),
                 progress.filesScanned() == 1234);
    }

    // The spinner turns while shown; the group, down to the Stop button, sits in the middle;
    // the path is elided in the middle, within 400 px and the view's width, and centred under
    // the count.
    void theProgressIsCentredAndItsPathFits()
    {
        const QString path =
            u"/home/ada/"_s + u"very-long-folder-name/"_s.repeated(30) + u"the-end"_s;
        ScanningProgressView view;
        view.resize(800, 600);
        view.setProgress(ScanProgress::scanning(path, 3));
        QVERIFY(!view.spinner()->isAnimating());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.spinner()->isAnimating());
        const auto* line = view.findChild<StyledLabel*>(u"scanning.path"_s);
        QVERIFY(view.stopButton()->geometry().top() > line->geometry().bottom());
        const int below = view.height() - 1 - view.stopButton()->geometry().bottom();
        QVERIFY(qAbs(view.spinner()->geometry().top() - below) <= 1);
        QVERIFY(view.findChild<StyledLabel*>(u"scanning.title"_s)->geometry().top() >
                view.spinner()->geometry().bottom());
        qsizetype previousLength = path.size();
        for (int width : {1200, 200}) {
            view.resize(width, 600);
            QCoreApplication::processEvents();
            const QString text = line->text();
            QVERIFY(text.size() < previousLength);
            previousLength = text.size();
            QVERIFY(line->width() <= ScanningProgressView::kMaximumPathWidth);
            QVERIFY(line->geometry().left() >= 0 && line->geometry().right() < view.width());
            QVERIFY(QFontMetrics(line->font()).horizontalAdvance(text) <= line->width());
            const int lineCentre = line->mapTo(&view, line->rect().center()).x();
            QVERIFY2(qAbs(lineCentre - view.width() / 2) <= 2, qPrintable(QString::number(width)));
            QVERIFY(text.contains(QChar(0x2026)) && !text.contains(u'\n'));
            QVERIFY(text.startsWith(u"/home/") && text.endsWith(u"the-end"));
            QCOMPARE(line->fullText(), path);
        }
        view.setProgress(ScanProgress::scanning(u"/a/b"_s, 3));
        QCOMPARE(line->text(), u"/a/b"_s);
        view.hide();
        QVERIFY(!view.spinner()->isAnimating());
    }
};

QTEST_MAIN(ScanStartTest)
#include "tst_scanstart.moc"
