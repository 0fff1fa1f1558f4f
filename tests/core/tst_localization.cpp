#include "utils/Localization.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>
#include <vector>

using namespace plenvo;
using namespace Qt::StringLiterals;

// This executable runs from a folder of its own, next to a secondary bundle
// (Plenvo_Plenvo.bundle) compiled from tests/core/data/l10n: its catalogs override
// "app.name" and "sidebar.overview" and add "test.bundleOnly" (both languages) and
// "test.bundleFormat %lld %@" (English only).

namespace {

bool hasHan(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF; });
}

} // namespace

class LocalizationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    void cleanup() { Localization::setLanguage(u"en"); }

    // Runs first: the first lookups of the process, bundle search included, come from many
    // threads at once.
    void firstUseFromManyThreads()
    {
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([&wrong] {
                for (int i = 0; i < 200; ++i) {
                    if (Localization::lookup("app.name") != u"Plenvo"_s ||
                        Localization::lookup("test.bundleOnly") != u"Text from the bundle"_s ||
                        L("test.nowhere %lld", i) != u"test.nowhere "_s + QString::number(i))
                        ++wrong;
                }
            });
        }
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

    // Any Chinese tag selects Simplified Chinese, anything else English; unpinned, the system
    // decides (main() made it Traditional Chinese, then English).
    void languageChoice()
    {
        const auto overview = [](QStringView language) {
            Localization::setLanguage(language);
            return Localization::language() + u' ' + Localization::lookup("sidebar.overview");
        };
        const QString english = overview(u"en");
        const QString chinese = overview(u"zh-Hant-TW");
        QVERIFY2(english.startsWith(u"en ") && !hasHan(english), qPrintable(english));
        QVERIFY2(chinese.startsWith(u"zh_CN ") && hasHan(chinese), qPrintable(chinese));
        QCOMPARE(overview(u"de_DE"), english);
        QCOMPARE(overview({}), chinese);
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
