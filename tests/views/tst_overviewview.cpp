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
#include <QFrame>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;
using Entries = std::vector<Entry>;
Q_DECLARE_METATYPE(Entries)

namespace {

// The overview of a result built in memory, shown at a size.
struct Page {
    explicit Page(const Entries& entries, QSize size = {900, 2400})
        : state(std::make_shared<FakeTrash>())
    {
        state.showResult(makeResult("/home/user", entries));
        view = std::make_unique<OverviewView>(state);
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

    AppState state;
    std::unique_ptr<OverviewView> view;
};

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
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QStringList>("percents");
        QTest::addColumn<QList<double>>("fractions");
        QTest::newRow("total zero") << Entries{{"a.txt", 0}, {"b/c.jpg", 0}}
                                    << QStringList{"0.0%", "0.0%"} << QList<double>{0, 0};
        QTest::newRow("one category holds all") << Entries{{"a.txt", 300}, {"d/b.pdf", 700}}
                                                << QStringList{"100.0%"} << QList<double>{1};
        QTest::newRow("largest first")
            << Entries{{"a.mp3", 300}, {"d/b.mp4", 600}, {"c.png", 100}}
            << QStringList{"60.0%", "30.0%", "10.0%"} << QList<double>{0.6, 0.3, 0.1};
        QTest::newRow("no files") << Entries{{"empty/", 0}} << QStringList{} << QList<double>{};
    }

    void categoryRows()
    {
        QFETCH(Entries, entries);
        QFETCH(QStringList, percents);
        QFETCH(QList<double>, fractions);
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
        QCOMPARE(bars.size(), fractions.size());
        for (qsizetype i = 0; i < bars.size(); ++i)
            QCOMPARE(bars[i]->fillWidth(), std::max(2.0, bars[i]->width() * fractions[i]));
        QCOMPARE(page.texts("cardValue").last(),
                 L("overview.typesCount %lld", qint64(stats.size())));
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
        Entries entries;
        for (int i = 0; i < count; ++i)
            entries.push_back({"d" + std::to_string(i % 3) + "/f" + std::to_string(i), 10 * i});
        const Page page(entries);
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
        const Page page({{"a/x.JPG", 300}, {"b/x.jpg", 200}, {"x.txt", 100}});
        QList<QImage> icons;
        for (SymbolView* icon : page.all<SymbolView>("fileIcon"))
            icons << icon->grab().toImage();
        QCOMPARE(page.texts("fileName"), (QStringList{"x.JPG", "x.jpg", "x.txt"}));
        QCOMPARE(icons[0], icons[1]);
        QVERIFY(icons[0] != icons[2]);
    }

    void followsDeletionsAndKeepsScrollPosition()
    {
        Entries entries{{"Documents/paper.pdf", 900}};
        for (int i = 0; i < 12; ++i)
            entries.push_back({"Videos/clip" + std::to_string(i) + ".mp4", 5000 + i});
        Page page(entries, {900, 400});
        QScrollBar* scroll = page.view->verticalScrollBar();
        QVERIFY(scroll->maximum() > 100);
        scroll->setValue(100);

        page.state.deleteFile(page.result().topFiles().front());
        page.settle();
        const ScanResult& result = page.result();
        QCOMPARE(
            page.texts("cardValue"),
            (QStringList{FormatUtils::formatBytes(result.totalSize()), FormatUtils::formatCount(12),
                         FormatUtils::formatCount(3), L("overview.typesCount %lld", qint64(2))}));
        QCOMPARE(page.texts("fileName").front(), QStringLiteral("clip10.mp4"));
        QCOMPARE(scroll->value(), 100);
    }

    // A home folder, light and dark, saved as PNGs when PLENVO_SCREENSHOT_DIR is set.
    void pictures()
    {
        Entries home{{"Videos/Holiday/beach.mov", 4'800'000'000},
                     {"Videos/screen-recording.mkv", 730'000'000},
                     {"Downloads/debian-12-amd64-DVD-1.iso", 3'900'000'000},
                     {"Downloads/installer.AppImage", 212'000'000},
                     {"Music/Live at the Harbour/01 Opening.flac", 61'000'000},
                     {"Documents/Taxes/2025 return.pdf", 2'400'000},
                     {"Projects/plenvo/build/objects.tar.gz", 640'000'000},
                     {"Projects/plenvo/src/main.cpp", 12'000},
                     {".cache/browser/data.cache", 310'000'000}};
        for (int i = 0; i < 40; ++i)
            home.push_back(
                {"Photos/IMG_" + std::to_string(4100 + i) + ".JPG", 2'000'000 + 9753 * i});
        const QPalette light = QApplication::palette();
        QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x1e, 0x1e, 0x1e));
        dark.setColor(QPalette::Mid, QColor(0x44, 0x44, 0x44));
        for (const QString scheme : {"light", "dark"}) {
            QApplication::setPalette(scheme == "dark" ? dark : light);
            const Page page(home, {1000, 800});
            QCOMPARE(page.texts("overviewName") + page.texts("overviewPath") +
                         page.texts("overviewDate"),
                     (QStringList{"user", "/home/user", FormatUtils::formatDateFull(kScanDate)}));
            const auto cards = page.all<QWidget>("statCard");
            QCOMPARE(cards.size(), 4);
            for (QWidget* card : cards) // equal shares of the row
                QVERIFY(qAbs(card->width() - cards.front()->width()) <= 1);
            const QString dir = qEnvironmentVariable("PLENVO_SCREENSHOT_DIR");
            if (!dir.isEmpty())
                QVERIFY(page.view->grab().save(dir + "/overview-" + scheme + ".png"));
        }
        QApplication::setPalette(light);
    }
};

QTEST_MAIN(OverviewViewTest)
#include "tst_overviewview.moc"
