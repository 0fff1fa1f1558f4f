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

using QuickLocation = DirectoryPickerSheet::QuickLocation;
using Locations = DirectoryPickerSheet::Locations;

namespace {

QString pathOf(const QByteArray& path)
{
    return QFile::decodeName(path);
}

// A home folder of its own under a scratch folder, with the usual folders made on request,
// and an applications folder beside it.
class FakeHome {
public:
    FakeHome() { makeDir(m_root.file("home")); }

    QByteArray home() const { return m_root.file("home"); }
    QByteArray inHome(const char* name) const { return home() + '/' + name; }
    QByteArray applications() const { return m_root.file("Applications"); }

    void make(const char* name) const { makeDir(inHome(name)); }
    void makeApplications() const { makeDir(applications()); }

    Locations locations() const
    {
        return {pathOf(home()), pathOf(inHome("Desktop")), pathOf(inHome("Downloads")),
                pathOf(inHome("Documents")), pathOf(applications())};
    }

private:
    ScratchDir m_root;
};

QStringList namesOf(const std::vector<QuickLocation>& locations)
{
    QStringList names;
    for (const QuickLocation& location : locations)
        names.append(location.displayName);
    return names;
}

// The order in which the picker flag and the scanning flag changed.
class StateLog {
public:
    explicit StateLog(AppState& state)
    {
        QObject::connect(&state, &AppState::showDirectoryPickerChanged, &m_context, [&] {
            entries.append(state.showDirectoryPicker() ? QStringLiteral("picker shown")
                                                       : QStringLiteral("picker closed"));
        });
        QObject::connect(&state, &AppState::isScanningChanged, &m_context, [&] {
            if (state.isScanning())
                entries.append(QStringLiteral("scanning"));
        });
    }
    QStringList entries;

private:
    QObject m_context;
};

bool waitForScanEnd(AppState& state)
{
    return QTest::qWaitFor([&] { return !state.isScanning(); }, 20000);
}

void showSheet(DirectoryPickerSheet& sheet)
{
    sheet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
}

} // namespace

class DirectoryPickerSheetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Quick locations

    void everyExistingLocationIsOfferedInOrder()
    {
        FakeHome fake;
        for (const char* name : {"Desktop", "Downloads", "Documents", "Library"})
            fake.make(name);
        fake.makeApplications();

        const std::vector<QuickLocation> expected{
            {L("picker.home"), QStringLiteral("house.fill"), pathOf(fake.home())},
            {L("picker.desktop"), QStringLiteral("menubar.dock.rectangle"),
             pathOf(fake.inHome("Desktop"))},
            {L("picker.downloads"), QStringLiteral("arrow.down.circle.fill"),
             pathOf(fake.inHome("Downloads"))},
            {L("picker.documents"), QStringLiteral("doc.text.fill"),
             pathOf(fake.inHome("Documents"))},
            {QStringLiteral("Library"), QStringLiteral("gearshape.fill"),
             pathOf(fake.inHome("Library"))},
            {L("picker.applications"), QStringLiteral("app.fill"), pathOf(fake.applications())},
        };
        QCOMPARE(DirectoryPickerSheet::buildQuickLocations(fake.locations()), expected);
    }

    void withoutALibraryFolderFiveAreOffered()
    {
        FakeHome fake;
        for (const char* name : {"Desktop", "Downloads", "Documents"})
            fake.make(name);
        fake.makeApplications();

        QCOMPARE(namesOf(DirectoryPickerSheet::buildQuickLocations(fake.locations())),
                 (QStringList{L("picker.home"), L("picker.desktop"), L("picker.downloads"),
                              L("picker.documents"), L("picker.applications")}));
    }

    void missingFoldersAreLeftOutAndTheRestKeepTheirOrder()
    {
        FakeHome fake;
        fake.make("Downloads");
        fake.make("Library");

        QCOMPARE(namesOf(DirectoryPickerSheet::buildQuickLocations(fake.locations())),
                 (QStringList{L("picker.home"), L("picker.downloads"), QStringLiteral("Library")}));
    }

    void anyExistingEntryCountsEvenAFile()
    {
        FakeHome fake;
        writeFile(fake.inHome("Library"), 1);
        QCOMPARE(namesOf(DirectoryPickerSheet::buildQuickLocations(fake.locations())),
                 (QStringList{L("picker.home"), QStringLiteral("Library")}));
    }

    void aUserFolderThatIsTheHomeFolderIsNotOfferedTwice()
    {
        FakeHome fake;
        Locations locations = fake.locations();
        locations.desktop = pathOf(fake.home()) + QLatin1Char('/');
        locations.documents = pathOf(fake.home());
        QCOMPARE(namesOf(DirectoryPickerSheet::buildQuickLocations(locations)),
                 QStringList{L("picker.home")});
    }

    void locationsWithoutAPathAreLeftOut()
    {
        FakeHome fake;
        fake.make("Library");
        const Locations none{QString(), QString(), QString(), QString(), QString()};
        QVERIFY(DirectoryPickerSheet::buildQuickLocations(none).empty());
    }

    void theSystemLocationsFollowTheUserDirectories()
    {
        FakeHome fake;
        makeDir(fake.inHome(".config"));
        fake.make("Schreibtisch");
        QFile dirs(pathOf(fake.inHome(".config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                   "XDG_DOWNLOAD_DIR=\"$HOME/\"\n");
        dirs.close();

        const QByteArray savedHome = qgetenv("HOME");
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", fake.home());
        qputenv("XDG_CONFIG_HOME", fake.inHome(".config"));
        auto restore = qScopeGuard([&] {
            qputenv("HOME", savedHome);
            if (savedConfig.isNull())
                qunsetenv("XDG_CONFIG_HOME");
            else
                qputenv("XDG_CONFIG_HOME", savedConfig);
        });

        const Locations system = Locations::system();
        QCOMPARE(system.home, pathOf(fake.home()));
        QCOMPARE(system.desktop, pathOf(fake.inHome("Schreibtisch")));
        QVERIFY(QDir::cleanPath(system.downloads) != QDir::cleanPath(system.home));
        QCOMPARE(system.applications, QStringLiteral("/Applications"));
    }

    void theSheetListsItsLocationsAsRows()
    {
        FakeHome fake;
        fake.make("Documents");
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        showSheet(sheet);

        const std::vector<QuickLocation> expected =
            DirectoryPickerSheet::buildQuickLocations(fake.locations());
        QCOMPARE(sheet.quickLocations(), expected);
        const std::vector<QuickLocationRow*> rows = sheet.quickLocationRows();
        QCOMPARE(rows.size(), expected.size());
        int previousBottom = -1;
        for (size_t i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i]->displayName(), expected[i].displayName);
            QCOMPARE(rows[i]->iconName(), expected[i].iconName);
            QCOMPARE(rows[i]->path(), expected[i].path);
            QVERIFY(rows[i]->isVisible());
            const QRect geometry(rows[i]->mapTo(&sheet, QPoint(0, 0)), rows[i]->size());
            QVERIFY(geometry.top() > previousBottom);
            previousBottom = geometry.bottom();
        }
    }

    void theLocationsAreLookedAtAgainEachTimeTheSheetOpens()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        showSheet(sheet);
        QCOMPARE(namesOf(sheet.quickLocations()), QStringList{L("picker.home")});
        sheet.hide();

        fake.make("Desktop");
        showSheet(sheet);
        QCOMPARE(namesOf(sheet.quickLocations()),
                 (QStringList{L("picker.home"), L("picker.desktop")}));
        QCOMPARE(sheet.quickLocationRows().size(), size_t(2));
    }

    void aLongPathIsElidedInTheMiddleOfItsRow()
    {
        FakeHome fake;
        QByteArray deep = fake.home();
        for (int i = 0; i < 12; ++i) {
            deep += "/a-rather-long-folder-name";
            QVERIFY(makeDir(deep));
        }
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations({pathOf(deep), {}, {}, {}, {}});
        showSheet(sheet);

        QCOMPARE(sheet.width(), DirectoryPickerSheet::kWidth);
        const QuickLocationRow* row = sheet.quickLocationRows().at(0);
        QVERIFY(row->width() <= DirectoryPickerSheet::kWidth);
        const QString shown = row->shownPath();
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(shown.startsWith(pathOf(fake.home()).left(4)));
        QVERIFY(shown.endsWith(QStringLiteral("a-rather-long-folder-name")));
    }

    // Choosing a quick location

    void aQuickLocationClosesThePickerThenScans()
    {
        FakeHome fake;
        fake.make("Downloads");
        writeFile(fake.inHome("Downloads/setup.bin"), 10);
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);
        StateLog log(state);

        QuickLocationRow* downloads = sheet.quickLocationRows().at(1);
        QCOMPARE(downloads->displayName(), L("picker.downloads"));
        QTest::mouseClick(downloads, Qt::LeftButton, {},
                          QPoint(downloads->width() / 2, downloads->height() / 2));

        QCOMPARE(log.entries,
                 (QStringList{QStringLiteral("picker closed"), QStringLiteral("scanning")}));
        QCOMPARE(state.scanProgress().path(), pathOf(fake.inHome("Downloads")));
        QVERIFY(panel.asked.empty());
        QVERIFY(waitForScanEnd(state));
        QCOMPARE(state.scanResult()->rootPath(), fake.inHome("Downloads").toStdString());
    }

    void theKeyboardChoosesAFocusedQuickLocation()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);

        QuickLocationRow* home = sheet.quickLocationRows().at(0);
        QCOMPARE(home->focusPolicy(), Qt::StrongFocus);
        QTest::keyClick(home, Qt::Key_Space);
        QVERIFY(!state.showDirectoryPicker());
        QCOMPARE(state.scanProgress().path(), pathOf(fake.home()));
        QVERIFY(waitForScanEnd(state));
    }

    // Cancelling

    void escapeRejectsTheSheetAndChangesNothingElse()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);
        QSignalSpy rejected(&sheet, &QDialog::rejected);
        int changes = 0;
        connect(&state, &AppState::changed, this, [&] { ++changes; });

        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                    : static_cast<QWidget*>(&sheet),
                        Qt::Key_Escape);
        QCOMPARE(rejected.size(), 1);
        QVERIFY(!sheet.isVisible());
        QCOMPARE(changes, 0);
        QVERIFY(panel.asked.empty());
    }

    void closingTheWindowRejectsTheSheet()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        showSheet(sheet);
        QSignalSpy rejected(&sheet, &QDialog::rejected);
        sheet.close();
        QCOMPARE(rejected.size(), 1);
        QVERIFY(!state.isScanning());
    }

    void theCancelButtonClosesThePicker()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);

        QCOMPARE(sheet.cancelButton()->text(), L("picker.cancel"));
        sheet.cancelButton()->click();
        QVERIFY(!state.showDirectoryPicker());
        QVERIFY(!state.isScanning());
        QVERIFY(panel.asked.empty());
    }

    // The folder panel

    void returnOpensThePanelWithTheSheetSettings()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);

        QCOMPARE(sheet.chooseButton()->text(), L("picker.chooseFolder"));
        QVERIFY(sheet.chooseButton()->isDefault());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(panel.asked.size(), size_t(1));
        QCOMPARE(panel.asked[0].message, QString());
        QCOMPARE(panel.asked[0].confirmText, L("picker.scan"));
        QVERIFY(!panel.asked[0].allowCreatingFolders);
    }

    void returnOnTheCancelButtonStillChoosesAFolder()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);

        sheet.cancelButton()->setFocus();
        QTest::keyClick(sheet.cancelButton(), Qt::Key_Return);
        QCOMPARE(panel.asked.size(), size_t(1));
        QVERIFY(state.showDirectoryPicker());
    }

    void cancellingThePanelLeavesTheSheetOpen()
    {
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);
        QSignalSpy finished(&sheet, &QDialog::finished);

        sheet.chooseButton()->click();
        QCOMPARE(panel.asked.size(), size_t(1));
        QVERIFY(state.showDirectoryPicker());
        QVERIFY(sheet.isVisible());
        QCOMPARE(finished.size(), 0);
        QVERIFY(!state.isScanning());
    }

    void confirmingThePanelClosesThePickerThenScans()
    {
        ScratchDir chosen;
        writeFile(chosen.file("x.bin"), 10);
        FakeHome fake;
        AppState state;
        FakeFolderPanel panel;
        panel.answer = pathOf(chosen.path());
        DirectoryPickerSheet sheet(state, panel);
        sheet.setLocations(fake.locations());
        state.setShowDirectoryPicker(true);
        showSheet(sheet);
        StateLog log(state);

        sheet.chooseButton()->click();
        QCOMPARE(log.entries,
                 (QStringList{QStringLiteral("picker closed"), QStringLiteral("scanning")}));
        QCOMPARE(state.scanProgress().path(), pathOf(chosen.path()));
        QVERIFY(waitForScanEnd(state));
        QCOMPARE(state.scanResult()->rootPath(), chosen.str());
    }
};

QTEST_MAIN(DirectoryPickerSheetTest)
#include "tst_directorypickersheet.moc"
