#include "utils/Localization.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

#include <map>
#include <memory>
#include <mutex>

namespace plenvo {

namespace {

constexpr QStringView kMainTablesDir = u":/i18n";
constexpr QStringView kBundleName = u"Plenvo_Plenvo.bundle";
constexpr QStringView kEnglish = u"en";
constexpr QStringView kChinese = u"zh_CN";

using CatalogCache = std::map<QString, std::unique_ptr<QTranslator>>;

// Process-wide lookup state. Catalogs are loaded on first use, one per language and source,
// and kept until the process ends: a pointer handed out stays valid, and a loaded catalog is
// never modified, so lookups query it without holding the lock.
struct State {
    std::mutex mutex;
    QString pinnedLanguage;    // empty: follow the user's preferred languages
    QString preferredLanguage; // resolved from the system locale on first use
    CatalogCache mainTables;
    CatalogCache bundleTables;
};

State& state()
{
    static State instance;
    return instance;
}

// Call with the lock held.
QString currentLanguage(State& s)
{
    if (!s.pinnedLanguage.isEmpty())
        return s.pinnedLanguage;
    if (s.preferredLanguage.isEmpty())
        s.preferredLanguage = Localization::languageFor(QLocale::system().uiLanguages());
    return s.preferredLanguage;
}

// Call with the lock held. Null when the folder has no catalog for the language (or it does
// not load); that outcome is remembered too.
const QTranslator* catalog(CatalogCache& cache, const QString& language, QStringView dir)
{
    auto it = cache.find(language);
    if (it == cache.end()) {
        // QTranslator::load() would also try shortened names (plenvo_zh_CN -> plenvo_zh ->
        // plenvo); only the exact file is wanted.
        const QString path = dir.toString() + u'/' + Localization::catalogFileName(language);
        auto translator = std::make_unique<QTranslator>();
        if (!QFileInfo(path).isFile() || !translator->load(path))
            translator.reset();
        it = cache.emplace(language, std::move(translator)).first;
    }
    return it->second.get();
}

QString textIn(const QTranslator* translator, const QByteArray& id, const QString& key)
{
    if (!translator)
        return {};
    QString text = translator->translate(nullptr, id.constData());
    if (text.isEmpty() || text == key)
        return {};
    return text;
}

QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

bool holdsCatalog(const QString& dir)
{
    const QStringList languages = Localization::supportedLanguages();
    for (const QString& language : languages) {
        if (QFileInfo(dir + u'/' + Localization::catalogFileName(language)).isFile())
            return true;
    }
    return false;
}

} // namespace

QString Localization::lookup(QAnyStringView key)
{
    const QString keyText = key.toString();
    const QByteArray id = keyText.toUtf8();
    State& s = state();

    QString language;
    const QTranslator* main = nullptr;
    {
        const std::lock_guard lock(s.mutex);
        language = currentLanguage(s);
        main = catalog(s.mainTables, language, kMainTablesDir);
    }
    if (QString text = textIn(main, id, keyText); !text.isEmpty())
        return text;

    const QString bundle = resourceBundlePath();
    if (!bundle.isEmpty()) {
        const QTranslator* secondary = nullptr;
        {
            const std::lock_guard lock(s.mutex);
            secondary = catalog(s.bundleTables, language, bundle);
        }
        if (QString text = textIn(secondary, id, keyText); !text.isEmpty())
            return text;
    }
    return keyText;
}

QStringList Localization::supportedLanguages()
{
    return {kEnglish.toString(), kChinese.toString()};
}

QString Localization::language()
{
    State& s = state();
    const std::lock_guard lock(s.mutex);
    return currentLanguage(s);
}

void Localization::setLanguage(QStringView language)
{
    const QString resolved = language.isEmpty() ? QString() : languageFor({language.toString()});
    State& s = state();
    const std::lock_guard lock(s.mutex);
    s.pinnedLanguage = resolved;
}

QString Localization::languageFor(const QStringList& preferredLanguages)
{
    for (const QString& tag : preferredLanguages) {
        qsizetype end = 0;
        while (end < tag.size() && tag[end] != u'-' && tag[end] != u'_')
            ++end;
        const QStringView primary = QStringView(tag).first(end);
        if (primary.compare(u"zh", Qt::CaseInsensitive) == 0)
            return kChinese.toString();
        if (primary.compare(u"en", Qt::CaseInsensitive) == 0)
            return kEnglish.toString();
    }
    return kEnglish.toString();
}

QString Localization::catalogFileName(QStringView language)
{
    QString name = QStringLiteral("plenvo_");
    name += language;
    name += QStringLiteral(".qm");
    return name;
}

QString Localization::findResourceBundle(const QString& executableDir)
{
    if (executableDir.isEmpty())
        return {};
    constexpr QStringView folders[] = {u"", u"/Resources", u"/../Resources", u"/../share/plenvo"};
    for (const QStringView folder : folders) {
        const QString path =
            QDir::cleanPath(executableDir + folder.toString() + u'/' + kBundleName.toString());
        if (QFileInfo(path).isDir() && holdsCatalog(path))
            return path;
    }
    return {};
}

QString Localization::resourceBundlePath()
{
    // A function-local static is initialised exactly once, also when several threads get
    // here first at the same time.
    static const QString path = findResourceBundle(executableDir());
    return path;
}

QString L(QAnyStringView key)
{
    return Localization::lookup(key);
}

} // namespace plenvo
