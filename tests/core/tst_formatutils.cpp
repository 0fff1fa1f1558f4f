#include "utils/FileUri.h"
#include "utils/FormatUtils.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>

#include <array>
#include <limits>

using namespace plenvo;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();
constexpr qint64 kInt64Min = std::numeric_limits<qint64>::min();
constexpr qint64 kPiB = qint64(1) << 50;

} // namespace

class FormatUtilsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void formats()
    {
        using Format = QString (*)(std::int64_t);
        const Format compact = FormatUtils::formatBytesCompact;
        const Format full = FormatUtils::formatBytes;
        const Format count = FormatUtils::formatCount;
        const Format date = [](std::int64_t ms) { return FormatUtils::formatDateFull(ms); };
        const qint64 afternoon = QDateTime(QDate(2026, 12, 6), QTime(15, 4)).toMSecsSinceEpoch();
        const qint64 morning = QDateTime(QDate(2027, 1, 2), QTime(9, 5)).toMSecsSinceEpoch();
        const std::tuple<Format, const char*, qint64, QString> cases[] = {
            // Compact sizes: 1000-based, with '.' as decimal point and no grouping in any locale.
            {compact, "de_DE", -5, u"-5 B"_s},
            {compact, "de_DE", 0, u"0 B"_s},
            {compact, "de_DE", 999, u"999 B"_s},
            {compact, "de_DE", kPiB, u"1125.9 TB"_s}, // no unit above TB
            // Full sizes: 1000-based, in the locale's notation, with nothing above TB.
            {full, "en_US", 0, u"0 bytes"_s},
            {full, "en_US", 1, u"1 byte"_s},
            {full, "en_US", -1, u"-1 byte"_s},
            {full, "en_US", kInt64Min, u"-9,223,372.0 TB"_s},
            {full, "en_US", 1000, u"1.0 kB"_s},
            {full, "en_US", 999949, u"999.9 kB"_s},
            {full, "en_US", 999950, u"1.0 MB"_s}, // rounds up to the next unit
            {full, "en_US", kPiB, u"1,125.9 TB"_s},
            {full, "en_US", kInt64Max, u"9,223,372.0 TB"_s},
            {full, "zh_CN", 12, u"12 字节"_s},
            {full, "zh_CN", kPiB, u"1,125.9 TB"_s},
            {full, "de_DE", 1536, u"1,5 kB"_s},
            {full, "de_DE", kPiB, u"1.125,9 TB"_s},
            // Counts, grouped as the locale groups.
            {count, "en_US", 12345, u"12,345"_s},
            {count, "en_US", kInt64Min, u"-9,223,372,036,854,775,808"_s},
            {count, "de_DE", -1234567, u"-1.234.567"_s},
            // Dates, without the weekday.
            {date, "en_US", afternoon, u"Dec 6, 2026 3:04 PM"_s},
            {date, "en_US", morning, u"Jan 2, 2027 9:05 AM"_s},
            {date, "zh_CN", morning, u"2027年1月2日 09:05"_s},
            {date, "de_DE", afternoon, u"6. Dez. 2026 15:04"_s}};
        for (const auto& [format, locale, value, expected] : cases) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            QCOMPARE(format(value), expected);
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

    // A location, its URI and the URI of its folder; decoding gives the bytes back.
    void urisHoldTheExactBytes()
    {
        const std::array<const char*, 3> cases[] = {
            {"/home/ada/notes.txt", "file:///home/ada/notes.txt", "file:///home/ada"},
            {"/a b/x#1?%.txt", "file:///a%20b/x%231%3F%25.txt", "file:///a%20b"},
            {"/d/\xc3\xa9t\xc3\xa9", "file:///d/%C3%A9t%C3%A9", "file:///d"},
            {"/x/bad\xff\xfe.txt", "file:///x/bad%FF%FE.txt", "file:///x"},
            {"/etc", "file:///etc", "file:///"},
            {"/m/dir/", "file:///m/dir/", "file:///m"}};
        for (const auto& [path, uri, folder] : cases) {
            QCOMPARE(FileUri::fromPath(path), QByteArray(uri));
            QCOMPARE(FileUri::ofContainingFolder(path), QByteArray(folder));
            QCOMPARE(QByteArray::fromPercentEncoding(QByteArray(uri).mid(7)), QByteArray(path));
        }
    }
};

QTEST_GUILESS_MAIN(FormatUtilsTest)
#include "tst_formatutils.moc"
