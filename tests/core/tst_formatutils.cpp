#include "utils/FormatUtils.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>

#include <cstdint>
#include <limits>

using namespace plenvo;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();
constexpr qint64 kInt64Min = std::numeric_limits<qint64>::min();
constexpr qint64 kGiB = qint64(1) << 30;
constexpr qint64 kTiB = qint64(1) << 40;
constexpr qint64 kPiB = qint64(1) << 50;

qint64 localTime(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute)).toMSecsSinceEpoch();
}

} // namespace

class FormatUtilsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // --- formatBytesCompact ---------------------------------------------------------------

    void compactSizes_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("expected");
        // The same text in every locale: '.' as decimal point, no grouping.
        for (const char* locale : {"en_US", "zh_CN", "de_DE"}) {
            auto row = [&](const char* name, qint64 bytes, const QString& expected) {
                QTest::addRow("%s %s", locale, name)
                    << QString::fromLatin1(locale) << bytes << expected;
            };
            row("negative", -5, u"-5 B"_s);
            row("most negative", kInt64Min, u"-9223372036854775808 B"_s);
            row("zero", 0, u"0 B"_s);
            row("one", 1, u"1 B"_s);
            row("below 1 KB", 1023, u"1023 B"_s);
            row("1 KB", 1024, u"1.0 KB"_s);
            row("1.5 KB", 1536, u"1.5 KB"_s);
            row("rounds half a tenth up", 1075, u"1.0 KB"_s);
            row("just below 1 MB", 1048575, u"1024.0 KB"_s);
            row("1 MB", 1048576, u"1.0 MB"_s);
            row("1 GB", kGiB, u"1.0 GB"_s);
            row("2.5 GB", 5 * kGiB / 2, u"2.5 GB"_s);
            row("1 TB", kTiB, u"1.0 TB"_s);
            row("no unit above TB", kPiB, u"1024.0 TB"_s);
            row("largest", kInt64Max, u"8388608.0 TB"_s);
        }
    }

    void compactSizes()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, bytes);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatUtils::formatBytesCompact(bytes), expected);
    }

    // --- formatBytes (full, 1000-based) ----------------------------------------------------

    void fullSizes_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* locale, const char* name, qint64 bytes, const QString& text) {
            QTest::addRow("%s %s", locale, name) << QString::fromLatin1(locale) << bytes << text;
        };
        row("en_US", "zero", 0, u"0 bytes"_s);
        row("en_US", "one", 1, u"1 byte"_s);
        row("en_US", "minus one", -1, u"-1 byte"_s);
        row("en_US", "negative", -5, u"-5 bytes"_s);
        row("en_US", "some bytes", 12, u"12 bytes"_s);
        row("en_US", "below 1 kB", 999, u"999 bytes"_s);
        row("en_US", "1 kB", 1000, u"1.0 kB"_s);
        row("en_US", "1023", 1023, u"1.0 kB"_s);
        row("en_US", "1024", 1024, u"1.0 kB"_s);
        row("en_US", "1536", 1536, u"1.5 kB"_s);
        row("en_US", "negative kB", -1536, u"-1.5 kB"_s);
        row("en_US", "last tenth below 1000 kB", 999949, u"999.9 kB"_s);
        row("en_US", "rounds up to the next unit", 999950, u"1.0 MB"_s);
        row("en_US", "1048575", 1048575, u"1.0 MB"_s);
        row("en_US", "2^30", kGiB, u"1.1 GB"_s);
        row("en_US", "1 TB", 1000LL * 1000 * 1000 * 1000, u"1.0 TB"_s);
        row("en_US", "2^50 stays in TB", kPiB, u"1,125.9 TB"_s);
        row("en_US", "1 PB stays in TB", 1000LL * 1000 * 1000 * 1000 * 1000, u"1,000.0 TB"_s);
        row("en_US", "largest", kInt64Max, u"9,223,372.0 TB"_s);
        row("en_US", "most negative", kInt64Min, u"-9,223,372.0 TB"_s);

        row("zh_CN", "zero", 0, u"0 字节"_s);
        row("zh_CN", "one", 1, u"1 字节"_s);
        row("zh_CN", "some bytes", 12, u"12 字节"_s);
        row("zh_CN", "1536", 1536, u"1.5 kB"_s);
        row("zh_CN", "2^30", kGiB, u"1.1 GB"_s);
        row("zh_CN", "2^50 stays in TB", kPiB, u"1,125.9 TB"_s);
        row("zh_CN", "largest", kInt64Max, u"9,223,372.0 TB"_s);

        row("de_DE", "1536", 1536, u"1,5 kB"_s);
        row("de_DE", "2^50 stays in TB", kPiB, u"1.125,9 TB"_s);
    }

    void fullSizes()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, bytes);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatUtils::formatBytes(bytes), expected);
    }

    // --- formatCount -----------------------------------------------------------------------

    void counts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("expected");
        QTest::newRow("en zero") << u"en_US"_s << qint64(0) << u"0"_s;
        QTest::newRow("en grouped") << u"en_US"_s << qint64(12345) << u"12,345"_s;
        QTest::newRow("en negative") << u"en_US"_s << qint64(-1234567) << u"-1,234,567"_s;
        QTest::newRow("en most negative")
            << u"en_US"_s << kInt64Min << u"-9,223,372,036,854,775,808"_s;
        QTest::newRow("zh grouped") << u"zh_CN"_s << qint64(12345) << u"12,345"_s;
        QTest::newRow("de grouped") << u"de_DE"_s << qint64(1234567) << u"1.234.567"_s;
        QTest::newRow("de small") << u"de_DE"_s << qint64(999) << u"999"_s;
    }

    void counts()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, count);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatUtils::formatCount(count), expected);
    }

    // --- formatDateFull --------------------------------------------------------------------

    void unknownDate()
    {
        for (const char* locale : {"en_US", "zh_CN", "de_DE"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            QCOMPARE(FormatUtils::formatDateFull(std::nullopt), u"未知"_s);
        }
    }

    void dates_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("expected");
        const qint64 afternoon = localTime(2026, 12, 6, 15, 4);
        const qint64 morning = localTime(2027, 1, 2, 9, 5);
        QTest::newRow("en afternoon") << u"en_US"_s << afternoon << u"Dec 6, 2026 3:04 PM"_s;
        QTest::newRow("en morning") << u"en_US"_s << morning << u"Jan 2, 2027 9:05 AM"_s;
        QTest::newRow("zh afternoon") << u"zh_CN"_s << afternoon << u"2026年12月6日 15:04"_s;
        QTest::newRow("zh morning") << u"zh_CN"_s << morning << u"2027年1月2日 09:05"_s;
        QTest::newRow("de afternoon") << u"de_DE"_s << afternoon << u"6. Dez. 2026 15:04"_s;
        QTest::newRow("fr afternoon") << u"fr_FR"_s << afternoon << u"6 déc. 2026 15:04"_s;
    }

    void dates()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, ms);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(FormatUtils::formatDateFull(ms), expected);
    }

    void datesNeverShowTheWeekday()
    {
        // 2026-12-06 is a Sunday.
        const qint64 ms = localTime(2026, 12, 6, 15, 4);
        for (const char* name : {"en_US", "en_GB", "zh_CN", "zh_TW", "de_DE", "ja_JP", "es_ES"}) {
            const QLocale locale{QString::fromLatin1(name)};
            QLocale::setDefault(locale);
            const QString text = FormatUtils::formatDateFull(ms);
            QVERIFY2(!text.contains(locale.dayName(7, QLocale::LongFormat)), qPrintable(text));
            QVERIFY2(text.contains(u"2026"_s), qPrintable(text));
            QVERIFY2(!text.startsWith(u' ') && !text.endsWith(u' '), qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(FormatUtilsTest)
#include "tst_formatutils.moc"
