#include "FileCategory.h"

#include "FileNode.h"
#include "utils/Localization.h"

#include <cstring>

namespace plenvo {

namespace {

struct Description {
    const char* raw;
    const char* key;
    const char* icon;
    ColorToken color;
};

constexpr std::array<Description, FileCategory::kCount> kDescriptions = {{
    {"Documents", "category.documents", "doc.text.fill", ColorToken::blue},
    {"Images", "category.images", "photo.fill", ColorToken::orange},
    {"Videos", "category.videos", "film.fill", ColorToken::purple},
    {"Audio", "category.audio", "music.note", ColorToken::pink},
    {"Archives", "category.archives", "archivebox.fill", ColorToken::yellow},
    {"Code", "category.code", "chevron.left.forwardslash.chevron.right", ColorToken::teal},
    {"Applications", "category.applications", "app.fill", ColorToken::indigo},
    {"System", "category.system", "gearshape.fill", ColorToken::gray},
    {"Caches", "category.caches", "cylinder.fill", ColorToken::brown},
    {"Other", "category.other", "questionmark.folder.fill", ColorToken::secondary},
}};

// The extensions of each category but `other`, in the order the categories are tried.
constexpr std::array<std::pair<FileCategory::Value, const char*>, 9> kExtensions = {{
    {FileCategory::documents,
     "pdf doc docx xls xlsx ppt pptx txt rtf pages numbers keynote csv md"},
    {FileCategory::images, "jpg jpeg png gif bmp tiff tif svg webp heic heif raw cr2 nef psd ai"},
    {FileCategory::videos, "mp4 mov avi mkv wmv flv m4v webm mpg mpeg 3gp mts"},
    {FileCategory::audio, "mp3 wav aac flac m4a wma ogg aiff alac opus"},
    {FileCategory::archives, "zip rar 7z tar gz bz2 xz dmg iso pkg deb rpm"},
    {FileCategory::code, "swift py js ts jsx tsx java kt c cpp h hpp cs go rs rb php html css "
                         "scss json xml yaml yml sh bash zsh sql r m mm"},
    {FileCategory::applications, "app ipa apk exe msi"},
    {FileCategory::system, "plist dylib framework kext log crash diag lock"},
    {FileCategory::caches, "cache tmp temp swp"},
}};

constexpr std::size_t kLongestExtension = 9; // "framework"

// Extensions packed into integers (up to 9 lowercase ASCII letters and digits fit in 9 bytes;
// the first 8 go into `low`, the ninth into `high`) in an open-addressing table built once.
class ExtensionTable {
public:
    ExtensionTable()
    {
        m_slots.fill(Slot{0, 0, FileCategory::other});
        for (const auto& [category, list] : kExtensions) {
            std::string_view rest = list;
            while (!rest.empty()) {
                const std::size_t space = rest.find(' ');
                insert(rest.substr(0, space), category);
                rest =
                    space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
            }
        }
    }

    FileCategory::Value find(const char* lower, std::size_t length) const
    {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        pack(lower, length, low, high);
        for (std::size_t i = hash(low, high);; i = (i + 1) & kMask) {
            const Slot& slot = m_slots[i];
            if (slot.low == 0)
                return FileCategory::other;
            if (slot.low == low && slot.high == high)
                return slot.category;
        }
    }

private:
    struct Slot {
        std::uint64_t low;
        std::uint64_t high;
        FileCategory::Value category;
    };
    static constexpr std::size_t kSize = 512;
    static constexpr std::size_t kMask = kSize - 1;

    static void pack(const char* text, std::size_t length, std::uint64_t& low, std::uint64_t& high)
    {
        low = 0;
        high = 0;
        std::memcpy(&low, text, length < 8 ? length : 8);
        if (length > 8)
            std::memcpy(&high, text + 8, length - 8);
    }
    static std::size_t hash(std::uint64_t low, std::uint64_t high)
    {
        return std::size_t(((low ^ (high << 7)) * 0x9E3779B97F4A7C15ull) >> 55) & kMask;
    }
    void insert(std::string_view extension, FileCategory::Value category)
    {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        pack(extension.data(), extension.size(), low, high);
        std::size_t i = hash(low, high);
        while (m_slots[i].low != 0) {
            if (m_slots[i].low == low && m_slots[i].high == high)
                return; // the first category that lists an extension keeps it
            i = (i + 1) & kMask;
        }
        m_slots[i] = Slot{low, high, category};
    }

    std::array<Slot, kSize> m_slots;
};

const ExtensionTable& extensionTable()
{
    static const ExtensionTable table;
    return table;
}

} // namespace

QString FileCategory::rawValue() const
{
    return QString::fromLatin1(kDescriptions[m_value].raw);
}

std::optional<FileCategory> FileCategory::fromRawValue(QStringView raw)
{
    for (FileCategory category : allCases())
        if (raw == QLatin1String(kDescriptions[category.value()].raw))
            return category;
    return std::nullopt;
}

const char* FileCategory::localizationKey() const
{
    return kDescriptions[m_value].key;
}

QString FileCategory::localizedName() const
{
    return Localization::lookup(QString::fromLatin1(localizationKey()));
}

const char* FileCategory::icon() const
{
    return kDescriptions[m_value].icon;
}

ColorToken FileCategory::color() const
{
    return kDescriptions[m_value].color;
}

FileCategory FileCategory::categorize(std::string_view extension)
{
    if (extension.empty() || extension.size() > kLongestExtension)
        return other;
    char lower[kLongestExtension];
    for (std::size_t i = 0; i < extension.size(); ++i) {
        const char c = extension[i];
        lower[i] = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
    }
    return extensionTable().find(lower, extension.size());
}

FileCategory FileCategory::categorize(QStringView extension)
{
    if (extension.size() > qsizetype(kLongestExtension))
        return other;
    char ascii[kLongestExtension];
    for (qsizetype i = 0; i < extension.size(); ++i) {
        const char16_t c = extension[i].unicode();
        if (c > 0x7F)
            return other; // no listed extension has a character beyond ASCII
        ascii[i] = char(c);
    }
    return categorize(std::string_view(ascii, std::size_t(extension.size())));
}

FileCategory FileCategory::of(const FileNode& node)
{
    return categorize(node.extensionBytes());
}

} // namespace plenvo
