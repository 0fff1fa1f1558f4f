#include "AppState.h"
#include "FakeFolderPanel.h"
#include "TestSupport.h"
#include "shell/DirectoryPickerSheet.h"
#include "shell/QuickLocationRow.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <vector>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

using QuickLocation = DirectoryPickerSheet::QuickLocation;
using Locations = DirectoryPickerSheet::Locations;

namespace {

// A home folder of its own in a scratch folder, with an applications folder beside it.
struct FakeHome {
    FakeHome() { QDir().mkpath(home); }
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
};

// A sheet shown for a picker the state has asked for.
struct OpenSheet {
    explicit OpenSheet(const Locations& locations) : sheet(state, panel)
    {
        sheet.setLocations(locations);
        state.setShowDirectoryPicker(true);
        sheet.show();
    }
    AppState state;
    FakeFolderPanel panel;
    DirectoryPickerSheet sheet;
};

} // namespace

class DirectoryPickerSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every candidate whose folder exists, in order.
    void onlyExistingLocationsAreOffered_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("offered"); // indices into the candidates
        QTest::newRow("all") << QStringList{u"Desktop"_s, u"Downloads"_s, u"Documents"_s,
                                            u"Library"_s, u"Applications"_s}
                             << u"012345"_s;
        QTest::newRow("without Library")
            << QStringList{u"Desktop"_s, u"Downloads"_s, u"Documents"_s, u"Applications"_s}
            << u"01235"_s;
        QTest::newRow("Desktop and Applications missing")
            << QStringList{u"Downloads"_s, u"Library"_s} << u"024"_s;
        QTest::newRow("nothing but home") << QStringList() << u"0"_s;
    }

    void onlyExistingLocationsAreOffered()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, offered);
        FakeHome fake;
        for (const QString& folder : folders)
            fake.make(folder);
        const QuickLocation candidates[] = {
            {L("picker.home"), u"house.fill"_s, fake.home},
            {L("picker.desktop"), u"menubar.dock.rectangle"_s, fake.path(u"Desktop"_s)},
            {L("picker.downloads"), u"arrow.down.circle.fill"_s, fake.path(u"Downloads"_s)},
            {L("picker.documents"), u"doc.text.fill"_s, fake.path(u"Documents"_s)},
            {u"Library"_s, u"gearshape.fill"_s, fake.path(u"Library"_s)},
            {L("picker.applications"), u"app.fill"_s, fake.path(u"Applications"_s)},
        };
        std::vector<QuickLocation> expected;
        for (QChar index : offered)
            expected.push_back(candidates[index.digitValue()]);
        QCOMPARE(DirectoryPickerSheet::buildQuickLocations(fake.locations()), expected);
    }

    void placesThatAreNotSeparateAreLeftOut()
    {
        FakeHome fake;
        writeFile(QFile::encodeName(fake.path(u"Library"_s)), 1); // even a file counts
        Locations locations = fake.locations();
        locations.desktop = fake.home + u'/';
        locations.documents = fake.home;
        const std::vector<QuickLocation> offered =
            DirectoryPickerSheet::buildQuickLocations(locations);
        QCOMPARE(offered.size(), size_t(2));
        QCOMPARE(offered[1].path, fake.path(u"Library"_s));
        QVERIFY(DirectoryPickerSheet::buildQuickLocations({}).empty());
    }

    void theSystemLocationsFollowTheUserDirectories()
    {
        FakeHome fake;
        fake.make(u".config"_s);
        fake.make(u"Schreibtisch"_s);
        QFile dirs(fake.path(u".config/user-dirs.dirs"_s));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOWNLOAD_DIR=\"$HOME/\"\n");
        dirs.close();
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(fake.home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(fake.path(u".config"_s)));
        auto restore = qScopeGuard([&] {
            qputenv("HOME", savedHome);
            qunsetenv("XDG_CONFIG_HOME");
        });

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
        OpenSheet open(locations);
        QVERIFY(QTest::qWaitForWindowExposed(&open.sheet));
        QCOMPARE(open.sheet.quickLocationRows().size(), size_t(1));
        open.sheet.hide();

        QVERIFY(QDir().mkpath(locations.desktop));
        fake.make(u"Documents"_s);
        open.sheet.show();
        const std::vector<QuickLocation> expected =
            DirectoryPickerSheet::buildQuickLocations(locations);
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
        QVERIFY(elided.contains(QChar(0x2026)));
        QVERIFY(elided.startsWith(fake.home.left(4)));
        QVERIFY(elided.endsWith(u"a-rather-long-folder-name"_s));
    }

    // Choosing a quick location (mouse or keyboard) or a folder in the panel closes the picker,
    // then scans. Return opens the panel wherever the focus is; cancelling the panel leaves the
    // sheet open. Escape and closing the window reject the sheet and leave the state to
    // whoever showed it; the cancel button closes the picker.
    void userActions_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("click a row") << u"click"_s << u"scanned"_s;
        QTest::newRow("space on a row") << u"space"_s << u"scanned"_s;
        QTest::newRow("Return, folder chosen") << u"return"_s << u"scanned"_s;
        QTest::newRow("Return, panel cancelled") << u"return, no folder"_s << u"open"_s;
        QTest::newRow("Return on cancel") << u"return on cancel, no folder"_s << u"open"_s;
        QTest::newRow("escape") << u"escape"_s << u"rejected"_s;
        QTest::newRow("close") << u"close"_s << u"rejected"_s;
        QTest::newRow("cancel button") << u"cancel"_s << u"closed"_s;
    }

    void userActions()
    {
        QFETCH(QString, how);
        QFETCH(QString, outcome);
        FakeHome fake;
        const QString downloads = fake.path(u"Downloads"_s);
        fake.make(u"Downloads"_s);
        writeFile(QFile::encodeName(downloads + u"/setup.bin"_s), 10);
        OpenSheet open(fake.locations());
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
        if (how == u"click") {
            QTest::mouseClick(row, Qt::LeftButton, {}, row->rect().center());
        } else if (how == u"space") {
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
        for (const FolderPanel::Options& options : open.panel.asked) {
            QCOMPARE(options.message, QString());
            QCOMPARE(options.confirmText, L("picker.scan"));
            QVERIFY(!options.allowCreatingFolders);
        }
        QCOMPARE(rejections.size(), outcome == u"rejected" ? 1 : 0);
        QCOMPARE(open.sheet.isVisible(), outcome != u"rejected");
        QCOMPARE(open.state.showDirectoryPicker(), outcome == u"open" || outcome == u"rejected");
        if (outcome != u"scanned") {
            QVERIFY(!open.state.isScanning());
            QCOMPARE(changes, outcome == u"closed" ? 1 : 0);
            return;
        }
        QCOMPARE(log, (QStringList{u"picker closed"_s, u"scanning"_s}));
        QCOMPARE(open.state.scanProgress().path(), downloads);
        QVERIFY(QTest::qWaitFor([&] { return !open.state.isScanning(); }, 20000));
        QCOMPARE(open.state.scanResult()->rootPath(), downloads.toStdString());
    }
};

QTEST_MAIN(DirectoryPickerSheetTest)
#include "tst_directorypickersheet.moc"
