#include "FolderReadAhead.h"

#include "DirectoryListing.h"
#include "FileExistenceIndex.h"
#include "models/NodeArena.h"

#include <unistd.h>

#include <cerrno>
#include <thread>
#include <new>

namespace plenvo {

std::shared_ptr<FolderReadAhead> FolderReadAhead::start(const std::string& rootPath,
                                                        const EntryAttributes& root, int threads,
                                                        Settings settings)
{
    const int fd = ::open(rootPath.c_str(), EntryAttributes::kOpenRootFlags);
    if (fd >= 0 && !root.isOpenAs(fd)) {
        ::close(fd);
        return nullptr;
    }
    if (fd < 0)
        return nullptr;
    return std::shared_ptr<FolderReadAhead>(new FolderReadAhead(fd, threads, std::move(settings)));
}

FolderReadAhead::FolderReadAhead(int rootFd, int threads, Settings settings)
    : m_rootFd(rootFd), m_settings(std::move(settings)), m_workers(threads)
{
}

FolderReadAhead::~FolderReadAhead()
{
    m_workers.close();
    ::close(m_rootFd);
}

void FolderReadAhead::schedule(std::vector<Pending>& subfolders, const EntryAttributes& parent,
                               std::string_view location)
{
    std::vector<ScanWorkers::Task> tasks;
    for (Pending& folder : subfolders) {
        if (!canReadAhead(folder.attributes, parent) ||
            location.size() + folder.name.size() + 1 > kMaxLocation)
            continue;
        std::string path =
            location.empty() ? folder.name : std::string(location) + '/' + folder.name;
        folder.ahead = std::make_shared<Folder>(std::move(path), folder.attributes);
        tasks.push_back([self = shared_from_this(), ahead = folder.ahead](NodeArena& arena) {
            self->takeWhenRoom(*ahead, arena);
        });
    }
    m_workers.pushFront(std::move(tasks));
}

bool FolderReadAhead::await(Folder& folder, NodeArena& arena)
{
    if (folder.state.load(std::memory_order_acquire) == Folder::done)
        return true;
    m_awaited.store(&folder, std::memory_order_seq_cst);
    for (;;) {
        if (interrupted())
            return false;
        if (m_ahead.load(std::memory_order_relaxed) > kMaxAhead &&
            folder.state.load(std::memory_order_acquire) == Folder::queued)
            take(folder, arena);
        const std::uint64_t ticket = m_workers.progressTicket();
        if (folder.state.load(std::memory_order_seq_cst) == Folder::done)
            return true;
        m_workers.waitForProgress(ticket, std::chrono::milliseconds(20));
    }
}

bool FolderReadAhead::settle(Folder& folder, std::chrono::steady_clock::time_point deadline)
{
    m_awaited.store(&folder, std::memory_order_seq_cst);
    for (;;) {
        const std::uint64_t ticket = m_workers.progressTicket();
        const int state = folder.state.load(std::memory_order_seq_cst);
        if (state != Folder::running)
            return state == Folder::done;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        m_workers.waitForProgress(
            ticket, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                        std::chrono::milliseconds(1));
    }
}

void FolderReadAhead::finish()
{
    // Helpers end at their next entry; one stuck in the kernel is left to end alone.
    m_workers.close();
    m_workers.waitForExit(std::chrono::milliseconds(20));
}

void FolderReadAhead::takeWhenRoom(Folder& folder, NodeArena& arena)
{
    while (m_ahead.load(std::memory_order_relaxed) > kMaxAhead && !interrupted() &&
           folder.state.load(std::memory_order_acquire) == Folder::queued)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    take(folder, arena);
}

void FolderReadAhead::take(Folder& folder, NodeArena& arena)
{
    int expected = Folder::queued;
    if (!folder.state.compare_exchange_strong(expected, Folder::running,
                                              std::memory_order_acquire))
        return;
    try {
        read(folder, arena);
    } catch (const std::bad_alloc&) {
        folder.outOfMemory = true; // the walk fails as it would have itself
    }
    folder.state.store(Folder::done, std::memory_order_seq_cst);
    // Only the walk waits, for one folder at a time.
    if (m_awaited.load(std::memory_order_seq_cst) == &folder)
        m_workers.notifyProgress();
}

void FolderReadAhead::read(Folder& p, NodeArena& arena)
{
    if (interrupted()) {
        p.interrupted = true;
        return;
    }
    const int fd = ::openat(m_rootFd, p.relativePath.c_str(), EntryAttributes::kOpenFolderFlags);
    if (fd < 0) {
        // The walk tells from the parent what the entry is now, except after a failure that
        // says nothing about the entry itself.
        if (errno != ENAMETOOLONG && errno != EMFILE && errno != ENFILE && errno != ELOOP) {
            p.openFailed = true;
            p.again = EntryAttributes::read(m_rootFd, p.relativePath.c_str());
        }
        return;
    }
    if (!p.attributes.isOpenAs(fd)) {
        ::close(fd); // another folder is there now: the walk sees to it from the parent
        return;
    }
    p.opened = true;
    if (m_settings.beforeListing)
        m_settings.beforeListing(lastComponent(p.relativePath));
    thread_local DirectoryListing listing;
    std::uint32_t count = 0;
    p.readError = !listing.forEach(fd, [&](const char* name) {
        if ((++count & 255) == 0 && interrupted()) {
            p.interrupted = true;
            return false;
        }
        const EntryAttributes a = EntryAttributes::read(fd, name);
        if (isLeftOut(m_settings.leftOut, a))
            return true;
        if (a.isDirectory) {
            p.subfolders.push_back({std::string(name), a, nullptr});
            return true;
        }
        NodeRef node = FileNode::create(name, {}, false, a.known ? a.size : 0, a.modified,
                                        a.created, {}, &arena);
        if (a.known)
            node->setInode(a.inode);
        if (!a.known || !a.isRegular || a.links > 1)
            p.specials.push_back({std::uint32_t(p.files.size()), a});
        p.files.push_back(std::move(node));
        p.nameHashes.push_back(FileExistenceIndex::hashName(name));
        return true;
    });
    ::close(fd);
    p.entries = std::int64_t(p.files.size() + p.subfolders.size());
    m_ahead.fetch_add(p.entries, std::memory_order_relaxed);
    if (!p.interrupted)
        schedule(p.subfolders, p.attributes, p.relativePath);
}

} // namespace plenvo
