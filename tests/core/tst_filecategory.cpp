#include "models/FileCategory.h"
#include "models/FileNode.h"
#include "utils/Localization.h"

#include <QTest>

using namespace plenvo;

class FileCategoryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void extensionsDecideTheCategory_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("category");
        const auto row = [](const char* ext, FileCategory c) {
            QTest::newRow(ext) << QString::fromUtf8(ext) << int(c.value());
        };
        row("JPG", FileCategory::images);
        row("Jpg", FileCategory::images);
        row("jpg", FileCategory::images);
        row("ts", FileCategory::code);
        row("mts", FileCategory::videos);
        row("m", FileCategory::code);
        row("mm", FileCategory::code);
        row("r", FileCategory::code);
        row("raw", FileCategory::images);
        row("log", FileCategory::system);
        row("lock", FileCategory::system);
        row("tmp", FileCategory::caches);
        row("framework", FileCategory::system);
        row("FRAMEWORK", FileCategory::system);
        row("app", FileCategory::applications);
        row("numbers", FileCategory::documents);
        row("keynote", FileCategory::documents);
        row("3gp", FileCategory::videos);
        row("7z", FileCategory::archives);
        row("gz", FileCategory::archives);
        row("md", FileCategory::documents);
        row("opus", FileCategory::audio);
        row("swp", FileCategory::caches);
        row("xyz", FileCategory::other);
        row("", FileCategory::other);
        row(".pdf", FileCategory::other);
        row("pdf ", FileCategory::other);
        row("pd", FileCategory::other);
        row("pdff", FileCategory::other);
        row("frameworks", FileCategory::other);
        row("jpé", FileCategory::other);
    }

    void extensionsDecideTheCategory()
    {
        QFETCH(QString, extension);
        QFETCH(int, category);
        QCOMPARE(int(FileCategory::categorize(QStringView(extension)).value()), category);
        const QByteArray utf8 = extension.toUtf8();
        QCOMPARE(
            int(FileCategory::categorize(std::string_view(utf8.constData(), size_t(utf8.size())))
                    .value()),
            category);
    }

    void everyListedExtensionHasExactlyOneCategory()
    {
        // Each category's own extensions, as published; none may land elsewhere.
        const std::vector<std::pair<FileCategory, const char*>> lists = {
            {FileCategory::documents,
             "pdf doc docx xls xlsx ppt pptx txt rtf pages numbers keynote csv md"},
            {FileCategory::images,
             "jpg jpeg png gif bmp tiff tif svg webp heic heif raw cr2 nef psd ai"},
            {FileCategory::videos, "mp4 mov avi mkv wmv flv m4v webm mpg mpeg 3gp mts"},
            {FileCategory::audio, "mp3 wav aac flac m4a wma ogg aiff alac opus"},
            {FileCategory::archives, "zip rar 7z tar gz bz2 xz dmg iso pkg deb rpm"},
            {FileCategory::code, "swift py js ts jsx tsx java kt c cpp h hpp cs go rs rb php html "
                                 "css scss json xml yaml yml sh bash zsh sql r m mm"},
            {FileCategory::applications, "app ipa apk exe msi"},
            {FileCategory::system, "plist dylib framework kext log crash diag lock"},
            {FileCategory::caches, "cache tmp temp swp"},
        };
        int total = 0;
        for (const auto& [category, list] : lists) {
            const QStringList extensions = QString::fromLatin1(list).split(QLatin1Char(' '));
            total += int(extensions.size());
            for (const QString& ext : extensions) {
                QCOMPARE(FileCategory::categorize(QStringView(ext)), category);
                QCOMPARE(FileCategory::categorize(QStringView(ext.toUpper())), category);
            }
        }
        QCOMPARE(total, 14 + 16 + 12 + 10 + 12 + 31 + 5 + 8 + 4);
    }

    void nodesAreCategorizedByTheirLastExtension()
    {
        auto node = [](const char* name, bool dir = false) {
            return FileNode::create(name, {}, dir, 0, {}, {});
        };
        QCOMPARE(FileCategory::of(*node("archive.tar.gz")), FileCategory(FileCategory::archives));
        QCOMPARE(FileCategory::of(*node("notes.MD")), FileCategory(FileCategory::documents));
        QCOMPARE(FileCategory::of(*node("Makefile")), FileCategory(FileCategory::other));
        QCOMPARE(FileCategory::of(*node(".bashrc")), FileCategory(FileCategory::other));
        QCOMPARE(FileCategory::of(*node("Photos.app", true)),
                 FileCategory(FileCategory::applications));
        QCOMPARE(FileCategory::of(*node("weird.\xFF")), FileCategory(FileCategory::other));
    }

    void rawValuesRoundTrip()
    {
        const auto all = FileCategory::allCases();
        QCOMPARE(all.size(), 10u);
        QCOMPARE(all.front(), FileCategory(FileCategory::documents));
        QCOMPARE(all.back(), FileCategory(FileCategory::other));
        QStringList raws;
        for (FileCategory category : all) {
            raws << category.rawValue();
            QCOMPARE(FileCategory::fromRawValue(category.rawValue()), std::optional(category));
            QCOMPARE(category.id(), category.rawValue());
        }
        QCOMPARE(
            raws.join(QLatin1Char(',')),
            QStringLiteral(
                "Documents,Images,Videos,Audio,Archives,Code,Applications,System,Caches,Other"));
        QCOMPARE(FileCategory::fromRawValue(u"documents"), std::nullopt);
        QCOMPARE(FileCategory::fromRawValue(u""), std::nullopt);
    }

    void namesComeFromTheStringTables()
    {
        Localization::setLanguage(u"en");
        const QString english = FileCategory(FileCategory::images).localizedName();
        Localization::setLanguage(u"zh_CN");
        const QString chinese = FileCategory(FileCategory::images).localizedName();
        Localization::setLanguage(u"");
        QVERIFY(!english.isEmpty() && english != QLatin1String("category.images"));
        QVERIFY(!chinese.isEmpty() && chinese != english);
        QCOMPARE(FileCategory(FileCategory::other).color(), ColorToken::secondary);
        QCOMPARE(QString::fromLatin1(FileCategory(FileCategory::code).icon()),
                 QStringLiteral("chevron.left.forwardslash.chevron.right"));
    }
};

QTEST_GUILESS_MAIN(FileCategoryTest)
#include "tst_filecategory.moc"
