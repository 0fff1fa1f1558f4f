#include "utils/FormatUtils.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>

#include <limits>

using namespace plenvo;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();
constexpr qint64 kInt64Min = std::numeric_limits<qint64>::min();
constexpr qint64 kGiB = qint64(1) << 30;
constexpr qint64 kPiB = qint64(1) << 50;

void row(const char* format, const char* locale, const char* name, qint64 value,
         const QString& expected)
{
    QTest::addRow("%s %s %s", format, locale, name)
        << QString::fromLatin1(format) << QString::fromLatin1(locale) << value << expected;
}

} // namespace

class FormatUtilsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void formats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("expected");
        // Compact sizes: 1000-based, with '.' as decimal point and no grouping in any locale.
        row("compact", "any", "negative", -5, u"-5 B"_s);
        row("compact", "any", "zero", 0, u"0 B"_s);
        row("compact", "any", "below 1 KB", 999, u"999 B"_s);
        row("compact", "any", "1 KB", 1000, u"1.0 KB"_s);
        row("compact", "any", "rounds up to the next unit", 999999, u"1.0 MB"_s);
        row("compact", "any", "no unit above TB", kPiB, u"1125.9 TB"_s);
        row("compact", "any", "largest", kInt64Max, u"9223372.0 TB"_s);
        // Full sizes: 1000-based, in the locale's notation, with nothing above TB.
        row("full", "en_US", "zero", 0, u"0 bytes"_s);
        row("full", "en_US", "one", 1, u"1 byte"_s);
        row("full", "en_US", "minus one", -1, u"-1 byte"_s);
        row("full", "en_US", "most negative", kInt64Min, u"-9,223,372.0 TB"_s);
        row("full", "en_US", "1 kB", 1000, u"1.0 kB"_s);
        row("full", "en_US", "last tenth below 1000 kB", 999949, u"999.9 kB"_s);
        row("full", "en_US", "rounds up to the next unit", 999950, u"1.0 MB"_s);
        row("full", "en_US", "2^30", kGiB, u"1.1 GB"_s);
        row("full", "en_US", "2^50 stays in TB", kPiB, u"1,125.9 TB"_s);
        row("full", "en_US", "largest", kInt64Max, u"9,223,372.0 TB"_s);
        row("full", "zh_CN", "some bytes", 12, u"12 字节"_s);
        row("full", "zh_CN", "2^50 stays in TB", kPiB, u"1,125.9 TB"_s);
        row("full", "de_DE", "1536", 1536, u"1,5 kB"_s);
        row("full", "de_DE", "2^50 stays in TB", kPiB, u"1.125,9 TB"_s);
        // Counts, grouped as the locale groups.
        row("count", "en_US", "grouped", 12345, u"12,345"_s);
        row("count", "en_US", "most negative", kInt64Min, u"-9,223,372,036,854,775,808"_s);
        row("count", "de_DE", "grouped", -1234567, u"-1.234.567"_s);
        // Dates, without the weekday.
        const qint64 afternoon = QDateTime(QDate(2026, 12, 6), QTime(15, 4)).toMSecsSinceEpoch();
        const qint64 morning = QDateTime(QDate(2027, 1, 2), QTime(9, 5)).toMSecsSinceEpoch();
        row("date", "en_US", "afternoon", afternoon, u"Dec 6, 2026 3:04 PM"_s);
        row("date", "en_US", "morning", morning, u"Jan 2, 2027 9:05 AM"_s);
        row("date", "zh_CN", "morning", morning, u"2027年1月2日 09:05"_s);
        row("date", "de_DE", "afternoon", afternoon, u"6. Dez. 2026 15:04"_s);
    }

    void formats()
    {
        QFETCH(QString, format);
        QFETCH(QString, locale);
        QFETCH(qint64, value);
        QFETCH(QString, expected);
        const QStringList locales = locale == u"any"
                                        ? QStringList{u"en_US"_s, u"zh_CN"_s, u"de_DE"_s}
                                        : QStringList{locale};
        for (const QString& name : locales) {
            QLocale::setDefault(QLocale(name));
            QCOMPARE(format == u"compact" ? FormatUtils::formatBytesCompact(value)
                     : format == u"full"  ? FormatUtils::formatBytes(value)
                     : format == u"count" ? FormatUtils::formatCount(value)
                                          : FormatUtils::formatDateFull(value),
                     expected);
        }
    }

    // A total reads the same in both size formats: the compact one is the full one in English
    // without grouping and with "KB" for "kB".
    void compactAndFullSizesAgree()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        for (qint64 bytes = 1000; bytes < kInt64Max / 7; bytes = bytes * 7 + 3) {
            QString full = FormatUtils::formatBytes(bytes);
            full.remove(u',').replace(u"kB"_s, u"KB"_s);
            QCOMPARE(FormatUtils::formatBytesCompact(bytes), full);
        }
    }

    // In other locales too, a date shows no weekday; a missing one reads "unknown".
    void datesNeverShowTheWeekday()
    {
        const QDateTime sunday(QDate(2026, 12, 6), QTime(15, 4));
        for (const char* name : {"en_GB", "zh_TW", "ja_JP", "es_ES"}) {
            const QLocale locale{QString::fromLatin1(name)};
            QLocale::setDefault(locale);
            const QString text = FormatUtils::formatDateFull(sunday.toMSecsSinceEpoch());
            QVERIFY2(text.contains(u"2026"_s) && !text.contains(locale.dayName(7)),
                     qPrintable(text));
            QCOMPARE(FormatUtils::formatDateFull(std::nullopt), u"未知"_s);
        }
    }
};

QTEST_GUILESS_MAIN(FormatUtilsTest)
#include "tst_formatutils.moc"
