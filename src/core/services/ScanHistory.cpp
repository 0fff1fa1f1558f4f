#include "ScanHistory.h"

#include "NcduReader.h"
#include "NcduWriter.h"
#include "utils/DisplayText.h"

#include <QCoreApplication>
#include <QCryptographicHash>

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>

namespace plenvo {

namespace {

constexpr std::size_t kDateDigits = 13;
constexpr std::size_t kKeyDigits = 16;
constexpr std::string_view kSuffix = ".json.gz";
constexpr std::string_view kPartSuffix = ".part";
// What an interrupted save left is removed once it is this old (a save in progress is younger).
constexpr std::time_t kStalePartSeconds = 3600;

// A location as a scan names it: without trailing slashes (but "/").
std::string_view normalized(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

std::string keyOf(std::string_view rootPath)
{
    const std::string_view path = normalized(rootPath);
    const QByteArray hash = QCryptographicHash::hash(
        QByteArrayView(path.data(), qsizetype(path.size())), QCryptographicHash::Sha1);
    return hash.left(kKeyDigits / 2).toHex().toStdString();
}

std::string fileName(std::int64_t date, const std::string& key)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%013lld-", static_cast<long long>(date));
    return digits + key + std::string(kSuffix);
}

bool allOf(std::string_view text, bool (*test)(char))
{
    return std::all_of(text.begin(), text.end(), test);
}

// "<13 digits>-<16 hex digits>.json.gz": the date and the key, or nothing.
std::optional<std::pair<std::int64_t, std::string>> parseName(std::string_view name)
{
    if (name.size() != kDateDigits + 1 + kKeyDigits + kSuffix.size() || !name.ends_with(kSuffix) ||
        name[kDateDigits] != '-')
        return std::nullopt;
    const std::string_view date = name.substr(0, kDateDigits);
    const std::string_view key = name.substr(kDateDigits + 1, kKeyDigits);
    if (!allOf(date, [](char c) { return c >= '0' && c <= '9'; }) ||
        !allOf(key, [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }))
        return std::nullopt;
    return std::make_pair(std::stoll(std::string(date)), std::string(key));
}

// What NcduWriter leaves beside one of our files while it writes it.
bool isPart(std::string_view name)
{
    if (!name.ends_with(kPartSuffix))
        return false;
    name.remove_suffix(kPartSuffix.size());
    const std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && parseName(name.substr(0, dot)).has_value();
}

QString failure(const std::string& path, int error)
{
    return QStringLiteral("%1: %2").arg(DisplayText::fromBytes(path),
                                        QString::fromLocal8Bit(std::strerror(error)));
}

// Makes the folder and those above it that are missing, private to the user. 0 or an errno.
int makeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash == std::string::npos)
            break;
    }
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

template <typename Each> void forEachName(const std::string& folder, Each each)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get()))
        each(std::string_view(entry->d_name));
}

} // namespace

ScanHistory::ScanHistory() : ScanHistory(defaultFolder()) {}

ScanHistory::ScanHistory(std::string folder, int scansPerFolder, std::int64_t maxBytes)
    : m_folder(std::move(folder)), m_scansPerFolder(scansPerFolder), m_maxBytes(maxBytes)
{
}

std::string ScanHistory::defaultFolder()
{
    std::string state;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/') {
        state = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* user = ::getpwuid(::getuid());
            home = user && user->pw_dir ? user->pw_dir : "/";
        }
        state = std::string(home) + "/.local/state";
    }
    return std::string(normalized(state)) + "/plenvo/scans";
}

ScanHistory::SaveOutcome ScanHistory::save(const ScanTree& scan,
                                           const CancellationToken& token) const
{
    SaveOutcome outcome;
    outcome.status = SaveOutcome::Status::failed;
    if (!scan.root) {
        outcome.error = QStringLiteral("there is no scan to keep");
        return outcome;
    }
    if (const int error = makeFolders(m_folder)) {
        outcome.error = failure(m_folder, error);
        return outcome;
    }
    // The file names the folder as the export does (its root's location).
    const std::string key = keyOf(scan.root->pathBytes());
    std::int64_t date = std::max<std::int64_t>(scan.scanDate, 0);
    std::string path;
    struct stat info;
    do
        path = m_folder + '/' + fileName(date++, key);
    while (::lstat(path.c_str(), &info) == 0);

    NcduWriter writer;
    writer.setNotesTotals(true);
    const NcduWriter::Options options{scan.scanDate / 1000,
                                      QCoreApplication::applicationVersion().toStdString()};
    if (!writer.open(path, {0600, kCompressionLevel}) ||
        !writer.write(*scan.root, scan.facts.get(), options, token) || !writer.commit()) {
        outcome.status =
            writer.wasCancelled() ? SaveOutcome::Status::cancelled : SaveOutcome::Status::failed;
        outcome.error = writer.error();
        return outcome;
    }
    outcome.removed = prune();
    if (std::find(outcome.removed.begin(), outcome.removed.end(), path) != outcome.removed.end()) {
        outcome.error = QStringLiteral("%1: larger than the %2 bytes kept for the history")
                            .arg(DisplayText::fromBytes(path))
                            .arg(m_maxBytes);
        return outcome;
    }
    outcome.status = SaveOutcome::Status::saved;
    outcome.file = std::move(path);
    return outcome;
}

std::vector<ScanHistory::Kept> ScanHistory::keptFiles() const
{
    std::vector<Kept> kept;
    forEachName(m_folder, [&](std::string_view name) {
        const auto parsed = parseName(name);
        struct stat info;
        const std::string path = m_folder + '/' + std::string(name);
        if (parsed && ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            kept.push_back(
                {std::string(name), parsed->first, parsed->second, std::int64_t(info.st_size)});
    });
    // Newest first; the name breaks ties, so that every process orders them alike.
    std::sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) {
        return a.date != b.date ? a.date > b.date : a.name > b.name;
    });
    return kept;
}

std::vector<ScanHistory::Scan>
ScanHistory::readScans(const std::vector<Kept>& kept,
                       std::optional<std::string_view> rootPath) const
{
    const std::string key = rootPath ? keyOf(*rootPath) : std::string();
    std::vector<Scan> scans;
    for (const Kept& file : kept) {
        if (rootPath && file.key != key)
            continue;
        Scan scan;
        scan.file = m_folder + '/' + file.name;
        const NcduReader::Outcome header = NcduReader::readHeader(scan.file);
        if (header.status != NcduReader::Outcome::Status::completed || !header.totals)
            continue; // damaged, or not written by us
        if (rootPath && normalized(header.rootPath) != normalized(*rootPath))
            continue;
        scan.rootPath = header.rootPath;
        scan.scanDate = file.date;
        scan.totalSize = header.totals->size;
        scan.totalFiles = header.totals->files;
        scan.totalFolders = header.totals->folders;
        scan.bytesOnDisk = file.bytes;
        scans.push_back(std::move(scan));
    }
    return scans;
}

std::vector<ScanHistory::Scan> ScanHistory::scans() const
{
    return readScans(keptFiles(), std::nullopt);
}

std::vector<ScanHistory::Scan> ScanHistory::scansOf(std::string_view rootPath) const
{
    return readScans(keptFiles(), rootPath);
}

std::optional<ScanHistory::Scan> ScanHistory::previous(std::string_view rootPath,
                                                       std::int64_t before) const
{
    for (Scan& scan : scansOf(rootPath))
        if (scan.scanDate < before)
            return std::move(scan);
    return std::nullopt;
}

std::vector<std::string> ScanHistory::prune() const
{
    std::vector<std::string> removed;
    const auto remove = [&](const std::string& name) {
        const std::string path = m_folder + '/' + name;
        if (::unlink(path.c_str()) == 0)
            removed.push_back(path);
    };
    std::vector<Kept> kept = keptFiles();
    std::map<std::string, int> perFolder;
    std::vector<Kept> left;
    for (Kept& file : kept) {
        if (++perFolder[file.key] > m_scansPerFolder)
            remove(file.name);
        else
            left.push_back(std::move(file));
    }
    std::int64_t total = 0;
    for (const Kept& file : left)
        total += file.bytes;
    for (auto oldest = left.rbegin(); oldest != left.rend() && total > m_maxBytes; ++oldest) {
        remove(oldest->name);
        total -= oldest->bytes;
    }

    const std::time_t now = std::time(nullptr);
    forEachName(m_folder, [&](std::string_view name) {
        struct stat info;
        const std::string path = m_folder + '/' + std::string(name);
        if (isPart(name) && ::lstat(path.c_str(), &info) == 0 &&
            now - info.st_mtime > kStalePartSeconds)
            ::unlink(path.c_str());
    });
    return removed;
}

ScanHistory::RemoveOutcome ScanHistory::removeAll() const
{
    RemoveOutcome outcome;
    std::vector<std::string> names;
    forEachName(m_folder, [&](std::string_view name) {
        if (parseName(name) || isPart(name))
            names.emplace_back(name);
    });
    for (const std::string& name : names) {
        const std::string path = m_folder + '/' + name;
        if (::unlink(path.c_str()) == 0)
            ++outcome.removed;
        else if (errno != ENOENT && outcome.error.isEmpty())
            outcome.error = failure(path, errno);
    }
    ::rmdir(m_folder.c_str()); // kept when something else lives there
    return outcome;
}

} // namespace plenvo
