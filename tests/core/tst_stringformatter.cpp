#include "utils/StringFormatter.h"

#include <QLocale>
#include <QTest>

#include <cstdint>
#include <limits>
#include <vector>

using namespace plenvo;
using namespace Qt::StringLiterals;

namespace {

QString format(const QString& text, std::initializer_list<StringFormatter::Arg> args)
{
    const std::vector<StringFormatter::Arg> list(args);
    return StringFormatter::format(text, list);
}

} // namespace

// Arguments are strings or integers; characters and booleans are neither.
static_assert(!std::is_constructible_v<StringFormatter::Arg, bool>);
static_assert(!std::is_constructible_v<StringFormatter::Arg, char>);

class StringFormatterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

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
            QCOMPARE(format(u"%lld %lld"_s, {1234567, -42}), u"1234567 -42"_s);
            QCOMPARE(format(u"%lld"_s, {std::numeric_limits<qint64>::max()}),
                     u"9223372036854775807"_s);
            QCOMPARE(format(u"%lld"_s, {std::numeric_limits<qint64>::min()}),
                     u"-9223372036854775808"_s);
            QCOMPARE(format(u"%@"_s, {98765}), u"98765"_s);
        }
        QCOMPARE(format(u"%lld"_s, {std::numeric_limits<std::uint64_t>::max()}),
                 u"9223372036854775807"_s);
        QCOMPARE(format(u"%lld %lld"_s, {short(-3), std::numeric_limits<std::uint32_t>::max()}),
                 u"-3 4294967295"_s);
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
};

QTEST_GUILESS_MAIN(StringFormatterTest)
#include "tst_stringformatter.moc"
