#include "utils/Localization.h"
#include "utils/StringFormatter.h"

#include <QLocale>
#include <QTest>

#include <cstdint>
#include <limits>
#include <vector>

using namespace plenvo;
using namespace Qt::StringLiterals;

namespace {

QString format(const QString& text, std::initializer_list<LArg> args)
{
    const std::vector<LArg> list(args);
    return StringFormatter::format(text, list);
}

} // namespace

// Arguments are strings or integers; characters and booleans are neither.
static_assert(std::is_constructible_v<LArg, const char*>);
static_assert(std::is_constructible_v<LArg, QString>);
static_assert(std::is_constructible_v<LArg, qint64>);
static_assert(std::is_constructible_v<LArg, std::int64_t>);
static_assert(std::is_constructible_v<LArg, std::size_t>);
static_assert(!std::is_constructible_v<LArg, bool>);
static_assert(!std::is_constructible_v<LArg, char>);
static_assert(!std::is_constructible_v<LArg, char16_t>);

class StringFormatterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void fillsPlaceholdersInOrder()
    {
        QCOMPARE(format(u"Moved %lld items, %@ freed"_s, {3, "1.5 KB"}),
                 u"Moved 3 items, 1.5 KB freed"_s);
        QCOMPARE(format(u"%@"_s, {QStringLiteral("a.txt")}), u"a.txt"_s);
        QCOMPARE(format(u"%lld%lld%lld"_s, {1, 22, 333}), u"122333"_s);
        QCOMPARE(format(u"%@ → %@"_s, {"前", "后"}), u"前 → 后"_s);
        QCOMPARE(format(QString(), {1}), QString());
        QCOMPARE(format(u"no placeholders"_s, {1, "x"}), u"no placeholders"_s);
    }

    void argumentTextIsInsertedVerbatim()
    {
        // An argument's own '%' signs are not placeholders.
        QCOMPARE(format(u"%@ and %@"_s, {"%lld %@", "b"}), u"%lld %@ and b"_s);
        QCOMPARE(format(u"[%@]"_s, {QString()}), u"[]"_s);
    }

    void positionalPlaceholdersAddressTheirArgument()
    {
        QCOMPARE(format(u"%2$@ holds %1$lld"_s, {7, "box"}), u"box holds 7"_s);
        QCOMPARE(format(u"%1$@/%1$@"_s, {"x"}), u"x/x"_s);
        QCOMPARE(format(u"%3$lld-%2$lld-%1$lld"_s, {1, 2, 3}), u"3-2-1"_s);
        // Positional placeholders leave the turn of the unnumbered ones alone.
        QCOMPARE(format(u"%2$@ %@"_s, {"a", "b"}), u"b a"_s);
    }

    void percentEscape()
    {
        QCOMPARE(format(u"100%%"_s, {1}), u"100%"_s);
        QCOMPARE(format(u"%%lld %lld"_s, {5}), u"%lld 5"_s);
        QCOMPARE(format(u"%%%@"_s, {"x"}), u"%x"_s);
    }

    void integersArePlainDigits_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << u"C"_s;
        QTest::newRow("en_US") << u"en_US"_s;
        QTest::newRow("de_DE") << u"de_DE"_s;
        QTest::newRow("zh_CN") << u"zh_CN"_s;
        QTest::newRow("ar_EG") << u"ar_EG"_s;
    }

    void integersArePlainDigits()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(format(u"%lld"_s, {1234567}), u"1234567"_s);
        QCOMPARE(format(u"%lld"_s, {-42}), u"-42"_s);
        QCOMPARE(format(u"%lld"_s, {std::numeric_limits<qint64>::max()}), u"9223372036854775807"_s);
        QCOMPARE(format(u"%lld"_s, {std::numeric_limits<qint64>::min()}),
                 u"-9223372036854775808"_s);
        QCOMPARE(format(u"%@"_s, {98765}), u"98765"_s);
    }

    void integerTypesConvert()
    {
        QCOMPARE(format(u"%lld"_s, {std::size_t(12)}), u"12"_s);
        QCOMPARE(format(u"%lld"_s, {std::numeric_limits<std::uint64_t>::max()}),
                 u"9223372036854775807"_s);
        QCOMPARE(format(u"%lld"_s, {short(-3)}), u"-3"_s);
        QCOMPARE(format(u"%lld"_s, {std::numeric_limits<std::uint32_t>::max()}), u"4294967295"_s);
    }

    // A translation that does not match its arguments fills what it can and keeps the rest
    // of its text as written.
    void brokenTextsNeverFail_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // Arguments for every row: 7, "a.txt".
        QTest::newRow("more placeholders than arguments")
            << u"%lld %@ %lld %@"_s << u"7 a.txt %lld %@"_s;
        QTest::newRow("integer conversion given a string") << u"%@ %lld"_s << u"7 %lld"_s;
        QTest::newRow("mismatch keeps later placeholders aligned")
            << u"%lld %lld|%@"_s << u"7 %lld|%@"_s;
        QTest::newRow("position beyond the arguments") << u"%3$@ %2$@"_s << u"%3$@ a.txt"_s;
        QTest::newRow("position zero") << u"%0$@"_s << u"%0$@"_s;
        QTest::newRow("huge position")
            << u"%99999999999999999999$lld"_s << u"%99999999999999999999$lld"_s;
        QTest::newRow("positional integer given a string") << u"%2$lld"_s << u"%2$lld"_s;
        QTest::newRow("unknown conversions take their turn") << u"%d %s|%@"_s << u"%d %s|%@"_s;
        QTest::newRow("unknown length") << u"%ld %@"_s << u"%ld a.txt"_s;
        QTest::newRow("unknown positional") << u"%1$s %2$@"_s << u"%1$s a.txt"_s;
        QTest::newRow("lone percent at the end") << u"50%"_s << u"50%"_s;
        QTest::newRow("percent alone") << u"%"_s << u"%"_s;
        QTest::newRow("percent before a space") << u"50% of %lld"_s << u"50% of 7"_s;
        QTest::newRow("unfinished position") << u"%1$"_s << u"%1$"_s;
        QTest::newRow("unfinished length") << u"x %ll"_s << u"x %ll"_s;
        QTest::newRow("width is not supported") << u"%5lld %lld"_s << u"%5lld 7"_s;
        QTest::newRow("percent before non-ASCII") << u"%好 %lld"_s << u"%好 7"_s;
        QTest::newRow("no placeholders at all") << u"plain"_s << u"plain"_s;
    }

    void brokenTextsNeverFail()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(format(text, {7, "a.txt"}), expected);
    }

    void placeholdersWithoutArguments()
    {
        QCOMPARE(StringFormatter::format(u"%@ %lld %1$@ %%", {}), u"%@ %lld %1$@ %"_s);
    }

    void keyOnlyLeavesTheTextAlone()
    {
        // Without arguments nothing is formatted: a missing key comes back exactly as given.
        QCOMPARE(L("test.missing 100% %@ %%"), u"test.missing 100% %@ %%"_s);
    }

    void missingTextShowsTheKeyWithItsArguments()
    {
        QCOMPARE(L("test.missing %@", "a.txt"), u"test.missing a.txt"_s);
        QCOMPARE(L("test.missing %lld %@ %lld", 2, "1.5 KB", 1234567),
                 u"test.missing 2 1.5 KB 1234567"_s);
        QCOMPARE(L(u"test.missing %@"_s, QStringLiteral("é")), u"test.missing é"_s);
    }
};

QTEST_GUILESS_MAIN(StringFormatterTest)
#include "tst_stringformatter.moc"
