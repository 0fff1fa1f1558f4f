// The Large Files view over an in-memory result: what it shows and how the selection is
// repaired after each change of the content (moves go to a fake Trash).

#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "analysis/FileActions.h"
#include "analysis/FileListModel.h"
#include "analysis/FileOperationBar.h"
#include "analysis/FileOperationList.h"
#include "analysis/FileSelectionModel.h"
#include "analysis/LargeFilesView.h"
#include "analysis/ViewHeader.h"
#include "theme/ProminentButton.h"
#include "theme/StyledLabel.h"
#include "utils/Localization.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// A home folder as people have them: files of every kind, size and age.
std::vector<Entry> homeFolder()
{
    const char* names[] = {"Movies/Holiday 2025.mov",        "Downloads/debian-12.iso",
                           "Music/Live at the Park.flac",    "Pictures/Raw/IMG_4102.cr2",
                           "Documents/Thesis draft.pdf",     "Downloads/installer.deb",
                           "Projects/app/build/app.apk",     "Pictures/Panorama.tiff",
                           "Documents/Budget 2026.xlsx",     "Music/Podcasts/episode-42.mp3",
                           "Projects/data/export.json",      "Library/Caches/web.cache",
                           "Movies/Screen recording.mp4",    "Archives/photos-2019.zip",
                           "Documents/Scans/contract.pdf",   "Projects/site/bundle.js",
                           "Pictures/Raw/IMG_4103.cr2",      "Downloads/font-pack.tar.gz",
                           "Library/Logs/system.log",        "Documents/Notes/ideas.md",
                           "Projects/app/src/main.cpp",      "Music/Samples/kick.wav",
                           "Pictures/Wallpapers/dunes.heic", "Archives/mail-backup.7z",
                           "Library/Preferences/app.plist",  "Movies/Clips/intro.webm",
                           "Documents/Letters/cover.docx",   "Downloads/readme.txt",
                           "Projects/tools/run.sh",          "Pictures/Icons/logo.svg"};
    std::vector<Entry> entries;
    std::int64_t size = 4'800'000'000;
    std::int64_t date = kScanDate;
    for (const char* name : names) {
        entries.push_back({name, size, date});
        size = size * 7 / 10;
        date -= 86'400'000LL * 23;
    }
    entries[9].modified.reset(); // one file with no known date
    return entries;
}

QPalette darkPalette()
{
    QPalette p;
    const std::pair<QPalette::ColorRole, QRgb> colors[] = {
        {QPalette::Window, 0x1e1e1e},    {QPalette::WindowText, 0xf0f0f0},
        {QPalette::Base, 0x282828},      {QPalette::Text, 0xf0f0f0},
        {QPalette::Button, 0x353535},    {QPalette::ButtonText, 0xf0f0f0},
        {QPalette::Highlight, 0x0a84ff}, {QPalette::HighlightedText, 0xffffff},
        {QPalette::Mid, 0x444444}};
    for (const auto& [role, rgb] : colors)
        p.setColor(role, QColor(rgb));
    return p;
}

const std::vector<Entry> kFiles = {
    {"a.pdf", 500}, {"b.mov", 400}, {"c.cpp", 300}, {"d.zip", 200}, {"e.txt", 100}};

struct Harness {
    explicit Harness(const std::vector<Entry>& entries = kFiles)
    {
        state.showResult(makeResult("/home/user", entries));
        view.reset(qobject_cast<LargeFilesView*>(
            factory.createDetailView(SidebarItem::largeFiles, state, nullptr)));
    }
    FileSelectionModel& selection() { return *view->selection(); }
    QStringList selected()
    {
        QStringList names;
        for (const NodeRef& file : selection().selectedFiles())
            names << file->name();
        return names;
    }
    QString shown() const
    {
        return state.selectedNode() ? state.selectedNode()->name() : QStringLiteral("-");
    }

    AppState state{std::make_shared<FakeTrash>()};
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
    std::unique_ptr<LargeFilesView> view;
};

} // namespace

class LargeFilesViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void shown_data()
    {
        QTest::addColumn<bool>("withFiles");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no files") << false << "Top 0 by size"
                                  << "-";
        QTest::newRow("files") << true << "Top 5 by size"
                               << "a.pdf";
    }
    void shown()
    {
        QFETCH(bool, withFiles);
        QFETCH(QString, count);
        QFETCH(QString, shown);
        Harness h(withFiles ? kFiles : std::vector<Entry>{{"empty/", 0}});
        QVERIFY(h.view);
        QCOMPARE(h.view->header()->title(), QStringLiteral("Large Files"));
        QCOMPARE(h.view->header()->subtitle(), count);
        QCOMPARE(h.view->model()->rowCount(), withFiles ? 5 : 0);
        QCOMPARE(h.shown(), shown);
        QCOMPARE(h.view->bar()->selectAllButton()->isEnabled(), withFiles);
        QCOMPARE(h.view->bar()->trashButton()->isEnabled(), withFiles);
        QCOMPARE(h.view->bar()->revealButton()->isEnabled(), withFiles);
    }

    void afterAContentChange_data()
    {
        // How the content changes: "bar" moves the selection to the Trash, "menu:N" deletes
        // row N from its context menu, "state:N" deletes row N behind the list's back.
        QTest::addColumn<QList<int>>("selectedRows"); // the last one is the current row
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("selectedAfter");
        QTest::newRow("the bar moves the selected file") << QList<int>{0} << "bar"
                                                         << "b.mov";
        QTest::newRow("its menu deletes the selected file") << QList<int>{0} << "menu:0"
                                                            << "b.mov";
        QTest::newRow("the inspector's file goes elsewhere") << QList<int>{1, 2} << "state:2"
                                                             << "a.pdf";
        QTest::newRow("a multiple selection collapses") << QList<int>{0, 1, 2} << "state:4"
                                                        << "c.cpp";
        QTest::newRow("every file goes") << QList<int>{0, 1, 2, 3, 4} << "bar"
                                         << "-";
    }
    void afterAContentChange()
    {
        QFETCH(QList<int>, selectedRows);
        QFETCH(QString, change);
        QFETCH(QString, selectedAfter);
        Harness h;
        h.selection().clearSelection();
        for (int row : selectedRows)
            h.selection().setCurrentIndex(h.view->model()->index(row), QItemSelectionModel::Select);
        const int row = change.section(QLatin1Char(':'), 1).toInt();
        if (change == u"bar") {
            h.view->bar()->moveToTrash();
        } else if (change.startsWith(u"menu")) {
            const std::unique_ptr<QMenu> menu = h.view->list()->createContextMenu(row);
            h.view->actions()->moveToTrash()->trigger();
        } else {
            h.state.deleteFile(h.view->model()->nodeAt(row));
        }
        QTRY_VERIFY(!h.state.isDeleting());
        const qsizetype left = 5 - (change == u"bar" ? selectedRows.size() : 1);
        QCOMPARE(h.view->model()->rowCount(), left);
        QCOMPARE(h.view->header()->subtitle(), L("largeFiles.count %lld", qint64(left)));
        QCOMPARE(h.selected(), selectedAfter == u"-" ? QStringList() : QStringList{selectedAfter});
        QCOMPARE(h.shown(), selectedAfter);
    }

    // The view in light and dark, with one file and with several selected. With
    // PLENVO_SCREENSHOT_DIR set, each is saved as a PNG.
    void looks_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void looks()
    {
        QFETCH(bool, dark);
        const QPalette light = QApplication::palette();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        Harness h(homeFolder());
        h.view->resize(1100, 700);
        h.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.view.get()));
        QCOMPARE(h.view->bar()->geometry().bottom(), 699);
        QCOMPARE(h.view->header()->geometry().top(), 0);
        save(*h.view, dark ? "large-files-dark" : "large-files-light");
        h.view->list()->setFocus();
        QTest::keyClick(h.view->list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(h.view->list(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(h.selected().size(), 3);
        QVERIFY(h.view->bar()->summaryLabel()->fullText().startsWith(u"3 selected"));
        save(*h.view, dark ? "large-files-selection-dark" : "large-files-selection-light");
        QApplication::setPalette(light);
    }

private:
    static void save(QWidget& widget, const char* name)
    {
        QApplication::processEvents();
        const QPixmap shot = widget.grab();
        QVERIFY(!shot.isNull());
        const QString dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (!dir.isEmpty() && QDir().mkpath(dir))
            QVERIFY(
                shot.save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
    }
};

QTEST_MAIN(LargeFilesViewTest)
#include "tst_largefilesview.moc"
