#include "GioTrash.h"

#include <gio/gio.h>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <ctime>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

namespace plenvo {

namespace {

struct TrashFolder {
    std::string path;   // the Trash itself (holding files/ and info/)
    std::string topdir; // the mount top original paths are relative to; empty for the home Trash
};

std::int64_t now()
{
    return std::int64_t(std::time(nullptr));
}

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The highest folder above `path` on the same device: where a per-mount Trash lives.
std::string mountTopOf(const std::string& path)
{
    std::string top = parentOf(path);
    struct stat st;
    if (::stat(top.c_str(), &st) != 0)
        return {};
    const dev_t device = st.st_dev;
    while (top != "/") {
        const std::string up = parentOf(top);
        if (::stat(up.c_str(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return top;
}

std::vector<TrashFolder> trashFoldersFor(const std::string& path)
{
    std::vector<TrashFolder> folders{{std::string(g_get_user_data_dir()) + "/Trash", {}}};
    const std::string top = mountTopOf(path);
    if (!top.empty()) {
        const std::string base = top == "/" ? std::string() : top;
        const std::string uid = std::to_string(::getuid());
        folders.push_back({base + "/.Trash/" + uid, top});
        folders.push_back({base + "/.Trash-" + uid, top});
    }
    return folders;
}

struct TrashInfo {
    std::string originalPath;
    std::optional<std::int64_t> deletionDate; // seconds since the Unix epoch
};

// The original path and the deletion date of an info file; nothing when it is not one.
std::optional<TrashInfo> readInfo(const std::string& file, const std::string& topdir)
{
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line) || line != "[Trash Info]")
        return std::nullopt;
    TrashInfo info;
    bool hasPath = false;
    while (std::getline(in, line)) {
        if (line.rfind("Path=", 0) == 0) {
            char* raw = g_uri_unescape_string(line.c_str() + 5, nullptr);
            if (!raw)
                return std::nullopt;
            info.originalPath = raw;
            g_free(raw);
            if (!info.originalPath.empty() && info.originalPath.front() != '/') {
                if (topdir.empty())
                    return std::nullopt; // the home Trash records absolute paths only
                info.originalPath = (topdir == "/" ? std::string() : topdir) + "/" +
                                    info.originalPath;
            }
            hasPath = true;
        } else if (line.rfind("DeletionDate=", 0) == 0) {
            std::tm tm{};
            const char* end = ::strptime(line.c_str() + 13, "%Y-%m-%dT%H:%M:%S", &tm);
            if (end) {
                tm.tm_isdst = -1; // local time, as written
                info.deletionDate = std::int64_t(std::mktime(&tm));
            }
        }
    }
    if (!hasPath)
        return std::nullopt;
    return info;
}

struct Found {
    std::string trashed; // files/NAME
    std::string info;    // info/NAME.trashinfo
    std::int64_t date = 0;
};

std::optional<Found> findTrashed(const EntryIdentity& item, const Trash::Ticket& ticket,
                                 std::string_view prefix)
{
    const std::string original = item.path();
    std::optional<Found> best;
    for (const TrashFolder& folder : trashFoldersFor(original)) {
        DIR* dir = ::opendir((folder.path + "/info").c_str());
        if (!dir)
            continue;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            constexpr std::string_view suffix = ".trashinfo";
            if (name.size() <= suffix.size() || !name.ends_with(suffix) ||
                !name.starts_with(prefix))
                continue;
            const std::string infoFile = folder.path + "/info/" + std::string(name);
            const std::optional<TrashInfo> info = readInfo(infoFile, folder.topdir);
            if (!info || info->originalPath != original || !info->deletionDate)
                continue;
            // Dates are written to the second: allow one either side of the move.
            if (*info->deletionDate < ticket.movedAfter - 1 ||
                *info->deletionDate > ticket.movedBefore + 1)
                continue;
            const std::string trashed =
                folder.path + "/files/" + std::string(name.substr(0, name.size() - suffix.size()));
            struct stat st;
            if (::lstat(trashed.c_str(), &st) != 0)
                continue;
            if (ticket.inode != 0 && std::uint64_t(st.st_ino) != ticket.inode)
                continue;
            if (!best || *info->deletionDate >= best->date)
                best = Found{trashed, infoFile, *info->deletionDate};
        }
        ::closedir(dir);
    }
    return best;
}

std::optional<Found> findTrashed(const EntryIdentity& item, const Trash::Ticket& ticket)
{
    // The Trash names an entry after the original, numbered when the name is taken
    // ("report.txt", "report.2.txt"): names that begin as the original's are read first.
    const std::string original = item.path();
    const std::string_view base = std::string_view(original).substr(original.rfind('/') + 1);
    const std::string_view stem = base.substr(0, std::min(base.find('.', 1), base.size()));
    if (std::optional<Found> found = findTrashed(item, ticket, stem))
        return found;
    return stem.empty() ? std::nullopt : findTrashed(item, ticket, {});
}

} // namespace

Trash::Moved GioTrash::moveToTrash(const EntryIdentity& item)
{
    const std::string path = item.path();
    if (path.empty() || path.front() != '/')
        return {}; // only absolute locations: never resolve against the working folder
    switch (item.check()) {
    case EntryIdentity::Check::same:
        break;
    case EntryIdentity::Check::changed:
        return {MoveStatus::changed, {}};
    case EntryIdentity::Check::unverifiable:
        return {};
    }
    Moved result;
    result.ticket.inode = item.id.inode;
    result.ticket.movedAfter = now();
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error);
    g_clear_error(&error);
    g_object_unref(file);
    result.ticket.movedBefore = now();
    result.status = moved ? MoveStatus::moved : MoveStatus::refused;
    return result;
}

Trash::RestoreStatus GioTrash::restore(const EntryIdentity& item, const Ticket& ticket)
{
    const std::optional<Found> found = findTrashed(item, ticket);
    if (!found)
        return RestoreStatus::notInTrash;
    const std::string original = item.path();
    // Atomic, and never over an entry that took the place meanwhile.
    if (::renameat2(AT_FDCWD, found->trashed.c_str(), AT_FDCWD, original.c_str(),
                    RENAME_NOREPLACE) != 0)
        return errno == EEXIST ? RestoreStatus::taken : RestoreStatus::failed;
    ::unlink(found->info.c_str());
    return RestoreStatus::restored;
}

} // namespace plenvo
