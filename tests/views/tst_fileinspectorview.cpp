// The inspector of one file or folder: its blocks, the share of the parent, the folder counts,
// dates, long names and paths, the two actions. With PLENVO_SCREENSHOT_DIR set it also saves
// pictures of a file, a folder and the root, light and dark.

#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "analysis/ClampedTextView.h"
#include "analysis/FileInspectorView.h"
#include "models/FileCategory.h"
#include "theme/ProportionBar.h"
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPushButton>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;

namespace {

constexpr std::int64_t kDay = 86400000;
const std::string kLongName = "words " + std::string(150, 'n') + " more " + std::string(99, 'n');
const std::string kLongPath = [] {
    std::string path;
    for (int i = 0; i < 12; ++i)
        path += "folder-with-a-long-name-" + std::to_string(i) + "/";
    return path + "deep file.txt";
}();
const std::string kOddName = "bad\xff\nname.txt";

std::shared_ptr<ScanResult> testResult()
{
    return makeResult("/scan/Projects",
                      {{"docs/report.pdf", 300, kScanDate - kDay, kScanDate - 9 * kDay},
                       {"docs/notes.txt", 100},
                       {"docs/empty.txt", 0},
                       {"media/clip.xyz", 600},
                       {"media/sub/a.mp3", 0},
                       {"void/zero.txt", 0},
                       {kOddName, 7},
                       {kLongName, 1},
                       {kLongPath, 1}});
}

// The node at `path` below the root ("" is the root).
NodeRef find(NodeRef node, const std::string& path)
{
    for (std::size_t start = 0; node && start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        NodeRef next;
        for (const NodeRef& child : node->children())
            if (child->nameBytes() == std::string_view(path).substr(start, end - start))
                next = child;
        node = next;
        start = end + 1;
    }
    return node;
}

struct Inspector {
    explicit Inspector(const std::string& path, std::shared_ptr<ScanResult> result = testResult())
    {
        state.showResult(result);
        node = find(result->rootNode(), path);
        state.setSelectedNode(node);
        view = std::make_unique<FileInspectorView>(state, fileManager);
        view->resize(FileInspectorView::kWidth, 700);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    template <typename T = StyledLabel> T* child(const char* name) const
    {
        return view->findChild<T*>(QString::fromLatin1(name));
    }
    bool shown(const char* name) const
    {
        const QWidget* widget = child<QWidget>(name);
        return widget && widget->isVisibleTo(view.get());
    }
    QString text(const char* name) const { return shown(name) ? child(name)->text() : QString(); }

    std::shared_ptr<FakeTrash> trash = std::make_shared<FakeTrash>();
    AppState state{trash};
    FakeFileManager fileManager;
    NodeRef node;
    std::unique_ptr<FileInspectorView> view;
};

} // namespace

class FileInspectorViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // Badge, share and counts (sub-folders, files, all files below); empty when not shown.
    void blocks_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("root") << QString() << QStringList{"", "", "4 2 9"};
        QTest::newRow("folder of files") << "docs" << QStringList{"", "39.6%", "0 3 3"};
        QTest::newRow("mixed folder") << "media" << QStringList{"", "59.5%", "1 1 2"};
        QTest::newRow("file") << "docs/report.pdf" << QStringList{"Documents", "75.0%", ""};
        QTest::newRow("unknown extension")
            << "media/clip.xyz" << QStringList{"Other", "100.0%", ""};
        QTest::newRow("empty file") << "docs/empty.txt" << QStringList{"Documents", "0.0%", ""};
        QTest::newRow("empty parent") << "void/zero.txt" << QStringList{"Documents", "", ""};
    }
    void blocks()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, texts);
        const Inspector i(path.toStdString());
        const bool folder = i.node->isDirectory();
        const QStringList counts{i.text("folderCount"), i.text("fileCount"),
                                 i.text("totalFileCount")};
        QCOMPARE(
            (QStringList{i.text("categoryText"), i.text("shareText"), counts.join(u' ').trimmed()}),
            texts);
        QCOMPARE(i.shown("trashButton"), !folder);
        QCOMPARE(i.shown("contentsSection"), folder);
        auto* bar = i.child<ProportionBar>("shareBar");
        QCOMPARE(bar->isVisibleTo(i.view.get()), !texts[1].isEmpty());
        if (!texts[1].isEmpty()) // the bar shows what the text says
            QCOMPARE(QString::asprintf("%.1f%%", bar->fraction() * 100), texts[1]);
        QCOMPARE(bar->color(), folder ? ColorToken::blue : FileCategory::of(*i.node).color());
        QCOMPARE(i.text("sizeText"), FormatUtils::formatBytes(i.node->cachedSize()));
        QCOMPARE(i.text("modifiedText"), FormatUtils::formatDateFull(i.node->modificationDate()));
        QCOMPARE(i.text("createdText"), FormatUtils::formatDateFull(i.node->creationDate()));
        // The date labels' column is never narrower than the labels.
        for (auto* label : i.view->findChildren<StyledLabel*>(QStringLiteral("dateLabel")))
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        QCOMPARE(i.child<ClampedTextView>("pathText")->shownText(), i.node->path());
    }

    void longText_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("elided");
        QTest::newRow("short name") << QByteArray("docs/notes.txt") << "nameText" << 1 << false;
        QTest::newRow("long name")
            << QByteArray::fromStdString(kLongName) << "nameText" << 3 << true;
        QTest::newRow("odd name") << QByteArray::fromStdString(kOddName) << "nameText" << 1
                                  << false;
        QTest::newRow("short path") << QByteArray("docs") << "pathText" << 1 << false;
        QTest::newRow("long path")
            << QByteArray::fromStdString(kLongPath) << "pathText" << 4 << true;
    }
    void longText()
    {
        QFETCH(QByteArray, path);
        QFETCH(QString, widget);
        QFETCH(int, lines);
        QFETCH(bool, elided);
        const Inspector i(path.toStdString());
        auto* text = i.child<ClampedTextView>(widget.toLatin1().constData());
        QCOMPARE(text->shownLineCount(), lines);
        QCOMPARE(text->shownText().endsWith(QChar(0x2026)), elided);
        QVERIFY(!text->shownText().contains(u'\n')); // control characters shown as U+FFFD
        QVERIFY(text->document()->size().height() <= text->height()); // nothing cut off
        if (widget == u"pathText") { // a copy gives the whole path, also when elided
            text->selectAll();
            text->copy();
            QCOMPARE(QGuiApplication::clipboard()->text(), i.node->path());
        }
    }

    void actions()
    {
        Inspector i(kOddName);
        const std::string where = "/scan/Projects/" + kOddName;
        i.child<QPushButton>("revealButton")->click();
        QCOMPARE(i.fileManager.revealed, std::vector<std::vector<std::string>>{{where}});
        i.child<QPushButton>("trashButton")->click();
        QCOMPARE(i.trash->requests(), std::vector<std::string>{where});
        QVERIFY(!i.shown("shareText")); // its folder no longer holds it
    }

    void followsTreeChanges()
    {
        Inspector i("docs");
        i.state.deleteFile(find(i.state.scanResult()->rootNode(), "docs/report.pdf"));
        QCOMPARE(i.text("sizeText"), FormatUtils::formatBytes(100));
        QCOMPARE(i.text("fileCount"), u"2");
    }

    void factory()
    {
        FakeFileManager fileManager;
        FakeClipboard clipboard;
        AnalysisViewFactory factory(fileManager, clipboard);
        AppState state(std::make_shared<FakeTrash>());
        state.showResult(testResult());
        QCOMPARE(factory.createInspectorView(state, nullptr), nullptr);
        state.setSelectedNode(state.scanResult()->rootNode());
        std::unique_ptr<QWidget> view(factory.createInspectorView(state, nullptr));
        QVERIFY(qobject_cast<FileInspectorView*>(view.get()));
    }

    void screenshots()
    {
        const QString dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            QDir().mkpath(dir);
        const QPalette light = QApplication::palette();
        QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x1e, 0x1e, 0x1e));
        dark.setColor(QPalette::Base, QColor(0x28, 0x28, 0x28));
        dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
        const std::string pdf = "Projects/plenvo/docs/Quarterly Planning Notes for the Team.pdf";
        const auto result = makeResult(
            "/home/user",
            {{"Projects/plenvo/src/main.cpp", 18400, kScanDate - kDay, kScanDate - 90 * kDay},
             {pdf, 2400000, kScanDate - 2 * kDay, kScanDate - 30 * kDay},
             {"Projects/site/assets/hero.png", 850000, kScanDate - 3 * kDay},
             {"Music/album/track01.flac", 31000000, kScanDate - 40 * kDay},
             {"Videos/holiday.mkv", 1400000000, kScanDate - 70 * kDay, kScanDate - 70 * kDay}});
        const std::pair<const char*, std::string> shots[] = {
            {"file", pdf}, {"folder", "Projects"}, {"root", ""}};
        for (const bool isDark : {false, true}) {
            QApplication::setPalette(isDark ? dark : light);
            for (const auto& [name, path] : shots) {
                const Inspector i(path, result);
                QApplication::processEvents();
                // Everything fits the column: nothing reaches past its right edge.
                for (auto* w : i.view->widget()->findChildren<QWidget*>())
                    QVERIFY(!w->isVisible() ||
                            w->mapTo(i.view->widget(), w->rect().topRight()).x() <
                                i.view->viewport()->width());
                if (!dir.isEmpty())
                    QVERIFY(i.view->grab().save(
                        QStringLiteral("%1/inspector-%2-%3.png")
                            .arg(dir, QLatin1String(name), isDark ? u"dark" : u"light")));
            }
        }
        QApplication::setPalette(light);
    }
};

QTEST_MAIN(FileInspectorViewTest)
#include "tst_fileinspectorview.moc"
