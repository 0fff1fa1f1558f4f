// The inspector of one file or folder: its blocks, the share of the parent, the folder counts,
// dates, long names and paths, the two actions.

#include "ViewTestSupport.h"

#include "analysis/ClampedTextView.h"
#include "analysis/FileInspectorView.h"
#include "models/FileCategory.h"
#include "theme/ProportionBar.h"
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"

#include <QClipboard>
#include <QPushButton>

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

struct Inspector : ViewFixture {
    explicit Inspector(const std::string& path) : ViewFixture(testResult()), item(node(path))
    {
        state.setSelectedNode(item);
        view.reset(qobject_cast<FileInspectorView*>(factory.createInspectorView(state, nullptr)));
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
    // Nothing reaches past the column's right edge.
    void fitsTheColumn() const
    {
        for (auto* w : view->widget()->findChildren<QWidget*>())
            QVERIFY(!w->isVisible() ||
                    w->mapTo(view->widget(), w->rect().topRight()).x() < view->viewport()->width());
    }

    NodeRef item;
    std::unique_ptr<FileInspectorView> view;
};

} // namespace

class FileInspectorViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }

    // Badge, share and counts (sub-folders, files, all files below); empty when not shown.
    void blocks_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("texts");
        row("root", "", QStringList{"", "", "4 2 9"});
        row("folder of files", "docs", QStringList{"", "39.6%", "0 3 3"});
        row("mixed folder", "media", QStringList{"", "59.5%", "1 1 2"});
        row("file", "docs/report.pdf", QStringList{"Documents", "75.0%", ""});
        row("unknown extension", "media/clip.xyz", QStringList{"Other", "100.0%", ""});
        row("empty file", "docs/empty.txt", QStringList{"Documents", "0.0%", ""});
        row("empty parent", "void/zero.txt", QStringList{"Documents", "", ""});
    }
    void blocks()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, texts);
        const Inspector i(path.toStdString());
        const bool folder = i.item->isDirectory();
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
        QCOMPARE(bar->color(), folder ? ColorToken::blue : FileCategory::of(*i.item).color());
        QCOMPARE(i.text("sizeText"), FormatUtils::formatBytes(i.item->cachedSize()));
        QCOMPARE(i.text("modifiedText"), FormatUtils::formatDateFull(i.item->modificationDate()));
        QCOMPARE(i.text("createdText"), FormatUtils::formatDateFull(i.item->creationDate()));
        // The date labels' column is never narrower than the labels.
        for (auto* label : i.view->findChildren<StyledLabel*>(QStringLiteral("dateLabel")))
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        QCOMPARE(i.child<ClampedTextView>("pathText")->shownText(), i.item->path());
        i.fitsTheColumn();
    }

    void longText_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("elided");
        row("short name", QByteArray("docs/notes.txt"), "nameText", 1, false);
        row("long name", QByteArray::fromStdString(kLongName), "nameText", 3, true);
        row("odd name", QByteArray::fromStdString(kOddName), "nameText", 1, false);
        row("short path", QByteArray("docs"), "pathText", 1, false);
        row("long path", QByteArray::fromStdString(kLongPath), "pathText", 4, true);
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
        i.fitsTheColumn();
        if (widget == u"pathText") { // a copy gives the whole path, also when elided
            text->selectAll();
            text->copy();
            QCOMPARE(QGuiApplication::clipboard()->text(), i.item->path());
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
        i.state.deleteFile(i.node("docs/report.pdf"));
        QCOMPARE(i.text("sizeText"), FormatUtils::formatBytes(100));
        QCOMPARE(i.text("fileCount"), u"2");
        i.state.setSelectedNode({}); // with nothing selected there is nothing to inspect
        QCOMPARE(i.factory.createInspectorView(i.state, nullptr), nullptr);
    }
};

QTEST_MAIN(FileInspectorViewTest)
#include "tst_fileinspectorview.moc"
