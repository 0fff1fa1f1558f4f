// The inspector of one file or folder: its blocks, the share of the parent, the folder counts,
// dates, long names and paths, the two actions.

#include "ViewTestSupport.h"

#include "analysis/ClampedTextView.h"
#include "analysis/FileInspectorView.h"
#include "models/FileCategory.h"
#include "theme/ProportionBar.h"

#include <QClipboard>
#include <QPushButton>

using namespace plenvo;
using namespace plenvo::test;
using namespace Qt::StringLiterals;

namespace {

constexpr std::int64_t kDay = 86400000;
const std::string kLongName = "words " + std::string(150, 'n') + " more " + std::string(99, 'n');
const std::string kLongPath =
    QStringLiteral("folder-with-a-long-name/").repeated(12).toStdString() + "deep file.txt";
const std::string kOddName = "bad\xff\nname.txt";

const std::vector<Entry> kEntries = {
    {"docs/report.pdf", 300, kScanDate - kDay, kScanDate - 9 * kDay},
    {"docs/notes.txt", 100},
    {"docs/empty.txt", 0},
    {"media/clip.xyz", 600},
    {"media/sub/a.mp3", 0},
    {"void/zero.txt", 0},
    {kOddName, 7},
    {kLongName, 1},
    {kLongPath, 1},
};

struct Inspector : ViewFixture {
    explicit Inspector(const std::string& path)
        : ViewFixture("/scan/Projects", kEntries), item(node(path))
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

    NodeRef item;
    std::unique_ptr<FileInspectorView> view;
};

} // namespace

class FileInspectorViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }

    // Badge, share and counts (sub-folders, files, all files below), empty when not shown; the
    // lines the name and the path take ("…": shortened at the end).
    void blocks_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QStringList>("texts");
        row("root", QByteArray(), QStringList{"", "", "4 2 9", "1", "1"});
        row("folder of files", QByteArray("docs"), QStringList{"", "39.6%", "0 3 3", "1", "1"});
        row("mixed folder", QByteArray("media"), QStringList{"", "59.5%", "1 1 2", "1", "1"});
        row("file", QByteArray("docs/report.pdf"), QStringList{"Documents", "75.0%", "", "1", "1"});
        row("unknown extension", QByteArray("media/clip.xyz"),
            QStringList{"Other", "100.0%", "", "1", "1"});
        row("empty file", QByteArray("docs/empty.txt"),
            QStringList{"Documents", "0.0%", "", "1", "1"});
        row("empty parent", QByteArray("void/zero.txt"),
            QStringList{"Documents", "", "", "1", "1"});
        row("long name", QByteArray::fromStdString(kLongName),
            QStringList{"Other", "0.1%", "", "3…", "4…"});
        row("odd name", QByteArray::fromStdString(kOddName),
            QStringList{"Documents", "0.7%", "", "1", "1"});
        row("long path", QByteArray::fromStdString(kLongPath),
            QStringList{"Documents", "100.0%", "", "1", "4…"});
    }
    void blocks()
    {
        QFETCH(QByteArray, path);
        QFETCH(QStringList, texts);
        const Inspector i(path.toStdString());
        const bool folder = i.item->isDirectory();
        const auto lines = [&](const char* name) {
            const auto* text = i.child<ClampedTextView>(name);
            return QString::number(text->shownLineCount()) +
                   (text->shownText().endsWith(QChar(0x2026)) ? QStringLiteral("…") : QString());
        };
        const QStringList counts{i.text("folderCount"), i.text("fileCount"),
                                 i.text("totalFileCount")};
        QCOMPARE((QStringList{i.text("categoryText"), i.text("shareText"),
                              counts.join(u' ').trimmed(), lines("nameText"), lines("pathText")}),
                 texts);
        QCOMPARE(i.shown("trashButton"), !folder);
        QCOMPARE(i.shown("contentsSection"), folder);
        auto* bar = i.child<ProportionBar>("shareBar");
        QCOMPARE(bar->isVisibleTo(i.view.get()), !texts[1].isEmpty());
        if (!texts[1].isEmpty()) // the bar shows what the text says
            QCOMPARE(FormatUtils::formatPercent(bar->fraction() * 100), texts[1]);
        QCOMPARE(bar->color(), folder ? ColorToken::blue : FileCategory::of(*i.item).color());
        QCOMPARE(i.text("sizeText"), FormatUtils::formatBytes(i.item->cachedSize()));
        QCOMPARE(i.text("modifiedText"), FormatUtils::formatDateFull(i.item->modificationDate()));
        QCOMPARE(i.text("createdText"), FormatUtils::formatDateFull(i.item->creationDate()));
        // The date labels' column is never narrower than the labels.
        for (auto* label : i.view->findChildren<StyledLabel*>(QStringLiteral("dateLabel")))
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        // Nothing is cut off or reaches past the column's right edge; control characters show
        // as U+FFFD; a copy of the path gives all of it, also when it is shortened.
        for (auto* w : i.view->widget()->findChildren<QWidget*>())
            QVERIFY(!w->isVisible() || w->mapTo(i.view->widget(), w->rect().topRight()).x() <
                                           i.view->viewport()->width());
        for (auto* text : i.view->findChildren<ClampedTextView*>()) {
            QVERIFY(!text->shownText().contains(u'\n'));
            QVERIFY(text->document()->size().height() <= text->height());
        }
        auto* pathText = i.child<ClampedTextView>("pathText");
        if (!texts[4].endsWith(u'…'))
            QCOMPARE(pathText->shownText(), i.item->path());
        pathText->selectAll();
        pathText->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), i.item->path());
    }

    void actions()
    {
        Inspector i(kOddName);
        const std::string where = "/scan/Projects/" + kOddName;
        i.child<QPushButton>("revealButton")->click();
        QCOMPARE(i.fileManager.revealed, std::vector<std::vector<std::string>>{{where}});
        i.child<QPushButton>("trashButton")->click();
        QTRY_VERIFY(!i.state.isDeleting());
        QCOMPARE(i.trash->requests(), std::vector<std::string>{where});
        QVERIFY(!i.shown("shareText")); // its folder no longer holds it
    }

    // A folder a stopped scan did not finish counts at least what it shows; one it finished
    // counts exactly.
    void unfinishedFoldersCountAtLeast()
    {
        ViewFixture f("/scan/Projects", kEntries);
        markStopped(*f.state.scanResult(), {"media/sub"});
        for (const char* path : {"media", "docs"}) {
            const bool unfinished = path == std::string_view("media");
            f.state.setSelectedNode(f.node(path));
            std::unique_ptr<QWidget> view(f.factory.createInspectorView(f.state, nullptr));
            const auto text = [&](const char* name) {
                return view->findChild<StyledLabel*>(QString::fromLatin1(name))->fullText();
            };
            QCOMPARE(text("sizeText"),
                     FormatUtils::formatBytes(f.node(path)->cachedSize(), unfinished));
            QCOMPARE(text("totalFileCount"),
                     FormatUtils::formatCount(f.node(path)->cachedFileCount(), unfinished));
            QCOMPARE(text("sizeText").startsWith(L("amount.atLeast %@", u""_s).trimmed()),
                     unfinished);
        }
    }

    void followsTreeChanges()
    {
        Inspector i("docs");
        QVERIFY(i.state.editor().moveToTrash({i.node("docs/report.pdf")}));
        QTRY_VERIFY(!i.state.isDeleting());
        QCOMPARE(i.text("sizeText"), FormatUtils::formatBytes(100));
        QCOMPARE(i.text("fileCount"), u"2");
        i.state.setSelectedNode({}); // with nothing selected there is nothing to inspect
        QCOMPARE(i.factory.createInspectorView(i.state, nullptr), nullptr);
    }
};

QTEST_MAIN(FileInspectorViewTest)
#include "tst_fileinspectorview.moc"
