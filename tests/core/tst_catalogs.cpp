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

// One key a line, in quotes.
QStringList readKeyList()
{
    QFile file(QStringLiteral(PLENVO_I18N_DIR "/string-keys.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList keys;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts))
        keys << line.trimmed().remove(u'"');
    return keys;
}

// Keys passed as string literals to L(...) or Localization::lookup(...) in the sources.
QSet<QString> scanCode(int* files)
{
    static const QRegularExpression call(QStringLiteral(
        "(?<![\\w:])(?:L|Localization::lookup)\\(\\s*(?:u8)?\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    QSet<QString> keys;
    QDirIterator it(QStringLiteral(PLENVO_CODE_DIR), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++*files;
        const QString source = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& match : call.globalMatch(source))
            keys.insert(match.captured(1));
    }
    return keys;
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

// A placeholder: 1-based position (0 when unnumbered) and conversion ("@" or "lld").
struct Placeholder {
    int position = 0;
    QString conversion;
};

// The placeholders of a text; an error for any '%' that is not "%%" or a supported
// placeholder.
QList<Placeholder> placeholdersOf(const QString& text, QString* error)
{
    static const QRegularExpression percent(
        QStringLiteral("%(%|(?:([1-9][0-9]{0,2})\\$)?(@|lld))?"));
    QList<Placeholder> result;
    for (const QRegularExpressionMatch& match : percent.globalMatch(text)) {
        if (match.captured(1) == u"%")
            continue;
        if (match.captured(3).isEmpty())
            *error = u"unsupported '%' at offset "_s + QString::number(match.capturedStart());
        result.append({match.captured(2).toInt(), match.captured(3)});
    }
    return result;
}

// Empty when the text's placeholders take the key's arguments: each argument once with its
// own conversion, either in order or by position (not both).
QString placeholderMismatch(const QString& key, const QString& text)
{
    QString error;
    const QList<Placeholder> expected = placeholdersOf(key, &error);
    const QList<Placeholder> actual = placeholdersOf(text, &error);
    if (!error.isEmpty())
        return error;
    if (expected.isEmpty() && text.contains(u'%'))
        return u"a text without arguments contains '%'"_s;
    QSet<int> used;
    for (qsizetype k = 0; k < actual.size(); ++k) {
        if ((actual[k].position > 0) != (actual.front().position > 0))
            return u"positional and sequential placeholders mixed"_s;
        const int position = actual[k].position > 0 ? actual[k].position : int(k) + 1;
        if (position > expected.size())
            return u"more placeholders than arguments"_s;
        if (actual[k].conversion != expected[position - 1].conversion)
            return u"conversion %1 for argument %2"_s.arg(actual[k].conversion).arg(position);
        used.insert(position);
    }
    return used.size() == expected.size() ? QString() : u"not every argument is used"_s;
}

} // namespace

class CatalogsTest : public QObject {
    Q_OBJECT

    QStringList m_allKeys; // the key list and the code's keys, without repeats

private Q_SLOTS:
    void initTestCase()
    {
        const QStringList keyList = readKeyList();
        QVERIFY2(!keyList.isEmpty(), "the key list is missing or empty");
        static const QRegularExpression shape(
            QStringLiteral("^[a-z][A-Za-z0-9]*(\\.[a-z][A-Za-z0-9]*)+( %(@|lld))*$"));
        for (const QString& key : keyList)
            QVERIFY2(shape.match(key).hasMatch() && keyList.count(key) == 1, qPrintable(key));
        int files = 0;
        QSet<QString> all = scanCode(&files);
        QVERIFY2(files > 0, "no sources found to scan for keys");
        all.unite(QSet<QString>(keyList.begin(), keyList.end()));
        m_allKeys = all.values();
    }

    void catalogs_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString& language : Localization::supportedLanguages())
            QTest::newRow(qPrintable(language)) << language;
    }

    // Every known key has a finished text, neither empty nor the key, whose placeholders
    // match the key's; no other key is there; and the compiled catalog linked into the
    // program answers with those texts.
    void catalogs()
    {
        QFETCH(QString, language);
        QString error;
        const QMap<QString, QString> catalog = readCatalog(language, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(QFile::exists(u":/i18n/"_s + Localization::catalogFileName(language)));
        Localization::setLanguage(language);
        QCOMPARE(Localization::language(), language);
        QStringList problems;
        for (const QString& key : std::as_const(m_allKeys)) {
            const QString text = catalog.value(key);
            QString problem = text.trimmed().isEmpty() || text == key
                                  ? u"missing, unfinished, empty or the key"_s
                                  : placeholderMismatch(key, text);
            if (problem.isEmpty() && Localization::lookup(key) != text)
                problem = u"the program reads "_s + Localization::lookup(key);
            if (!problem.isEmpty())
                problems << key + u" -> \""_s + text + u"\": "_s + problem;
        }
        for (const QString& id : catalog.keys())
            if (!m_allKeys.contains(id))
                problems << id + u": not a known key"_s;
        QCOMPARE(L("app.name"), u"Plenvo"_s);
        Localization::setLanguage({});
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    // The checker itself, on texts a translator could get wrong.
    void placeholderChecker_data()
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
        QTest::newRow("positional wrong type") << u"a.b %lld %@"_s << u"%1$@ %2$@"_s << false;
        QTest::newRow("printf int") << u"a.b %lld"_s << u"%d"_s << false;
        QTest::newRow("mixed") << u"a.b %@ %@"_s << u"%1$@ %@"_s << false;
        QTest::newRow("percent in plain text") << u"a.b"_s << u"100%%"_s << false;
    }

    void placeholderChecker()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(placeholderMismatch(key, text).isEmpty(), accepted);
    }
};

QTEST_GUILESS_MAIN(CatalogsTest)
#include "tst_catalogs.moc"
