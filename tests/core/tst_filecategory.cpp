#include "models/FileCategory.h"
#include "utils/Localization.h"

#include <QTest>

using namespace plenvo;
using namespace Qt::StringLiterals;

class FileCategoryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every listed extension finds its own category, in any case and from either kind of text;
    // anything that is not exactly a listed extension is "other".
    void extensionsDecideTheCategory()
    {
        const std::pair<FileCategory, const char*> lists[] = {
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
            {FileCategory::other, "xyz pd pdff frameworks jpé .pdf pdf\t"},
        };
        for (const auto& [category, list] : lists) {
            for (const QString& extension : QString::fromUtf8(list).split(u' ')) {
                for (const QString& text : {extension, extension.toUpper(),
                                            extension.front().toUpper() + extension.mid(1)}) {
                    const QByteArray utf8 = text.toUtf8();
                    QCOMPARE(FileCategory::categorize(QStringView(text)), category);
                    QCOMPARE(FileCategory::categorize(std::string_view(utf8.data(), utf8.size())),
                             category);
                }
            }
        }
        QCOMPARE(FileCategory::categorize(u""), FileCategory::other);
    }

    void rawValuesRoundTrip()
    {
        QStringList raws;
        for (FileCategory category : FileCategory::allCases()) {
            raws << category.rawValue();
            QCOMPARE(FileCategory::fromRawValue(category.rawValue()), std::optional(category));
        }
        QCOMPARE(raws.join(u','),
                 u"Documents,Images,Videos,Audio,Archives,Code,Applications,System,Caches,Other"_s);
        QCOMPARE(FileCategory::fromRawValue(u"documents"), std::nullopt);
    }

    void namesComeFromTheStringTables()
    {
        for (FileCategory category : FileCategory::allCases()) {
            Localization::setLanguage(u"en");
            const QString english = category.localizedName();
            Localization::setLanguage(u"zh_CN");
            const QString chinese = category.localizedName();
            QVERIFY2(!english.isEmpty() && english != QLatin1String(category.localizationKey()) &&
                         chinese != english,
                     category.localizationKey());
        }
        Localization::setLanguage({});
    }
};

QTEST_GUILESS_MAIN(FileCategoryTest)
#include "tst_filecategory.moc"
