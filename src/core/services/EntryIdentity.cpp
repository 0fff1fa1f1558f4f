#include "EntryIdentity.h"

#include "models/FileNode.h"
#include "models/NodeFacts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace plenvo {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// What an error while reaching the entry means: gone from there, or unknown.
EntryIdentity::Check fromError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: // a folder on the way is no folder now
    case ELOOP:   // a folder on the way is a symbolic link now
        return EntryIdentity::Check::changed;
    default:
        return EntryIdentity::Check::unverifiable;
    }
}

} // namespace

EntryIdentity EntryIdentity::of(const FileNode& node, const NodeFacts* facts)
{
    EntryIdentity identity;
    identity.id.inode = node.inode();
    identity.isDirectory = node.isDirectory();
    const FileNode* top = &node;
    for (const FileNode* n = &node; n; n = n->parent()) {
        if (!identity.hasDevice && facts) {
            const NodeFacts::Facts* f = facts->find(n->id());
            if (f && f->hasDevice) {
                identity.hasDevice = true;
                identity.id.device = f->device;
            }
        }
        if (n->parent())
            identity.names.emplace_back(n->nameBytes());
        top = n;
    }
    std::reverse(identity.names.begin(), identity.names.end());
    identity.root = top->pathBytes();
    return identity;
}

std::string EntryIdentity::path() const
{
    std::string path = root;
    for (const std::string& name : names) {
        if (path.empty() || path.back() != '/')
            path.push_back('/');
        path += name;
    }
    return path;
}

EntryIdentity::Check EntryIdentity::check() const
{
    if (id.inode == 0 || root.empty())
        return Check::unverifiable; // nothing to compare with
    struct stat st;
    if (names.empty()) {
        if (::stat(root.c_str(), &st) != 0) // the scanned location: followed, as the scan did
            return fromError(errno);
    } else {
        Descriptor folder(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (folder.get() < 0)
            return fromError(errno);
        for (std::size_t i = 0; i + 1 < names.size(); ++i) {
            const int next = ::openat(folder.get(), names[i].c_str(),
                                      O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (next < 0)
                return fromError(errno);
            folder.reset(next);
        }
        if (::fstatat(folder.get(), names.back().c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return fromError(errno);
    }
    const bool sameDevice = !hasDevice || std::uint64_t(st.st_dev) == id.device;
    const bool same =
        sameDevice && std::uint64_t(st.st_ino) == id.inode && S_ISDIR(st.st_mode) == isDirectory;
    return same ? Check::same : Check::changed;
}

} // namespace plenvo
