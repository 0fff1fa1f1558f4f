#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#include <vector>

using namespace plenvo;
using namespace Qt::StringLiterals;

// Localized texts: the translation sources, the lookup, the filling of placeholders and the
// locale's forms of sizes, counts and dates.
//
// This executable runs from a folder of its own, next to a secondary bundle
// (Plenvo_Plenvo.bundle) compiled from tests/core/data/l10n: its catalogs override
// "app.name" and "sidebar.overview" and add "test.bundleOnly" (both languages) and
// "test.bundleFormat %lld %@" (English only).

namespace {

constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();
constexpr qint64 kInt64Min = std::numeric_limits<qint64>::min();
constexpr qint64 kPiB = qint64(1) << 50;

QString format(const QString& text, std::initializer_list<StringFormatter::Arg> args)
{
    const std::vector<StringFormatter::Arg> list(args);
    return StringFormatter::format(text, list);
}

// The finished translations of a language's catalog source, by id.
QMap<QString, QString> readCatalog(const QString& language, QString* error)
{
    QFile file(QStringLiteral(PLENVO_I18N_DIR "/") + u"plenvo_"_s + language + u".ts"_s);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QMap<QString, QString> texts;
    QString id;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"message") {
            id = xml.attributes().value(QLatin1StringView("id")).toString();
            if (id.isEmpty() || texts.contains(id))
                *error =
                    u"no id, or a repeated one, at line "_s + QString::number(xml.lineNumber());
        } else if (xml.isStartElement() && xml.name() == u"translation" &&
                   xml.attributes().value(QLatin1StringView("type")).isEmpty()) {
            texts.insert(id, xml.readElementText(QXmlStreamReader::IncludeChildElements));
        }
    }
    if (xml.hasError())
        *error = file.fileName() + u": "_s + xml.errorString();
    return texts;
}

// Empty when the text takes the arguments of its key: filled with distinct arguments of the
// kinds the key names, it shows each of them, and every placeholder it has ('%' that is not
// "%%") is filled.
QString placeholderMismatch(const QString& key, const QString& text)
{
    static const QRegularExpression percent(u"%(%|(?:[1-9][0-9]{0,2}\\$)?(?:@|lld))?"_s);
    std::vector<StringFormatter::Arg> args;
    for (const QRegularExpressionMatch& match : percent.globalMatch(key)) {
        const qint64 n = qint64(args.size()) + 1;
        if (match.captured(1) == u"lld")
            args.emplace_back(n * 1111111);
        else
            args.emplace_back(u"<arg%1>"_s.arg(n));
    }
    if (args.empty())
        return text.contains(u'%') ? u"a text without arguments contains '%'"_s : QString();
    qsizetype placeholders = 0;
    for (const QRegularExpressionMatch& match : percent.globalMatch(text)) {
        if (match.captured(1).isEmpty())
            return u"unsupported '%' at offset "_s + QString::number(match.capturedStart());
        placeholders += match.captured(1) != u"%";
    }
    const QString filled = StringFormatter::format(text, args);
    for (const StringFormatter::Arg& arg : args) {
        if (!filled.contains(arg.text()))
            return arg.text() + u" is not shown"_s;
        placeholders -= filled.count(arg.text());
    }
    return placeholders == 0 ? QString() : u"a placeholder is not filled"_s;
}

} // namespace

// Arguments are strings or integers; characters and booleans are neither.
static_assert(!std::is_constructible_v<StringFormatter::Arg, bool>);
static_assert(!std::is_constructible_v<StringFormatter::Arg, char>);

class LocalizationTest : public QObject {
    Q_OBJECT

    QStringList m_allKeys; // the key list and the code's keys, without repeats

private Q_SLOTS:
    void initTestCase()
    {
        Localization::setLanguage(u"en");
        // One key a line, in quotes.
        QFile file(QStringLiteral(PLENVO_I18N_DIR "/string-keys.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList keyList;
        for (const QString& line :
             QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts))
            keyList << line.trimmed().remove(u'"');
        static const QRegularExpression shape(
            QStringLiteral("^[a-z][A-Za-z0-9]*(\\.[a-z][A-Za-z0-9]*)+( %(@|lld))*$"));
        for (const QString& key : keyList)
            QVERIFY2(shape.match(key).hasMatch() && keyList.count(key) == 1, qPrintable(key));
        // Keys passed as string literals to L(...) or Localization::lookup(...) in the sources.
        static const QRegularExpression call(QStringLiteral(
            "(?<![\\w:])(?:L|Localization::lookup)\\(\\s*(?:u8)?\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
        QSet<QString> all;
        QDirIterator it(QStringLiteral(PLENVO_CODE_DIR), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile source(it.next());
            source.open(QIODevice::ReadOnly);
            for (const QRegularExpressionMatch& match :
                 call.globalMatch(QString::fromUtf8(source.readAll())))
                all.insert(match.captured(1));
        }
        QVERIFY2(!all.isEmpty(), "no keys found in the sources");
        all.unite(QSet<QString>(keyList.begin(), keyList.end()));
        m_allKeys = all.values();
    }

    void cleanup()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale::c());
    }

    // Runs first: the first lookups of the process, bundle search included, come from many
    // threads at once.
    void firstUseFromManyThreads()
    {
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&wrong] {
                for (int i = 0; i < 200; ++i)
                    wrong += Localization::lookup("app.name") != u"Plenvo"_s ||
                             Localization::lookup("test.bundleOnly") != u"Text from the bundle"_s ||
                             L("test.nowhere %lld", i) != u"test.nowhere "_s + QString::number(i);
            });
        for (std::thread& thread : threads)
            thread.join();
        QCOMPARE(wrong.load(), 0);
        QCOMPARE(
            Localization::resourceBundlePath(),
            QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/Plenvo_Plenvo.bundle"_s));
    }

    // The main tables first, then the bundle, then the key itself, with its arguments; the
    // Chinese bundle lacks the format key.
    void lookupOrder()
    {
        const std::tuple<QStringView, QString, QString> cases[] = {
            {u"en", u"Text from the bundle"_s, u"box holds 3"_s},
            {u"zh_CN", u"资源包里的文字"_s, u"test.bundleFormat 3 box"_s}};
        for (const auto& [language, bundleOnly, bundleFormat] : cases) {
            Localization::setLanguage(language);
            QCOMPARE(Localization::lookup("app.name"), u"Plenvo"_s);
            QCOMPARE(L("test.bundleOnly"), bundleOnly);
            QCOMPARE(L("test.bundleFormat %lld %@", 3, "box"), bundleFormat);
            QCOMPARE(L("test.nowhere 100% %@"), u"test.nowhere 100% %@"_s);
            QCOMPARE(L("test.nowhere %@", "a.txt"), u"test.nowhere a.txt"_s);
            QCOMPARE(Localization::lookup(""), QString());
        }
    }

    // Any Chinese tag selects Simplified Chinese, anything else English.
    void languageChoice()
    {
        const auto hasHan = [](const QString& text) {
            return std::any_of(text.begin(), text.end(),
                               [](QChar c) { return c >= u'\u4E00' && c <= u'\u9FFF'; });
        };
        Localization::setLanguage(u"zh-Hant-TW");
        const QString chinese = Localization::lookup("sidebar.overview");
        QVERIFY2(Localization::language() == u"zh_CN" && hasHan(chinese), qPrintable(chinese));
        Localization::setLanguage(u"de_DE");
        QVERIFY(Localization::language() == u"en" && !hasHan(L("sidebar.overview")));
        // Unpinned, the system decides: main() made it Traditional Chinese, then English.
        Localization::setLanguage({});
        QCOMPARE(Localization::lookup("sidebar.overview"), chinese);
    }

    // The first English or Chinese entry of the preferred languages decides.
    void languageForPreferences()
    {
        const std::pair<QStringList, QString> cases[] = {
            {{}, u"en"_s},
            {{u"zh-Hans-CN"_s}, u"zh_CN"_s},
            {{u"ZH_HK"_s}, u"zh_CN"_s},
            {{u"de-DE"_s, u"zh-CN"_s, u"en"_s}, u"zh_CN"_s},
            {{u"en-GB"_s, u"zh-CN"_s}, u"en"_s},
            {{u"zu-ZA"_s, u"zhx"_s}, u"en"_s}};
        for (const auto& [preferred, expected] : cases)
            QVERIFY2(Localization::languageFor(preferred) == expected,
                     qPrintable(preferred.join(u' ')));
    }

    // The bundle search as a pure function of the executable's folder ("bin" below), on
    // layouts where folders end in '/' and the rest are (empty) files.
    void bundleSearch()
    {
        const QString beside = u"bin/Plenvo_Plenvo.bundle"_s;
        const QString resources = u"bin/Resources/Plenvo_Plenvo.bundle"_s;
        const QString parentResources = u"Resources/Plenvo_Plenvo.bundle"_s;
        const QString installed = u"share/plenvo/Plenvo_Plenvo.bundle"_s;
        const QString en = u"/plenvo_en.qm"_s;
        const QString zh = u"/plenvo_zh_CN.qm"_s;
        const std::pair<QStringList, QString> cases[] = {
            {{}, {}},
            {{installed + en, parentResources + en, resources + en, beside + zh}, beside},
            {{installed + en, parentResources + en, resources + zh}, resources},
            {{installed + en, parentResources + zh}, parentResources},
            {{beside + u"/"_s, installed + en}, installed}, // an empty folder
            {{u"bin/Plenvo_Plenvo.bundle"_s, parentResources + en}, parentResources}, // a file
            // No catalog of a supported language.
            {{beside + u"/plenvo_fr.qm"_s, beside + en + u"/"_s,
              u"bin/plenvo_plenvo.bundle"_s + en},
             {}}};
        for (const auto& [layout, expected] : cases) {
            test::ScratchDir scratch;
            const QString root = QString::fromLocal8Bit(scratch.path());
            for (const QString& entry : QStringList{u"bin/"_s} + layout) {
                const QString path = root + u'/' + entry;
                QDir().mkpath(entry.endsWith(u'/') ? path : QFileInfo(path).absolutePath());
                QFile file(path);
                QVERIFY(entry.endsWith(u'/') || file.open(QIODevice::WriteOnly));
            }
            QCOMPARE(Localization::findResourceBundle(root + u"/bin"_s),
                     expected.isEmpty() ? QString() : root + u'/' + expected);
        }
    }
    // Every known key has a finished text, neither empty nor the key, whose placeholders
    // match the key's; no other key is there; and the compiled catalog linked into the
    // program answers with those texts.
    void catalogs()
    {
        QStringList problems;
        for (const QString& language : Localization::supportedLanguages()) {
            QString error;
            const QMap<QString, QString> catalog = readCatalog(language, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            Localization::setLanguage(language);
            for (const QString& key : std::as_const(m_allKeys)) {
                const QString text = catalog.value(key);
                QString problem = text.trimmed().isEmpty() || text == key
                                      ? u"missing, unfinished, empty or the key"_s
                                      : placeholderMismatch(key, text);
                if (problem.isEmpty() && Localization::lookup(key) != text)
                    problem = u"the program reads "_s + Localization::lookup(key);
                if (!problem.isEmpty())
                    problems << language + u": "_s + key + u" -> \""_s + text + u"\": "_s + problem;
            }
            for (const QString& id : catalog.keys())
                if (!m_allKeys.contains(id))
                    problems << language + u": "_s + id + u": not a known key"_s;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    // The checker itself, on texts a translator could get wrong (an integer shown through %@
    // reads the same).
    void placeholderChecker()
    {
        const std::tuple<QString, QString, bool> cases[] = {
            {u"a.b %lld %@"_s, u"%lld of %@"_s, true},  {u"a.b %lld %@"_s, u"%2$@: %1$lld"_s, true},
            {u"a.b %lld"_s, u"%lld%%"_s, true},         {u"a.b %lld %@"_s, u"%1$@ %2$@"_s, true},
            {u"a.b %lld %@"_s, u"%@ of %lld"_s, false}, {u"a.b %lld %@"_s, u"%lld"_s, false},
            {u"a.b %@"_s, u"%@ %@"_s, false},           {u"a.b %lld"_s, u"%d"_s, false},
            {u"a.b %@ %@"_s, u"%1$@ %@"_s, false},      {u"a.b"_s, u"100%%"_s, false}};
        for (const auto& [key, text, accepted] : cases)
            QVERIFY2(placeholderMismatch(key, text).isEmpty() == accepted, qPrintable(text));
    }
    void fillsPlaceholders()
    {
        QCOMPARE(format(u"Moved %lld items, %@ freed"_s, {3, "1.5 KB"}),
                 u"Moved 3 items, 1.5 KB freed"_s);
        QCOMPARE(format(u"%@ → %@"_s, {"前", QStringLiteral("后")}), u"前 → 后"_s);
        // An argument's own '%' signs are not placeholders.
        QCOMPARE(format(u"%@ and [%@]"_s, {"%lld %@", QString()}), u"%lld %@ and []"_s);
        // Positional placeholders address their argument and leave the turn of the others.
        QCOMPARE(format(u"%2$@ holds %1$lld"_s, {7, "box"}), u"box holds 7"_s);
        QCOMPARE(format(u"%1$@/%1$@"_s, {"x"}), u"x/x"_s);
        QCOMPARE(format(u"%3$lld-%2$lld-%1$lld"_s, {1, 2, 3}), u"3-2-1"_s);
        QCOMPARE(format(u"%2$@ %@"_s, {"a", "b"}), u"b a"_s);
        QCOMPARE(format(u"100%% %%lld %lld%%%@"_s, {5, "x"}), u"100% %lld 5%x"_s);
    }

    void integersArePlainDigits()
    {
        for (const char* locale : {"C", "de_DE", "ar_EG"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            QCOMPARE(format(u"%lld %lld %lld %@"_s, {1234567, std::numeric_limits<qint64>::max(),
                                                     std::numeric_limits<qint64>::min(), 98765}),
                     u"1234567 9223372036854775807 -9223372036854775808 98765"_s);
        }
        // Unsigned values beyond the signed range are clamped.
        QCOMPARE(format(u"%lld %lld %lld"_s, {std::numeric_limits<std::uint64_t>::max(), short(-3),
                                              std::numeric_limits<std::uint32_t>::max()}),
                 u"9223372036854775807 -3 4294967295"_s);
    }

    // A translation that does not match its arguments fills what it can and keeps the rest
    // of its text as written, never reading past its end or its arguments.
    void brokenTextsNeverFail()
    {
        const std::pair<QString, QString> cases[] = {
            {u"%lld %@ %lld %@"_s, u"7 a.txt %lld %@"_s}, // more placeholders than arguments
            {u"%@ %lld"_s, u"7 %lld"_s},                  // integer conversion given a string
            {u"%lld %lld|%@"_s, u"7 %lld|%@"_s}, // a mismatch keeps later placeholders aligned
            {u"%3$@ %2$@"_s, u"%3$@ a.txt"_s},   // position beyond the arguments
            {u"%0$@"_s, u"%0$@"_s},
            {u"%99999999999999999999$lld"_s, u"%99999999999999999999$lld"_s},
            {u"%d %s|%@"_s, u"%d %s|%@"_s}, // unknown conversions take their turn
            {u"%1$s %2$@"_s, u"%1$s a.txt"_s},
            {u"50%"_s, u"50%"_s},
            {u"%%%lld%%"_s, u"%7%"_s},
            {u"50% of %lld"_s, u"50% of 7"_s},
            {u"%1$"_s, u"%1$"_s},
            {u"x %ll"_s, u"x %ll"_s},
            {u"%5lld %lld"_s, u"%5lld 7"_s}, // width is not supported
            {u"%好 %lld"_s, u"%好 7"_s}};
        for (const auto& [text, expected] : cases) {
            QCOMPARE(format(text, {7, "a.txt"}), expected);
            QCOMPARE(StringFormatter::format(text, {}), QString(text).replace(u"%%"_s, u"%"_s));
        }
    }

    // Sizes, counts, shares and dates in the forms of the locales whose notations differ: the
    // numbers in the locale's notation, the words in the language of the texts, the units the
    // same everywhere.
    void formats()
    {
        using Format = QString (*)(std::int64_t);
        using F = FormatUtils;
        const Format date = [](std::int64_t ms) { return F::formatDateFull(ms); };
        const Format percent = [](std::int64_t tenths) { return F::formatPercent(tenths / 10.0); };
        const qint64 afternoon = QDateTime(QDate(2026, 12, 6), QTime(15, 4)).toMSecsSinceEpoch();
        const qint64 morning = QDateTime(QDate(2027, 1, 2), QTime(9, 5)).toMSecsSinceEpoch();
        const std::tuple<Format, const char*, QStringView, qint64, QString> cases[] = {
            // Compact sizes: below 1000 the count and "B", no unit above TB.
            {F::formatBytesCompact, "de_DE", u"en", -5, u"-5 B"_s},
            {F::formatBytesCompact, "de_DE", u"en", 0, u"0 B"_s},
            {F::formatBytesCompact, "de_DE", u"en", 999, u"999 B"_s},
            {F::formatBytesCompact, "en_US", u"en", 1000, u"1.0 kB"_s},
            {F::formatBytesCompact, "de_DE", u"en", kPiB, u"1.125,9 TB"_s},
            {F::formatBytesCompact, "ru_RU", u"en", 5'950'000'000, u"6,0 GB"_s},
            // Full sizes: the word for bytes in the texts' language below 1000.
            {F::formatBytes, "en_US", u"en", 0, u"0 bytes"_s},
            {F::formatBytes, "en_US", u"en", 1, u"1 byte"_s},
            {F::formatBytes, "en_US", u"en", -1, u"-1 byte"_s},
            {F::formatBytes, "en_US", u"en", kInt64Min, u"-9,223,372.0 TB"_s},
            {F::formatBytes, "en_US", u"en", 1000, u"1.0 kB"_s},
            {F::formatBytes, "en_US", u"en", 999949, u"999.9 kB"_s},
            {F::formatBytes, "en_US", u"en", 999950, u"1.0 MB"_s}, // rounds up to the next unit
            {F::formatBytes, "en_US", u"en", kPiB, u"1,125.9 TB"_s},
            {F::formatBytes, "en_US", u"en", kInt64Max, u"9,223,372.0 TB"_s},
            {F::formatBytes, "zh_CN", u"zh_CN", 12, u"12 字节"_s},
            {F::formatBytes, "zh_CN", u"zh_CN", kPiB, u"1,125.9 TB"_s},
            {F::formatBytes, "de_DE", u"en", 1536, u"1,5 kB"_s},
            {F::formatBytes, "de_DE", u"en", kPiB, u"1.125,9 TB"_s},
            // Russian numbers in an English text: Russian notation, no Russian units or words.
            {F::formatBytes, "ru_RU", u"en", 5'900'000'000, u"5,9 GB"_s},
            {F::formatBytes, "ru_RU", u"en", 12, u"12 bytes"_s},
            // Changes of size carry their sign, also at the limits.
            {F::formatBytesChange, "en_US", u"en", 1536, u"+1.5 kB"_s},
            {F::formatBytesChange, "en_US", u"en", -1536, u"-1.5 kB"_s},
            {F::formatBytesChange, "en_US", u"en", 0, u"0 bytes"_s},
            {F::formatBytesChange, "en_US", u"en", kInt64Min, u"-9,223,372.0 TB"_s},
            {F::formatBytesChange, "de_DE", u"en", kPiB, u"+1.125,9 TB"_s},
            // Counts, grouped as the locale groups.
            {F::formatCount, "en_US", u"en", 12345, u"12,345"_s},
            {F::formatCount, "en_US", u"en", kInt64Min, u"-9,223,372,036,854,775,808"_s},
            {F::formatCount, "de_DE", u"en", -1234567, u"-1.234.567"_s},
            {F::formatCount, "ru_RU", u"en", 1047522, u"1 047 522"_s},
            // Shares, with the locale's decimal separator.
            {percent, "en_US", u"en", 272, u"27.2%"_s},
            {percent, "de_DE", u"en", 1000, u"100,0%"_s},
            {percent, "ru_RU", u"en", 0, u"0,0%"_s},
            // Dates, without the weekday.
            {date, "en_US", u"en", afternoon, u"Dec 6, 2026 3:04 PM"_s},
            {date, "en_US", u"en", morning, u"Jan 2, 2027 9:05 AM"_s},
            {date, "zh_CN", u"zh_CN", morning, u"2027年1月2日 09:05"_s},
            {date, "de_DE", u"en", afternoon, u"6. Dez. 2026 15:04"_s}};
        for (const auto& [format, locale, language, value, expected] : cases) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            Localization::setLanguage(language);
            QCOMPARE(format(value), expected);
        }

        // In other locales too, a date shows no weekday; a missing one reads "unknown" in the
        // language of the texts.
        const QDateTime sunday(QDate(2026, 12, 6), QTime(15, 4));
        for (const char* name : {"en_GB", "zh_TW", "ja_JP", "es_ES"}) {
            const QLocale locale{QString::fromLatin1(name)};
            QLocale::setDefault(locale);
            const QString text = F::formatDateFull(sunday.toMSecsSinceEpoch());
            QVERIFY2(text.contains(u"2026"_s) && !text.contains(locale.dayName(7)),
                     qPrintable(text));
        }
        for (const auto& [language, unknown] :
             {std::pair(u"en", u"Unknown"_s), std::pair(u"zh_CN", u"未知"_s)}) {
            Localization::setLanguage(language);
            QCOMPARE(F::formatDateFull(std::nullopt), unknown);
        }

        // A total reads the same in both size forms, in any locale: from 1000 bytes up they
        // are one text, which has the locale's decimal separator and no other unit spelling.
        for (const char* name : {"en_US", "de_DE", "ru_RU", "zh_CN", "ar_EG"}) {
            const QLocale locale{QString::fromLatin1(name)};
            QLocale::setDefault(locale);
            for (qint64 bytes = 1000; bytes < kInt64Max / 7; bytes = bytes * 7 + 3) {
                const QString full = F::formatBytes(bytes);
                QCOMPARE(F::formatBytesCompact(bytes), full);
                static const QRegularExpression unit(u" (kB|MB|GB|TB)$"_s);
                QVERIFY2(unit.match(full).hasMatch(), qPrintable(full));
                QCOMPARE(full.left(full.size() - 3).section(locale.decimalPoint(), -1).size(), 1);
            }
        }
    }

    // A count written for display fills %lld as written, and %@ too; other texts keep
    // integers as plain digits.
    void displayNumbers()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(format(u"Files: %lld of %@, %lld"_s,
                        {FormatUtils::countArg(65092), FormatUtils::countArg(1047522), 65092}),
                 u"Files: 65,092 of 1,047,522, 65092"_s);
        QCOMPARE(L("categories.fileCount %lld", FormatUtils::countArg(65092)), u"Files: 65,092"_s);
        QCOMPARE(L("test.nowhere %lld", FormatUtils::countArg(-1234)), u"test.nowhere -1,234"_s);
    }
};

int main(int argc, char** argv)
{
    // The user's preferred languages as the system reports them: Traditional Chinese first.
    qputenv("LANGUAGE", "zh_TW:en");
    qputenv("LC_ALL", "zh_TW.UTF-8");
    QCoreApplication app(argc, argv);
    LocalizationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_localization.moc"
