#include "ResultBuilder.h"
#include "state/FakeTrash.h"

#include "AppState.h"
#include "analysis/OverviewView.h"
#include "theme/ProportionBar.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;

Q_DECLARE_METATYPE(std::vector<plenvo::test::Entry>)

namespace {

// An overview of `result` in a shown window of the given height.
struct Page {
    explicit Page(std::shared_ptr<ScanResult> result, int height = 2400)
        : state(std::make_shared<FakeTrash>())
    {
        state.showResult(std::move(result));
        view = std::make_unique<OverviewView>(state);
        view->resize(900, height);
        view->show();
        settle();
    }
    void settle() const
    {
        QApplication::processEvents();
        QApplication::processEvents();
    }
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

    AppState state;
    std::unique_ptr<OverviewView> view;
};

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x1e));
    p.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::Base, QColor(0x28, 0x28, 0x28));
    p.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
    p.setColor(QPalette::Mid, QColor(0x44, 0x44, 0x44));
    return p;
}

// A home folder of everyday material, for pictures of the page.
std::vector<Entry> homeFolder()
{
    std::vector<Entry> entries = {
        {"Videos/Holiday 2025/beach.mov", 4'800'000'000},
        {"Videos/Holiday 2025/sunset.mp4", 1'250'000'000},
        {"Videos/screen-recording.mkv", 730'000'000},
        {"Downloads/debian-12.5.0-amd64-DVD-1.iso", 3'900'000'000},
        {"Downloads/installer-setup.AppImage", 212'000'000},
        {"Downloads/fonts.zip", 48'000'000},
        {"Music/Albums/Live at the Harbour/01 Opening.flac", 61'000'000},
        {"Music/Albums/Live at the Harbour/02 Tides.flac", 54'000'000},
        {"Music/podcast-episode-118.mp3", 38'000'000},
        {"Documents/Taxes/2025 return.pdf", 2'400'000},
        {"Documents/thesis-final-final-v3.docx", 9'800'000},
        {"Documents/budget.xlsx", 350'000},
        {"Projects/plenvo/build/cache/objects.tar.gz", 640'000'000},
        {"Projects/plenvo/src/main.cpp", 12'000},
        {"Projects/plenvo/src/scanner.cpp", 48'000},
        {"Projects/website/index.html", 8'000},
        {".cache/thumbnails/large/5f2a.png", 120'000},
        {".cache/browser/data.cache", 310'000'000},
    };
    for (int i = 0; i < 40; ++i)
        entries.push_back({"Photos/2025/IMG_" + std::to_string(4100 + i) + ".JPG",
                           2'000'000 + 97'531 * std::int64_t(i)});
    return entries;
}

} // namespace

class OverviewViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }

    void categoryRows_data()
    {
        QTest::addColumn<std::vector<Entry>>("entries");
        QTest::addColumn<QStringList>("percents");
        QTest::addColumn<QList<double>>("fractions");
        QTest::newRow("total zero") << std::vector<Entry>{{"a.txt", 0}, {"b/c.jpg", 0}}
                                    << QStringList{"0.0%", "0.0%"} << QList<double>{0, 0};
        QTest::newRow("one category holds everything")
            << std::vector<Entry>{{"notes.txt", 300}, {"docs/report.pdf", 700}}
            << QStringList{"100.0%"} << QList<double>{1};
        QTest::newRow("shares, largest first")
            << std::vector<Entry>{{"song.mp3", 300}, {"a/movie.mp4", 600}, {"photo.png", 100}}
            << QStringList{"60.0%", "30.0%", "10.0%"} << QList<double>{0.6, 0.3, 0.1};
        QTest::newRow("one decimal")
            << std::vector<Entry>{{"a.txt", 1}, {"b.jpg", 2}} << QStringList{"66.7%", "33.3%"}
            << QList<double>{2.0 / 3, 1.0 / 3};
        QTest::newRow("no files") << std::vector<Entry>{{"empty/", 0}} << QStringList{}
                                  << QList<double>{};
    }

    void categoryRows()
    {
        QFETCH(std::vector<Entry>, entries);
        QFETCH(QStringList, percents);
        QFETCH(QList<double>, fractions);
        const Page page(makeResult("/home/user/Projects", entries));
        const auto& stats = page.result().categoryStat();

        QCOMPARE(page.all<QWidget>("categoryRow").size(), qsizetype(stats.size()));
        QCOMPARE(page.texts("categoryPercent"), percents);
        QStringList names, sizes;
        for (const CategoryStat& stat : stats) {
            names << stat.category.localizedName();
            sizes << FormatUtils::formatBytesCompact(stat.totalSize);
        }
        QCOMPARE(page.texts("categoryName"), names);
        QCOMPARE(page.texts("categorySize"), sizes);
        const auto bars = page.all<ProportionBar>("categoryBar");
        for (qsizetype i = 0; i < bars.size(); ++i) {
            QVERIFY(bars[i]->width() > 100);
            QCOMPARE(bars[i]->fillWidth(), std::max(2.0, bars[i]->width() * fractions[i]));
        }
        QCOMPARE(page.texts("cardValue").last(),
                 L("overview.typesCount %lld", qint64(stats.size())));
        QCOMPARE(page.texts("panelTitle"),
                 (QStringList{L("overview.spaceUsage"), L("overview.largestFiles")}));
    }

    void topFiles_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("none") << 0;
        QTest::newRow("three") << 3;
        QTest::newRow("twenty-five") << 25;
    }

    void topFiles()
    {
        QFETCH(int, count);
        std::vector<Entry> entries;
        for (int i = 0; i < count; ++i)
            entries.push_back({"dir" + std::to_string(i % 3) + "/file" + std::to_string(i) + ".bin",
                               1000 * (i + 1)});
        const Page page(makeResult("/home/user/Projects", entries));
        const int shown = std::min(count, 10);

        QStringList ranks, names, folders, sizes;
        for (int i = 0; i < shown; ++i) {
            const FileNode& file = *page.result().topFiles()[std::size_t(i)];
            ranks << QString::number(i + 1);
            names << file.name();
            folders << file.parent()->path();
            sizes << FormatUtils::formatBytes(file.fileSize());
        }
        QCOMPARE(page.texts("fileRank"), ranks);
        QCOMPARE(page.texts("fileName"), names);
        QCOMPARE(page.texts("fileFolder"), folders);
        QCOMPARE(page.texts("fileSize"), sizes);

        // A divider under every row but the last, inset from the leading edge.
        const auto rows = page.all<QWidget>("fileRow");
        QCOMPARE(rows.size(), shown);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            auto* divider = rows[i]->findChild<QFrame*>(QStringLiteral("fileDivider"));
            QCOMPARE(divider != nullptr, i + 1 < rows.size());
            if (divider)
                QCOMPARE(divider->mapTo(rows[i], QPoint(0, 0)).x(), OverviewView::kDividerInset);
        }
    }

    void upperCaseExtensionDrawsTheSameIcon()
    {
        const Page page(makeResult(
            "/home/user", {{"a/holiday.JPG", 300}, {"b/holiday.jpg", 200}, {"notes.txt", 100}}));
        QList<QImage> icons;
        for (SymbolView* icon : page.all<SymbolView>("fileIcon"))
            icons << icon->grab().toImage();
        QCOMPARE(page.texts("fileName"), (QStringList{"holiday.JPG", "holiday.jpg", "notes.txt"}));
        QCOMPARE(icons.size(), 3);
        QCOMPARE(icons[0], icons[1]);
        QVERIFY(icons[0] != icons[2]);
    }

    void longFolderIsShortenedAtItsStart()
    {
        Page page(makeResult("/home/user",
                             {{"a/very/deep/tree/of/many/folders/that/ends/in/Last/x.bin", 5}}));
        page.view->resize(420, 600);
        page.settle();
        const QString shown = page.all("fileFolder").front()->text();
        QVERIFY2(shown.startsWith(QChar(0x2026)) && shown.endsWith("/in/Last"), qPrintable(shown));
    }

    void followsDeletionsAndKeepsScrollPosition()
    {
        std::vector<Entry> entries;
        for (int i = 0; i < 12; ++i)
            entries.push_back({"Videos/clip" + std::to_string(i) + ".mp4", 5000 + i});
        entries.push_back({"Documents/paper.pdf", 900});
        Page page(makeResult("/home/user", entries), 400);

        QCOMPARE(page.texts("overviewName"), QStringList{"user"});
        QCOMPARE(page.texts("overviewPath"), QStringList{"/home/user"});
        QCOMPARE(page.texts("overviewDate"), QStringList{FormatUtils::formatDateFull(kScanDate)});
        const auto cards = page.all<QWidget>("statCard");
        QCOMPARE(cards.size(), 4);
        for (QWidget* card : cards)
            QVERIFY(qAbs(card->width() - cards.front()->width()) <= 1); // equal shares

        QScrollBar* scroll = page.view->verticalScrollBar();
        QVERIFY(scroll->maximum() > 100);
        scroll->setValue(100);

        const NodeRef largest = page.result().topFiles().front();
        page.state.deleteFile(largest);
        page.settle();
        const ScanResult& result = page.result();
        QCOMPARE(
            page.texts("cardValue"),
            (QStringList{FormatUtils::formatBytes(result.totalSize()), FormatUtils::formatCount(12),
                         FormatUtils::formatCount(3), L("overview.typesCount %lld", qint64(2))}));
        QCOMPARE(page.texts("categorySize").front(),
                 FormatUtils::formatBytesCompact(result.categoryStat().front().totalSize));
        QCOMPARE(page.texts("fileName").front(), QStringLiteral("clip10.mp4"));
        QCOMPARE(page.all<QWidget>("fileRow").size(), 10);
        QCOMPARE(scroll->value(), 100);
    }

    // The page of a home folder, light and dark; saved as PNGs when PLENVO_SCREENSHOT_DIR is set.
    void pictures_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void pictures()
    {
        QFETCH(bool, dark);
        const QPalette light = QApplication::palette();
        if (dark)
            QApplication::setPalette(darkPalette());
        const Page page(makeResult("/home/user", homeFolder()), 800);
        page.view->resize(1000, 800);
        page.settle();
        // Everything fits the width: the panels end inside the page's padding.
        auto* panel = page.view->findChild<QWidget*>(QStringLiteral("topFilesPanel"));
        QCOMPARE(panel->mapTo(page.view->widget(), QPoint(panel->width(), 0)).x() + 24,
                 page.view->viewport()->width());
        const QString dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            QVERIFY(page.view->grab().save(dir +
                                           (dark ? "/overview-dark.png" : "/overview-light.png")));
        }
        QApplication::setPalette(light);
    }
};

QTEST_MAIN(OverviewViewTest)
#include "tst_overviewview.moc"
