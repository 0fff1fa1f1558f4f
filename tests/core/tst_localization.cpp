#include "utils/Localization.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

using namespace plenvo;
using namespace Qt::StringLiterals;

// This executable runs from a folder of its own, next to a secondary bundle
// (Plenvo_Plenvo.bundle) compiled from tests/core/data/l10n: its catalogs override
// "app.name" and "sidebar.overview" and add "test.bundleOnly" (both languages) and
// "test.bundleFormat %lld %@" (English only).

namespace {

const QString kBundleOnlyEnglish = u"Text from the bundle"_s;
const QString kBundleOnlyChinese = u"资源包里的文字"_s;

bool hasHan(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    }
    return false;
}

bool isAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

// Lays out files ("a/b.qm") and folders ("a/b/") under `root`.
bool makeLayout(const QString& root, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QString path = root + u'/' + entry;
        if (entry.endsWith(u'/')) {
            if (!QDir().mkpath(path))
                return false;
            continue;
        }
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return false;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

} // namespace

class LocalizationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void cleanup()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale::c());
    }

    // Runs first: the first lookups of the process, bundle search included, come from many
    // threads at once.
    void firstUseFromManyThreads()
    {
        constexpr int threadCount = 8;
        constexpr int rounds = 200;
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < threadCount; ++t) {
            threads.emplace_back([&wrong] {
                for (int i = 0; i < rounds; ++i) {
                    if (Localization::lookup("app.name") != u"Plenvo"_s ||
                        Localization::lookup("test.bundleOnly") != kBundleOnlyEnglish ||
                        L("test.nowhere %lld", i) != u"test.nowhere "_s + QString::number(i))
                        ++wrong;
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        QCOMPARE(wrong.load(), 0);
    }

    void bundleIsFoundBesideTheExecutable()
    {
        QCOMPARE(
            Localization::resourceBundlePath(),
            QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/Plenvo_Plenvo.bundle"_s));
    }

    void mainTablesWinOverTheBundle()
    {
        QCOMPARE(Localization::lookup("app.name"), u"Plenvo"_s);
        const QString overview = Localization::lookup("sidebar.overview");
        QVERIFY(overview != u"Overview from the bundle"_s);
        QVERIFY(overview != u"sidebar.overview"_s);

        Localization::setLanguage(u"zh_CN");
        QCOMPARE(Localization::lookup("app.name"), u"Plenvo"_s);
    }

    void bundleAnswersWhatTheMainTablesLack()
    {
        QCOMPARE(Localization::lookup("test.bundleOnly"), kBundleOnlyEnglish);
        QCOMPARE(L("test.bundleOnly"), kBundleOnlyEnglish);
        // The bundle's text is formatted like any other, positional placeholders included.
        QCOMPARE(L("test.bundleFormat %lld %@", 3, "box"), u"box holds 3"_s);
    }

    void bundleFollowsTheLanguage()
    {
        Localization::setLanguage(u"zh_CN");
        QCOMPARE(Localization::lookup("test.bundleOnly"), kBundleOnlyChinese);
        // The Chinese bundle catalog lacks this key: the key comes back, with its arguments.
        QCOMPARE(L("test.bundleFormat %lld %@", 3, "box"), u"test.bundleFormat 3 box"_s);
    }

    void missingKeyComesBackAsTheKey()
    {
        for (const char* language : {"en", "zh_CN"}) {
            Localization::setLanguage(QString::fromLatin1(language));
            QCOMPARE(Localization::lookup("test.nowhere"), u"test.nowhere"_s);
            QCOMPARE(Localization::lookup(u"test.nowhere.again"_s), u"test.nowhere.again"_s);
            QCOMPARE(L("test.nowhere %@"), u"test.nowhere %@"_s);
            QCOMPARE(L("test.nowhere 100%"), u"test.nowhere 100%"_s);
            QCOMPARE(L("test.nowhere %@", "a.txt"), u"test.nowhere a.txt"_s);
            QCOMPARE(Localization::lookup(""), QString());
        }
    }

    void integersAreNeverGrouped_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("locale");
        QTest::newRow("en in de_DE") << u"en"_s << u"de_DE"_s;
        QTest::newRow("en in en_US") << u"en"_s << u"en_US"_s;
        QTest::newRow("zh_CN in zh_CN") << u"zh_CN"_s << u"zh_CN"_s;
        QTest::newRow("zh_CN in de_DE") << u"zh_CN"_s << u"de_DE"_s;
    }

    void integersAreNeverGrouped()
    {
        QFETCH(QString, language);
        QFETCH(QString, locale);
        Localization::setLanguage(language);
        QLocale::setDefault(QLocale(locale));
        const QString scanned = L("scanning.filesScanned %lld", 1234567);
        QVERIFY2(scanned.contains(u"1234567"_s), qPrintable(scanned));
        const QString progress = L("delete.progress %lld %lld", 12345, 67890);
        QVERIFY2(progress.contains(u"12345"_s) && progress.contains(u"67890"_s),
                 qPrintable(progress));
        QCOMPARE(L("test.nowhere %lld", 1234567), u"test.nowhere 1234567"_s);
    }

    void pinnedLanguageSelectsTheCatalog()
    {
        Localization::setLanguage(u"en");
        QCOMPARE(Localization::language(), u"en"_s);
        const QString english = Localization::lookup("sidebar.overview");
        QVERIFY2(isAscii(english), qPrintable(english));

        Localization::setLanguage(u"zh_CN");
        QCOMPARE(Localization::language(), u"zh_CN"_s);
        const QString chinese = Localization::lookup("sidebar.overview");
        QVERIFY2(hasHan(chinese), qPrintable(chinese));

        // Any Chinese tag selects Simplified Chinese; anything else English.
        Localization::setLanguage(u"zh-Hant-TW");
        QCOMPARE(Localization::language(), u"zh_CN"_s);
        QCOMPARE(Localization::lookup("sidebar.overview"), chinese);
        Localization::setLanguage(u"de_DE");
        QCOMPARE(Localization::language(), u"en"_s);
        QCOMPARE(Localization::lookup("sidebar.overview"), english);
    }

    void unpinnedLanguageFollowsTheSystem()
    {
        // main() made the user's preferred languages Traditional Chinese, then English.
        Localization::setLanguage({});
        QCOMPARE(Localization::language(), u"zh_CN"_s);
        QVERIFY(hasHan(Localization::lookup("sidebar.overview")));
    }

    void languageForPreferences_data()
    {
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList() << u"en"_s;
        QTest::newRow("English") << QStringList{u"en-US"_s, u"en"_s} << u"en"_s;
        QTest::newRow("Simplified Chinese") << QStringList{u"zh-CN"_s} << u"zh_CN"_s;
        QTest::newRow("script tag") << QStringList{u"zh-Hans-CN"_s} << u"zh_CN"_s;
        QTest::newRow("Traditional Chinese") << QStringList{u"zh-Hant-TW"_s} << u"zh_CN"_s;
        QTest::newRow("underscore") << QStringList{u"zh_HK"_s} << u"zh_CN"_s;
        QTest::newRow("upper case") << QStringList{u"ZH"_s} << u"zh_CN"_s;
        QTest::newRow("first supported wins")
            << QStringList{u"de-DE"_s, u"zh-CN"_s, u"en"_s} << u"zh_CN"_s;
        QTest::newRow("English before Chinese") << QStringList{u"en-GB"_s, u"zh-CN"_s} << u"en"_s;
        QTest::newRow("unsupported only") << QStringList{u"de-DE"_s, u"fr"_s} << u"en"_s;
        QTest::newRow("not a prefix match") << QStringList{u"zu-ZA"_s, u"zhx"_s} << u"en"_s;
        QTest::newRow("C locale") << QStringList{u"C"_s} << u"en"_s;
    }

    void languageForPreferences()
    {
        QFETCH(QStringList, preferred);
        QFETCH(QString, expected);
        QCOMPARE(Localization::languageFor(preferred), expected);
    }

    // The bundle search as a pure function of the executable's folder ("bin" below).
    void bundleSearch_data()
    {
        QTest::addColumn<QStringList>("layout");
        QTest::addColumn<QString>("expected");
        const QString beside = u"bin/Plenvo_Plenvo.bundle"_s;
        const QString resources = u"bin/Resources/Plenvo_Plenvo.bundle"_s;
        const QString parentResources = u"Resources/Plenvo_Plenvo.bundle"_s;
        const QString installed = u"share/plenvo/Plenvo_Plenvo.bundle"_s;
        const QString en = u"/plenvo_en.qm"_s;
        const QString zh = u"/plenvo_zh_CN.qm"_s;

        QTest::newRow("nothing") << QStringList() << QString();
        QTest::newRow("beside") << QStringList{beside + en} << beside;
        QTest::newRow("Resources") << QStringList{resources + zh} << resources;
        QTest::newRow("../Resources, resolved")
            << QStringList{parentResources + en} << parentResources;
        QTest::newRow("installed") << QStringList{installed + en} << installed;
        QTest::newRow("all four: beside wins")
            << QStringList{installed + en, parentResources + en, resources + en, beside + zh}
            << beside;
        QTest::newRow("Resources before ../Resources")
            << QStringList{installed + en, parentResources + en, resources + en} << resources;
        QTest::newRow("../Resources before installed")
            << QStringList{installed + en, parentResources + zh} << parentResources;
        QTest::newRow("empty folder is passed over")
            << QStringList{beside + u"/"_s, installed + en} << installed;
        QTest::newRow("a file is not a bundle")
            << QStringList{u"bin/Plenvo_Plenvo.bundle"_s, parentResources + en} << parentResources;
        QTest::newRow("catalogs of other languages only")
            << QStringList{beside + u"/plenvo_fr.qm"_s, beside + u"/other.qm"_s} << QString();
        QTest::newRow("catalog name on a folder") << QStringList{beside + en + u"/"_s} << QString();
        QTest::newRow("other bundle names")
            << QStringList{u"bin/Plenvo.bundle"_s + en, u"bin/plenvo_plenvo.bundle"_s + en}
            << QString();
    }

    void bundleSearch()
    {
        QFETCH(QStringList, layout);
        QFETCH(QString, expected);
        test::ScratchDir scratch;
        QVERIFY(scratch.isValid());
        const QString root = QString::fromLocal8Bit(scratch.path());
        QVERIFY(makeLayout(root, QStringList{u"bin/"_s} + layout));

        const QString found = Localization::findResourceBundle(root + u"/bin"_s);
        QCOMPARE(found, expected.isEmpty() ? QString() : root + u'/' + expected);
    }

    void bundleSearchWithoutAFolder() { QCOMPARE(Localization::findResourceBundle({}), QString()); }
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
