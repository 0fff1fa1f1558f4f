// The categories view over in-memory results: what it shows, paging, choosing a category by
// each of its controls, and how it repairs itself after files go (to a fake Trash).

#include "ViewTestSupport.h"

#include "analysis/CategoriesView.h"
#include "analysis/CategoryFilesHeader.h"
#include "analysis/CategoryLegendRow.h"
#include "analysis/CategoryListRow.h"
#include "analysis/RingChartView.h"
#include "theme/ProminentButton.h"
#include "theme/Colors.h"
#include "theme/Contrast.h"
#include "theme/Palettes.h"
#include "theme/SymbolView.h"

#include <cmath>
#include <numbers>

using namespace plenvo;
using namespace plenvo::test;

namespace {

// Videos (the largest category, about 77 % of the total), 3 documents (23 %) and 2 pieces of
// code (too small for a segment of their own), named "0000.mov", "0001.mov", ...
std::vector<Entry> mixed(int videos = 1200)
{
    std::vector<Entry> entries;
    const auto add = [&](const char* dir, const char* ext, int count, std::int64_t size) {
        for (int i = 0; i < count; ++i)
            entries.push_back({QString::asprintf("%s/%04d.%s", dir, i, ext).toStdString(), size});
    };
    add("Movies", "mov", videos, 200'000 / videos);
    add("Docs", "pdf", 3, 20'000);
    add("Src", "cpp", 2, 50);
    return entries;
}

struct Harness : ViewFixture {
    explicit Harness(const std::vector<Entry>& entries = mixed())
        : ViewFixture("/home/user", entries), view(create<CategoriesView>(SidebarItem::categories))
    {
    }
    QStringList selected() const { return namesOf(view->selection()->selectedFiles()); }

    std::unique_ptr<CategoriesView> view;
};

} // namespace

class CategoriesViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }

    // The total of a stopped scan is at least what it read.
    void aStoppedScansTotalIsAtLeast()
    {
        ViewFixture f("/home/user", mixed());
        markStopped(*f.state.scanResult(), {"Src"});
        const auto view = f.create<CategoriesView>(SidebarItem::categories);
        QCOMPARE(view->header()->subtitle(),
                 L("categories.summary %lld %@", qint64(3),
                   L("amount.atLeast %@", FormatUtils::formatBytes(259300))));
    }

    void shown_data()
    {
        QTest::addColumn<std::vector<Entry>>("entries");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QStringList>("shares"); // of the category rows, in order
        QTest::addColumn<QString>("title");      // also the caption in the ring's hole
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("shown");
        row("no files", std::vector<Entry>{{"empty/", 0}}, "Categories: 0 · Total: 0 bytes", 0,
            QStringList{}, "All Files", "Showing 0 of 0", "-");
        row("a total of 0", std::vector<Entry>{{"a.txt", 0}, {"b.mov", 0}},
            "Categories: 2 · Total: 0 bytes", 0, QStringList{"0.0%", "0.0%"}, "Documents",
            "Showing 1 of 1", "a.txt");
        row("more than a page", mixed(), "Categories: 3 · Total: 259.3 kB", 3,
            QStringList{"76.8%", "23.1%", "0.0%"}, "Videos", "Showing 500 of 1,200", "0000.mov");
    }
    void shown()
    {
        QFETCH(std::vector<Entry>, entries);
        QFETCH(QString, summary);
        QFETCH(int, segments);
        QFETCH(QStringList, shares);
        QFETCH(QString, title);
        QFETCH(QString, count);
        QFETCH(QString, shown);
        Harness h(entries);
        QCOMPARE(h.view->header()->subtitle(), summary);
        QCOMPARE(int(h.view->ring()->slices().size()), segments);
        QCOMPARE(h.view->ring()->center().caption, h.view->selectedCategory() ? title : "Total");
        QCOMPARE(int(h.view->legendRows().size()), shares.size());
        QStringList rowShares;
        for (const CategoryListRow* row : h.view->categoryRows())
            rowShares << row->shareText();
        QCOMPARE(rowShares, shares);
        CategoryFilesHeader& header = *h.view->filesHeader();
        const std::optional<FileCategory> chosen = h.view->selectedCategory();
        QCOMPARE(header.icon()->symbolName(),
                 chosen ? QString::fromLatin1(chosen->icon()) : QStringLiteral("tray.full.fill"));
        QCOMPARE(header.title(), title);
        QCOMPARE(header.countText(), count);
        QCOMPARE(header.showMoreButton()->isVisibleTo(&header), entries.size() > 500);
        QCOMPARE(h.selected(), shown == u"-" ? QStringList() : QStringList{shown});
        QCOMPARE(h.shown(), shown);
    }

    // The secondary texts of the clickable rows (a row's file count and share, the legend's
    // sizes) are drawn in the secondary colour, not in the primary one, and read at 4.5 : 1,
    // in both schemes: measured on the painted rows, no pixel of them stands out more from
    // the background than the secondary colour does.
    void secondaryTextsInRowsAreDimmed_data() { schemeRows(); }
    void secondaryTextsInRowsAreDimmed()
    {
        QFETCH(bool, dark);
        const QPalette original = QApplication::palette();
        const QPalette palette = dark ? darkPalette() : Palettes::light();
        QApplication::setPalette(palette);
        Harness h;
        h.view->resize(1100, 700);
        h.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.view.get()));
        const QColor secondary = Colors::textColor(ColorToken::secondary, palette);
        const auto check = [&](QWidget* row, std::initializer_list<int> dimmed) {
            const QImage image = row->grab().toImage();
            const QColor background = backgroundOf(image, image.rect());
            // Its labels top to bottom, left to right.
            QList<StyledLabel*> labels = row->findChildren<StyledLabel*>();
            std::sort(labels.begin(), labels.end(), [](const QWidget* a, const QWidget* b) {
                return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
            });
            for (int i : dimmed) {
                const double strongest =
                    strongestContrast(image, labels[i]->geometry(), background);
                QVERIFY2(strongest >= Contrast::kText &&
                             strongest <= Contrast::ratio(secondary, background) + 0.3,
                         qPrintable(labels[i]->fullText() + u' ' + QString::number(strongest)));
            }
        };
        check(h.view->categoryRows().back(), {2, 3}); // name, size; count, share
        check(h.view->legendRows().front(), {1});     // name, size
        QApplication::setPalette(original);
    }

    // Show More adds a page of rows at the end, without resetting the list or its selection.
    void paging()
    {
        Harness h;
        h.view->selection()->selectOnly(3);
        QSignalSpy resets(h.view->model(), &QAbstractItemModel::modelReset);
        QToolButton* button = h.view->filesHeader()->showMoreButton();
        for (const int listed : {500, 1000, 1200}) {
            QCOMPARE(h.view->model()->rowCount(), listed);
            QCOMPARE(h.view->filesHeader()->countText(),
                     L("categories.visibleFileCount %lld %lld", FormatUtils::countArg(listed),
                       FormatUtils::countArg(1200)));
            QCOMPARE(button->isVisibleTo(h.view->filesHeader()), listed < 1200);
            QCOMPARE(resets.count(), 0);
            QCOMPARE(h.selected(), QStringList{"0003.mov"});
            button->click();
        }
    }

    // A click on the ring, the legend or the list chooses a category; choosing the one
    // already chosen keeps the page and the selection.
    void choosing_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("index"); // 0: videos, the chosen one; 1: documents
        for (const char* control : {"ring", "legend", "list"}) {
            QTest::addRow("%s, another category", control) << control << 1;
            QTest::addRow("%s, the same category", control) << control << 0;
        }
    }
    void choosing()
    {
        QFETCH(QString, control);
        QFETCH(int, index);
        Harness h;
        h.view->showMore();
        h.view->selection()->selectOnly(7);
        const auto row = std::size_t(index);
        if (control == u"legend") {
            QTest::mouseClick(h.view->legendRows()[row], Qt::LeftButton);
        } else if (control == u"list") {
            QTest::mouseClick(h.view->categoryRows()[row], Qt::LeftButton);
        } else { // the middle of the segment, on the circle
            const RingSlice& slice = h.view->ring()->slices()[row];
            const double angle = (slice.start + slice.end) * std::numbers::pi;
            const QPointF point = h.view->ring()->ringBox().center() +
                                  QPointF(90 * std::sin(angle), -90 * std::cos(angle));
            QTest::mouseClick(h.view->ring(), Qt::LeftButton, {}, point.toPoint());
        }
        const FileCategory category = index ? FileCategory::documents : FileCategory::videos;
        QCOMPARE(h.view->selectedCategory(), std::optional<FileCategory>(category));
        QCOMPARE(h.view->ring()->selectedCategory(), std::optional<FileCategory>(category));
        for (const CategoryListRow* row : h.view->categoryRows())
            QCOMPARE(row->isChecked(), row->category() == category);
        QCOMPARE(h.view->visibleLimit(), index ? 500 : 1000);
        QCOMPARE(h.view->model()->rowCount(), index ? 3 : 1000);
        const QString first = index ? "0000.pdf" : "0007.mov";
        QCOMPARE(h.selected(), QStringList{first});
        QCOMPARE(h.shown(), first);
    }

    void afterDeletion_data()
    {
        // What goes: the files of a category, of all categories, or the selected file.
        QTest::addColumn<int>("videos");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("category");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("selectedAfter");
        row("the last files of the category", 4, "Videos", "Documents", 500, "0000.pdf");
        row("the selected file", 1200, "selected", "Videos", 1000, "0000.mov");
        row("another category's files", 1200, "Code", "Videos", 1000, "0002.mov");
        row("every file", 4, "all", "-", 500, "-");
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
        h.view->selection()->selectOnly(2);
        const ScanResult& result = *h.state.scanResult();
        if (deleted == u"selected") {
            h.view->bar()->trashButton()->click();
        } else {
            std::vector<NodeRef> doomed;
            for (FileCategory c : FileCategory::allCases())
                if (deleted == u"all" || deleted == c.rawValue())
                    doomed.insert(doomed.end(), result.files(c).begin(), result.files(c).end());
            h.state.editor().moveToTrash(doomed);
        }
        QTRY_VERIFY(!h.state.isDeleting());
        const std::optional<FileCategory> chosen = h.view->selectedCategory();
        QCOMPARE(chosen ? chosen->rawValue() : QStringLiteral("-"), category);
        QCOMPARE(h.view->visibleLimit(), limit);
        QCOMPARE(int(h.view->categoryRows().size()), int(result.categoryStat().size()));
        QCOMPARE(h.selected(), selectedAfter == u"-" ? QStringList() : QStringList{selectedAfter});
        QCOMPARE(h.shown(), selectedAfter);
    }
};

QTEST_MAIN(CategoriesViewTest)
#include "tst_categoriesview.moc"
