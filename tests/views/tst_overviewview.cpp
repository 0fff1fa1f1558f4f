// The overview page over in-memory results: the header, the cards, the category rows and the
// largest files, and how it follows deletions.

#include "ViewTestSupport.h"

#include "analysis/OverviewView.h"
#include "theme/Divider.h"
#include "theme/ProportionBar.h"

#include <QScrollBar>

using namespace plenvo;
using namespace plenvo::test;
using Entries = std::vector<Entry>;
using namespace Qt::StringLiterals;

namespace {

// The overview of a result built in memory, shown at a size.
struct Page : ViewFixture {
    explicit Page(const Entries& entries, QSize size = {900, 2400})
        : ViewFixture("/home/user", entries), view(create<OverviewView>(SidebarItem::overview))
    {
        view->resize(size);
        view->show();
        settle();
    }
    void settle() const { QApplication::processEvents(), QApplication::processEvents(); }
    template <class T = StyledLabel> QList<T*> all(const char* name) const
    {
        return view->findChildren<T*>(QString::fromLatin1(name));
    }
    QStringList texts(const char* name) const
    {
        QStringList out;
        for (StyledLabel* label : all(name))
            out << label->fullText();
        return out;
    }
    const ScanResult& result() const { return *state.scanResult(); }

    std::unique_ptr<OverviewView> view;
};

} // namespace

class OverviewViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }

    // The category rows with their shares, and the largest files (ten at most).
    void sections_data()
    {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QStringList>("percents");
        Entries many;
        for (int i = 0; i < 25; ++i)
            many.push_back({"d" + std::to_string(i % 3) + "/f" + std::to_string(i), 10 * i});
        row("total zero", Entries{{"a.txt", 0}, {"b/c.jpg", 0}}, QStringList{"0.0%", "0.0%"});
        row("one category holds all", Entries{{"a.txt", 300}, {"d/b.pdf", 700}},
            QStringList{"100.0%"});
        row("largest first", Entries{{"a.mp3", 300}, {"d/b.mp4", 600}, {"c.png", 100}},
            QStringList{"60.0%", "30.0%", "10.0%"});
        row("no files", Entries{{"empty/", 0}}, QStringList{});
        row("more than ten files", many, QStringList{"100.0%"});
    }
    void sections()
    {
        QFETCH(Entries, entries);
        QFETCH(QStringList, percents);
        const Page page(entries);
        const auto& stats = page.result().categoryStat();
        QStringList names, sizes;
        for (const CategoryStat& stat : stats) {
            names << stat.category.localizedName();
            sizes << FormatUtils::formatBytesCompact(stat.totalSize);
        }
        QCOMPARE(page.texts("categoryName"), names);
        QCOMPARE(page.texts("categorySize"), sizes);
        QCOMPARE(page.texts("categoryPercent"), percents);
        const auto bars = page.all<ProportionBar>("categoryBar");
        QCOMPARE(bars.size(), percents.size());
        for (qsizetype i = 0; i < bars.size(); ++i) // the bars show what the texts say
            QCOMPARE(bars[i]->fillWidth(),
                     std::max(2.0, bars[i]->width() * percents[i].chopped(1).toDouble() / 100));
        QCOMPARE(page.texts("cardValue").last(),
                 L("overview.typesCount %lld", qint64(stats.size())));

        const int shown = std::min(int(page.result().topFiles().size()), 10);
        QStringList ranks, fileNames, folders, fileSizes;
        for (int i = 0; i < shown; ++i) {
            const FileNode& file = *page.result().topFiles()[std::size_t(i)];
            ranks << QString::number(i + 1);
            fileNames << file.name();
            folders << file.parent()->path();
            fileSizes << FormatUtils::formatBytes(file.fileSize());
        }
        QCOMPARE(page.texts("fileRank"), ranks);
        QCOMPARE(page.texts("fileName"), fileNames);
        QCOMPARE(page.texts("fileFolder"), folders);
        QCOMPARE(page.texts("fileSize"), fileSizes);
        // A divider under every row but the last.
        const auto rows = page.all<QWidget>("fileRow");
        QCOMPARE(rows.size(), shown);
        for (qsizetype i = 0; i < rows.size(); ++i)
            QCOMPARE(bool(rows[i]->findChild<Divider*>(QStringLiteral("fileDivider"))),
                     i + 1 < rows.size());
        // An empty panel says so instead of staying blank.
        QStringList empty;
        if (stats.empty())
            empty << L("overview.noFiles");
        if (shown == 0)
            empty << L("overview.noFiles");
        QCOMPARE(page.texts("emptyNote"), empty);
    }

    void headerAndCardsFollowDeletionsAndKeepTheScrollPosition()
    {
        Entries entries{{"Documents/paper.pdf", 900}};
        for (int i = 0; i < 12; ++i)
            entries.push_back({"Videos/clip" + std::to_string(i) + ".mp4", 5000 + i});
        Page page(entries, {900, 400});
        QCOMPARE(page.texts("overviewName") + page.texts("overviewPath") +
                     page.texts("overviewDate"),
                 (QStringList{"user", "/home/user", FormatUtils::formatDateFull(kScanDate)}));
        const auto cards = page.all<QWidget>("statCard");
        QCOMPARE(cards.size(), 4);
        for (QWidget* card : cards) // equal shares of the row
            QVERIFY(qAbs(card->width() - cards.front()->width()) <= 1);
        QScrollBar* scroll = page.view->verticalScrollBar();
        QVERIFY(scroll->maximum() > 100);
        scroll->setValue(100);

        page.state.editor().moveToTrash({page.result().topFiles().front()});
        QTRY_VERIFY(!page.state.isDeleting());
        page.settle();
        const ScanResult& result = page.result();
        QCOMPARE(
            page.texts("cardValue"),
            (QStringList{FormatUtils::formatBytes(result.totalSize()), FormatUtils::formatCount(12),
                         FormatUtils::formatCount(3), L("overview.typesCount %lld", qint64(2))}));
        QCOMPARE(page.texts("fileName").front(), QStringLiteral("clip10.mp4"));
        QCOMPARE(scroll->value(), 100);
    }

    // A stopped scan says so under its location, and its totals read "at least".
    void aStoppedScanCountsAtLeast()
    {
        ViewFixture fixture("/home/user", Entries{{"a.txt", 100}, {"d/", 4096}, {"d/b.txt", 10}});
        const Page complete(Entries{{"a.txt", 100}});
        QVERIFY(complete.all("overviewStoppedNote").front()->isHidden());
        ScanResult& result = *fixture.state.scanResult();
        markStopped(result, {"d"});
        const auto view = fixture.create<OverviewView>(SidebarItem::overview);
        view->resize(900, 1200);
        view->show();
        StyledLabel* note = view->findChild<StyledLabel*>(u"overviewStoppedNote"_s);
        QVERIFY(note->isVisible());
        QCOMPARE(note->fullText(), L("overview.stoppedNote"));
        QStringList cards;
        for (StyledLabel* label : view->findChildren<StyledLabel*>(u"cardValue"_s))
            cards << label->fullText();
        QCOMPARE(cards, (QStringList{FormatUtils::formatBytes(110, true),
                                     FormatUtils::formatCount(2, true),
                                     FormatUtils::formatCount(2, true),
                                     L("overview.typesCount %lld", qint64(1))}));
        QCOMPARE(cards.front(), L("amount.atLeast %@", FormatUtils::formatBytes(110)));
        QCOMPARE(view->findChild<StyledLabel*>(u"overviewFoldersNote"_s)->fullText(),
                 L("overview.foldersOwnSize %@", FormatUtils::formatBytes(4096, true)));
    }

    // Under the total, a note of what the folders take themselves, when they take anything.
    void aNoteSaysWhatTheFoldersTakeThemselves()
    {
        const Page without(Entries{{"a.txt", 100}, {"d/b.txt", 10}});
        QVERIFY(without.all("overviewFoldersNote").front()->isHidden());
        const Page with(Entries{{"a.txt", 100}, {"d/", 4096}, {"d/e/", 8192}, {"d/b.txt", 10}});
        StyledLabel* note = with.all("overviewFoldersNote").front();
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), L("overview.foldersOwnSize %@", FormatUtils::formatBytes(12288)));
        const QWidget* total = with.all<QWidget>("statCard").front();
        QVERIFY(note->mapTo(with.view.get(), QPoint()).y() >
                total->mapTo(with.view.get(), QPoint(0, total->height())).y());
    }
};

QTEST_MAIN(OverviewViewTest)
#include "tst_overviewview.moc"
