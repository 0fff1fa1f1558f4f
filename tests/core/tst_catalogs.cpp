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

// Keys passed as string literals to L(...) or Localization::lookup(...) in the sources.
QSet<QString> scanCode()
{
    static const QRegularExpression call(QStringLiteral(
        "(?<![\\w:])(?:L|Localization::lookup)\\(\\s*(?:u8)?\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    QSet<QString> keys;
    QDirIterator it(QStringLiteral(PLENVO_CODE_DIR), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        for (const QRegularExpressionMatch& match :
             call.globalMatch(QString::fromUtf8(file.readAll())))
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

class CatalogsTest : public QObject {
    Q_OBJECT

    QStringList m_allKeys; // the key list and the code's keys, without repeats

private Q_SLOTS:
    void initTestCase()
    {
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
        QSet<QString> all = scanCode();
        QVERIFY2(!all.isEmpty(), "no keys found in the sources");
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
        Localization::setLanguage(language);
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
        Localization::setLanguage({});
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
};

QTEST_GUILESS_MAIN(CatalogsTest)
#include "tst_catalogs.moc"
