#include "utils/Localization.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

using namespace plenvo;
using namespace Qt::StringLiterals;

// The translation sources must give every key a usable text in every language: the keys of
// the key list, and the keys written as literals in the code.

namespace {

struct Message {
    QString text;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

QStringList readKeyList()
{
    QFile file(QStringLiteral(PLENVO_I18N_DIR "/string-keys.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList keys;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.size() >= 2 && line.startsWith(u'"') && line.endsWith(u'"'))
            line = line.sliced(1, line.size() - 2);
        keys << line;
    }
    return keys;
}

struct CodeScan {
    int files = 0;
    QSet<QString> keys;
};

// Keys passed as string literals to L(...) or Localization::lookup(...) in the sources.
CodeScan scanCode()
{
    static const QRegularExpression call(QStringLiteral(
        "(?<![\\w:])(?:L|Localization::lookup)\\(\\s*(?:u8)?\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    CodeScan scan;
    QDirIterator it(QStringLiteral(PLENVO_CODE_DIR), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++scan.files;
        const QString source = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& match : call.globalMatch(source))
            scan.keys.insert(match.captured(1));
    }
    return scan;
}

QMap<QString, Message> readCatalog(const QString& language, QString* error)
{
    QMap<QString, Message> messages;
    QFile file(QStringLiteral(PLENVO_I18N_DIR "/") + u"plenvo_"_s + language + u".ts"_s);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"cannot open "_s + file.fileName();
        return {};
    }
    QXmlStreamReader xml(&file);
    QString id;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"message") {
            id = xml.attributes().value(QLatin1StringView("id")).toString();
            if (id.isEmpty())
                *error = u"a message without id at line "_s + QString::number(xml.lineNumber());
            else if (messages.contains(id))
                *error = u"duplicate id "_s + id;
        } else if (xml.name() == u"translation") {
            Message message;
            message.type = xml.attributes().value(QLatin1StringView("type")).toString();
            message.text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.insert(id, message);
        }
    }
    if (xml.hasError())
        *error = xml.errorString() + u" at line "_s + QString::number(xml.lineNumber());
    return messages;
}

// A placeholder: 1-based position (0 when unnumbered) and conversion ("@" or "lld").
struct Placeholder {
    int position = 0;
    QString conversion;
    friend bool operator==(const Placeholder&, const Placeholder&) = default;
};

// The placeholders of a text; an error for any '%' that is not "%%" or a supported
// placeholder.
QList<Placeholder> placeholdersOf(const QString& text, QString* error)
{
    static const QRegularExpression placeholder(
        QStringLiteral("%(?:([1-9][0-9]{0,2})\\$)?(@|lld)"));
    QList<Placeholder> result;
    qsizetype i = 0;
    while ((i = text.indexOf(u'%', i)) >= 0) {
        if (text.sliced(i).startsWith(u"%%")) {
            i += 2;
            continue;
        }
        const QRegularExpressionMatch match =
            placeholder.match(text, i, QRegularExpression::NormalMatch,
                              QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch()) {
            *error = u"unsupported '%' at offset "_s + QString::number(i);
            return {};
        }
        result.append({match.captured(1).toInt(), match.captured(2)});
        i = match.capturedEnd();
    }
    return result;
}

// Empty when the text's placeholders take the key's arguments: the same conversions in the
// same order, or positional ones that use each argument with its own conversion.
QString placeholderMismatch(const QString& key, const QString& text)
{
    QString error;
    const QList<Placeholder> expected = placeholdersOf(key, &error);
    if (!error.isEmpty())
        return u"the key itself: "_s + error;
    const QList<Placeholder> actual = placeholdersOf(text, &error);
    if (!error.isEmpty())
        return error;
    if (expected.isEmpty())
        return text.contains(u'%') ? u"a text without arguments contains '%'"_s : QString();

    const bool positional = !actual.isEmpty() && actual.front().position > 0;
    if (!positional) {
        if (actual.size() != expected.size())
            return u"placeholder count differs"_s;
        for (qsizetype k = 0; k < actual.size(); ++k) {
            if (actual[k].position != 0)
                return u"positional and sequential placeholders mixed"_s;
            if (actual[k].conversion != expected[k].conversion)
                return u"conversion %1 in place of %2"_s.arg(actual[k].conversion,
                                                             expected[k].conversion);
        }
        return {};
    }
    QSet<int> used;
    for (const Placeholder& p : actual) {
        if (p.position == 0)
            return u"positional and sequential placeholders mixed"_s;
        if (p.position > expected.size())
            return u"position %1 beyond the key's arguments"_s.arg(p.position);
        if (p.conversion != expected[p.position - 1].conversion)
            return u"conversion %1 for argument %2"_s.arg(p.conversion).arg(p.position);
        used.insert(p.position);
    }
    if (used.size() != expected.size())
        return u"not every argument is used"_s;
    return {};
}

} // namespace

class CatalogsTest : public QObject {
    Q_OBJECT

    QStringList m_keyList;
    CodeScan m_code;
    QStringList m_allKeys; // the key list and the code's keys, without repeats

private Q_SLOTS:
    void initTestCase()
    {
        m_keyList = readKeyList();
        QVERIFY2(!m_keyList.isEmpty(), "the key list is missing or empty");
        m_code = scanCode();
        QVERIFY2(m_code.files > 0, "no sources found to scan for keys");
        QSet<QString> all(m_keyList.begin(), m_keyList.end());
        all.unite(m_code.keys);
        m_allKeys = all.values();
        m_allKeys.sort();
    }

    void keyListIsWellFormed()
    {
        static const QRegularExpression shape(
            QStringLiteral("^[a-z][A-Za-z0-9]*(\\.[a-z][A-Za-z0-9]*)+( %(@|lld))*$"));
        QSet<QString> seen;
        for (const QString& key : std::as_const(m_keyList)) {
            QVERIFY2(shape.match(key).hasMatch(), qPrintable(key));
            QVERIFY2(!seen.contains(key), qPrintable(u"listed twice: "_s + key));
            seen.insert(key);
        }
    }

    void catalogs_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString& language : Localization::supportedLanguages())
            QTest::newRow(qPrintable(language)) << language;
    }

    void everyKeyHasAText_data() { catalogs_data(); }
    void everyKeyHasAText()
    {
        QFETCH(QString, language);
        QString error;
        const QMap<QString, Message> catalog = readCatalog(language, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList problems;
        for (const QString& key : std::as_const(m_allKeys)) {
            const auto it = catalog.constFind(key);
            if (it == catalog.cend())
                problems << key + u": missing"_s;
            else if (!it->type.isEmpty())
                problems << key + u": marked "_s + it->type;
            else if (it->text.trimmed().isEmpty())
                problems << key + u": empty"_s;
            else if (it->text == key)
                problems << key + u": the text is the key"_s;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    void catalogsHoldNoUnknownKeys_data() { catalogs_data(); }
    void catalogsHoldNoUnknownKeys()
    {
        QFETCH(QString, language);
        QString error;
        const QMap<QString, Message> catalog = readCatalog(language, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList unknown;
        for (const QString& id : catalog.keys()) {
            if (!m_allKeys.contains(id))
                unknown << id;
        }
        QVERIFY2(unknown.isEmpty(), qPrintable(u"not a known key: "_s + unknown.join(u", ")));
    }

    void placeholdersMatchTheirKeys_data() { catalogs_data(); }
    void placeholdersMatchTheirKeys()
    {
        QFETCH(QString, language);
        QString error;
        const QMap<QString, Message> catalog = readCatalog(language, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList problems;
        for (auto it = catalog.cbegin(); it != catalog.cend(); ++it) {
            const QString mismatch = placeholderMismatch(it.key(), it->text);
            if (!mismatch.isEmpty())
                problems << it.key() + u" -> \""_s + it->text + u"\": "_s + mismatch;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    // The checker itself, on texts a translator could get wrong.
    void placeholderCheckerCatchesMistakes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("same order") << u"a.b %lld %@"_s << u"%lld of %@"_s << true;
        QTest::newRow("positional") << u"a.b %lld %@"_s << u"%2$@: %1$lld"_s << true;
        QTest::newRow("percent escape") << u"a.b %lld"_s << u"%lld%%"_s << true;
        QTest::newRow("swapped") << u"a.b %lld %@"_s << u"%@ of %lld"_s << false;
        QTest::newRow("missing one") << u"a.b %lld %@"_s << u"%lld"_s << false;
        QTest::newRow("extra one") << u"a.b %@"_s << u"%@ %@"_s << false;
        QTest::newRow("position out of range") << u"a.b %@"_s << u"%2$@"_s << false;
        QTest::newRow("positional skips one") << u"a.b %@ %@"_s << u"%1$@ %1$@"_s << false;
        QTest::newRow("positional wrong type") << u"a.b %lld %@"_s << u"%1$@ %2$@"_s << false;
        QTest::newRow("mixed") << u"a.b %@ %@"_s << u"%1$@ %@"_s << false;
        QTest::newRow("printf int") << u"a.b %lld"_s << u"%d"_s << false;
        QTest::newRow("lone percent") << u"a.b %lld"_s << u"%lld %"_s << false;
        QTest::newRow("percent in plain text") << u"a.b"_s << u"100%"_s << false;
    }

    void placeholderCheckerCatchesMistakes()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(placeholderMismatch(key, text).isEmpty(), accepted);
    }

    // What the program reads is what the sources say: lrelease ran, the resources are linked
    // into this executable from the static library, and lookups answer from them.
    void compiledCatalogsAnswerEveryKey_data() { catalogs_data(); }
    void compiledCatalogsAnswerEveryKey()
    {
        QFETCH(QString, language);
        QVERIFY(QFile::exists(u":/i18n/"_s + Localization::catalogFileName(language)));
        QString error;
        const QMap<QString, Message> catalog = readCatalog(language, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        Localization::setLanguage(language);
        QCOMPARE(Localization::language(), language);
        QStringList problems;
        for (const QString& key : std::as_const(m_allKeys)) {
            const QString text = Localization::lookup(key);
            if (text != catalog.value(key).text)
                problems << key + u" -> \""_s + text + u'"';
        }
        Localization::setLanguage({});
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    void appNameIsTheSameEverywhere()
    {
        for (const QString& language : Localization::supportedLanguages()) {
            Localization::setLanguage(language);
            QCOMPARE(L("app.name"), u"Plenvo"_s);
        }
        Localization::setLanguage({});
    }
};

QTEST_GUILESS_MAIN(CatalogsTest)
#include "tst_catalogs.moc"
