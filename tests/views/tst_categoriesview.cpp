// The categories view over in-memory results: what it shows, paging, choosing a category by
// each of its controls, and how it repairs itself after files go (to a fake Trash).

#include "FakeClipboard.h"
#include "FakeFileManager.h"
#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/AnalysisViewFactory.h"
#include "analysis/CategoriesView.h"
#include "analysis/CategoryFilesHeader.h"
#include "analysis/CategoryLegendRow.h"
#include "analysis/CategoryListRow.h"
#include "analysis/FileListModel.h"
#include "analysis/FileOperationBar.h"
#include "analysis/FileSelectionModel.h"
#include "analysis/RingChartView.h"
#include "analysis/ViewHeader.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <numbers>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// `count` files "dir/0000.ext", "dir/0001.ext", ... of `size` bytes each.
std::vector<Entry> files(const std::string& dir, const std::string& ext, int count,
                         std::int64_t size)
{
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({dir + "/" + QString::asprintf("%04d.", i).toStdString() + ext, size});
    return entries;
}

std::vector<Entry> operator+(std::vector<Entry> a, const std::vector<Entry>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Videos (the largest category, about 77 % of the total), 3 documents (23 %) and 2 pieces of
// code (too small for a segment of their own).
std::vector<Entry> mixed(int videos = 1200)
{
    return files("Movies", "mov", videos, 200'000 / videos) + files("Docs", "pdf", 3, 20'000) +
           files("Src", "cpp", 2, 50);
}

struct Harness {
    explicit Harness(const std::vector<Entry>& entries = mixed())
    {
        state.showResult(makeResult("/home/user", entries));
        view.reset(qobject_cast<CategoriesView*>(
            factory.createDetailView(SidebarItem::categories, state, nullptr)));
    }
    QStringList selected() const
    {
        QStringList names;
        for (const NodeRef& file : view->selection()->selectedFiles())
            names << file->name();
        return names;
    }
    QString shown() const
    {
        return state.selectedNode() ? state.selectedNode()->name() : QStringLiteral("-");
    }
    QString category() const
    {
        return view->selectedCategory() ? view->selectedCategory()->rawValue()
                                        : QStringLiteral("-");
    }
    void selectRow(int row) { view->selection()->selectOnly(row); }

    AppState state{std::make_shared<FakeTrash>()};
    FakeFileManager fileManager;
    FakeClipboard clipboard;
    AnalysisViewFactory factory{fileManager, clipboard};
    std::unique_ptr<CategoriesView> view;
};

} // namespace

class CategoriesViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void shown_data()
    {
        QTest::addColumn<std::vector<Entry>>("entries");
        QTest::addColumn<QString>("category");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QStringList>("shares"); // of the category rows, in order
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no files") << std::vector<Entry>{{"empty/", 0}} << "-" << 0 << QStringList{}
                                  << "tray.full.fill" << L("categories.allFiles") << 0 << "-";
        QTest::newRow("a total of 0") << std::vector<Entry>{{"a.txt", 0}, {"b.mov", 0}}
                                      << "Documents" << 0 << QStringList{"0.0%", "0.0%"}
                                      << "doc.text.fill" << L("category.documents") << 1 << "a.txt";
        QTest::newRow("several categories")
            << mixed() << "Videos" << 3 << QStringList{"76.8%", "23.1%", "0.0%"} << "film.fill"
            << L("category.videos") << 500 << "0000.mov";
    }
    void shown()
    {
        QFETCH(std::vector<Entry>, entries);
        QFETCH(QString, category);
        QFETCH(int, segments);
        QFETCH(QStringList, shares);
        QFETCH(QString, icon);
        QFETCH(QString, title);
        QFETCH(int, listed);
        QFETCH(QString, shown);
        Harness h(entries);
        const ScanResult& result = *h.state.scanResult();
        QCOMPARE(h.category(), category);
        QCOMPARE(h.view->header()->subtitle(),
                 L("categories.summary %lld %@", qint64(result.categoryStat().size()),
                   FormatUtils::formatBytes(result.totalSize())));
        QCOMPARE(int(h.view->ring()->slices().size()), segments);
        QCOMPARE(int(h.view->legendRows().size()), shares.size());
        QStringList rowShares;
        for (const CategoryListRow* row : h.view->categoryRows())
            rowShares << row->shareText();
        QCOMPARE(rowShares, shares);
        // The hole names the category, or the whole scan when there is none.
        QCOMPARE(h.view->ring()->center().caption,
                 category == u"-" ? L("categories.total") : title);
        CategoryFilesHeader& header = *h.view->filesHeader();
        QCOMPARE(header.icon()->symbolName(), icon);
        QCOMPARE(header.title(), title);
        const qint64 total = h.view->selectedCategory()
                                 ? qint64(result.files(*h.view->selectedCategory()).size())
                                 : 0;
        QCOMPARE(header.countText(), L("categories.visibleFileCount %lld %lld", listed, total));
        QCOMPARE(header.showMoreButton()->isVisibleTo(&header), listed < total);
        QCOMPARE(h.view->model()->rowCount(), listed);
        QCOMPARE(h.selected(), shown == u"-" ? QStringList() : QStringList{shown});
        QCOMPARE(h.shown(), shown);
    }

    // Show More adds a page of rows at the end, without resetting the list or its selection.
    void paging_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("listed");
        QTest::newRow("first page") << 0 << 500;
        QTest::newRow("two pages") << 1 << 1000;
        QTest::newRow("all of them") << 2 << 1200;
    }
    void paging()
    {
        QFETCH(int, clicks);
        QFETCH(int, listed);
        Harness h;
        h.selectRow(3);
        QSignalSpy resets(h.view->model(), &QAbstractItemModel::modelReset);
        QToolButton* button = h.view->filesHeader()->showMoreButton();
        for (int i = 0; i < clicks; ++i)
            button->click();
        QCOMPARE(h.view->visibleLimit(), 500 * (clicks + 1));
        QCOMPARE(h.view->model()->rowCount(), listed);
        QCOMPARE(h.view->filesHeader()->countText(),
                 L("categories.visibleFileCount %lld %lld", qint64(listed), qint64(1200)));
        QCOMPARE(button->isVisibleTo(h.view->filesHeader()), listed < 1200);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(h.selected(), QStringList{"0003.mov"});
        QCOMPARE(int(h.state.inspectorCandidateNodes().size()), listed);
    }

    // A click on the ring, the legend or the list chooses a category; choosing the one
    // already chosen keeps the page and the selection.
    void choosing_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("target");
        for (const char* control : {"ring", "legend", "list"}) {
            QTest::addRow("%s, another category", control) << control << "Documents";
            QTest::addRow("%s, the same category", control) << control << "Videos";
        }
    }
    void choosing()
    {
        QFETCH(QString, control);
        QFETCH(QString, target);
        Harness h;
        h.view->showMore();
        h.selectRow(7);
        const FileCategory category = *FileCategory::fromRawValue(target);
        const auto index =
            std::find_if(h.view->categoryRows().begin(), h.view->categoryRows().end(),
                         [&](CategoryListRow* row) { return row->category() == category; }) -
            h.view->categoryRows().begin();
        if (control == u"legend") {
            QTest::mouseClick(h.view->legendRows()[std::size_t(index)], Qt::LeftButton);
        } else if (control == u"list") {
            QTest::mouseClick(h.view->categoryRows()[std::size_t(index)], Qt::LeftButton);
        } else {
            // The middle of the category's segment, on the circle.
            const RingSlice& slice = h.view->ring()->slices()[std::size_t(index)];
            const double angle = (slice.start + slice.end) * std::numbers::pi;
            const QRectF box = h.view->ring()->ringBox();
            const QPointF point =
                box.center() + QPointF(90 * std::sin(angle), -90 * std::cos(angle));
            QTest::mouseClick(h.view->ring(), Qt::LeftButton, {}, point.toPoint());
        }
        const bool same = target == u"Videos";
        QCOMPARE(h.category(), target);
        QCOMPARE(h.view->ring()->selectedCategory(), std::optional<FileCategory>(category));
        for (const CategoryListRow* row : h.view->categoryRows())
            QCOMPARE(row->isChecked(), row->category() == category);
        QCOMPARE(h.view->visibleLimit(), same ? 1000 : 500);
        QCOMPARE(h.view->model()->rowCount(), same ? 1000 : 3);
        const QString first = same ? "0007.mov" : "0000.pdf";
        QCOMPARE(h.selected(), QStringList{first});
        QCOMPARE(h.shown(), first);
    }

    void afterDeletion_data()
    {
        // Which files go: "videos" all of them (the chosen category), "selected" the selected
        // file, "code" another category's, "all" every file.
        QTest::addColumn<int>("videos");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("category");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("selectedAfter");
        QTest::newRow("the last files of the category")
            << 4 << QString("videos") << QString("Documents") << 500 << QString("0000.pdf");
        QTest::newRow("the selected file")
            << 1200 << QString("selected") << QString("Videos") << 1000 << QString("0000.mov");
        QTest::newRow("another category's files")
            << 1200 << QString("code") << QString("Videos") << 1000 << QString("0002.mov");
        QTest::newRow("every file") << 4 << QString("all") << QString("-") << 500 << QString("-");
    }
    void afterDeletion()
    {
        QFETCH(int, videos);
        QFETCH(QString, deleted);
        QFETCH(QString, category);
        QFETCH(int, limit);
        QFETCH(QString, selectedAfter);
        Harness h(mixed(videos));
        h.view->showMore();
        h.selectRow(2);
        const ScanResult& result = *h.state.scanResult();
        if (deleted == u"selected") {
            h.view->bar()->moveToTrash();
        } else {
            std::vector<NodeRef> doomed;
            for (FileCategory c : FileCategory::allCases())
                if (deleted == u"all" || (deleted == u"videos" && c == FileCategory::videos) ||
                    (deleted == u"code" && c == FileCategory::code))
                    doomed.insert(doomed.end(), result.files(c).begin(), result.files(c).end());
            h.state.deleteFiles(doomed);
        }
        QTRY_VERIFY(!h.state.isDeleting());
        QCOMPARE(h.category(), category);
        QCOMPARE(h.view->visibleLimit(), limit);
        QCOMPARE(int(h.view->categoryRows().size()), int(result.categoryStat().size()));
        QCOMPARE(h.selected(), selectedAfter == u"-" ? QStringList() : QStringList{selectedAfter});
        QCOMPARE(h.shown(), selectedAfter);
        const qint64 fileCount = h.view->selectedCategory()
                                     ? qint64(result.files(*h.view->selectedCategory()).size())
                                     : 0;
        QCOMPARE(h.view->filesHeader()->countText(), L("categories.visibleFileCount %lld %lld",
                                                       qMin<qint64>(fileCount, limit), fileCount));
    }
};

QTEST_MAIN(CategoriesViewTest)
#include "tst_categoriesview.moc"
