#include "DiskScanner.h"

#include "DirectoryListing.h"
#include "MountTable.h"
#include "ScanWorkers.h"
#include "models/DeviceInode.h"
#include "models/NodeArena.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <new>
#include <unordered_set>
#include <vector>

namespace plenvo {

namespace {

constexpr unsigned kStatxMask = STATX_BASIC_STATS | STATX_BTIME;
constexpr int kStatxFlags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_SYNC_AS_STAT;
constexpr int kOpenDirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// The scanned location itself may be a link to the folder to scan.
constexpr int kOpenRootFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// The attributes the scanner keeps of one entry.
struct Attributes {
    bool known = false;
    bool isDirectory = false;
    bool isRegular = false;
    std::int64_t size = 0;
    FileNode::Timestamp modified;
    FileNode::Timestamp created;
    std::uint32_t devMajor = 0;
    std::uint32_t devMinor = 0;
    std::uint64_t inode = 0;
    std::uint32_t links = 1;
    bool mountRoot = false; // the root of a mount (bind mounts included)

    bool sameDevice(const Attributes& other) const
    {
        return devMajor == other.devMajor && devMinor == other.devMinor;
    }
    std::uint64_t device() const { return makedev(devMajor, devMinor); }
    bool sameEntry(const Attributes& other) const
    {
        return inode == other.inode && sameDevice(other);
    }
};

DeviceInode keyOf(const Attributes& a)
{
    return {(std::uint64_t(a.devMajor) << 32) | a.devMinor, a.inode};
}

std::int64_t toMillis(const struct statx_timestamp& t)
{
    return std::int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

Attributes readAttributes(int dirFd, const char* name, bool followLink = false)
{
    struct statx sx;
    Attributes a;
    // Following a link reads what it points to; a dangling link is read as itself.
    const bool read = (followLink && statx(dirFd, name, kStatxFlags & ~AT_SYMLINK_NOFOLLOW,
                                           kStatxMask, &sx) == 0) ||
                      statx(dirFd, name, kStatxFlags, kStatxMask, &sx) == 0;
    if (!read)
        return a;
    a.known = true;
    a.isDirectory = (sx.stx_mask & STATX_TYPE) && S_ISDIR(sx.stx_mode);
    a.isRegular = (sx.stx_mask & STATX_TYPE) && S_ISREG(sx.stx_mode);
    // Allocated size when known, else the logical size, else 0.
    if (sx.stx_mask & STATX_BLOCKS)
        a.size = std::int64_t(sx.stx_blocks) * 512;
    else if (sx.stx_mask & STATX_SIZE)
        a.size = std::int64_t(sx.stx_size);
    if (sx.stx_mask & STATX_MTIME)
        a.modified = toMillis(sx.stx_mtime);
    if ((sx.stx_mask & STATX_BTIME) && (sx.stx_btime.tv_sec != 0 || sx.stx_btime.tv_nsec != 0))
        a.created = toMillis(sx.stx_btime);
    a.devMajor = sx.stx_dev_major;
    a.devMinor = sx.stx_dev_minor;
    a.inode = sx.stx_ino;
    if (sx.stx_mask & STATX_NLINK)
        a.links = sx.stx_nlink;
    a.mountRoot = (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                  (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    return a;
}

std::string_view lastComponent(std::string_view path)
{
    if (path.empty())
        return path;
    if (path.find_first_not_of('/') == std::string_view::npos)
        return "/";
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Whether the block device `major:minor` (or the disk it is a partition of) turns: seeking
// there costs more than reading in parallel gains. A virtual disk says it turns whatever stores
// it (virtio and Xen disks do by default), and reading one in parallel was measured faster,
// cold and warm: its word is not taken.
bool isRotational(std::uint32_t major, std::uint32_t minor)
{
    const std::string device =
        "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    for (const char* disk : {"", "/.."}) {
        char driver[256];
        const ssize_t length =
            ::readlink((device + disk + "/device/driver").c_str(), driver, sizeof driver - 1);
        if (length > 0) {
            const std::string_view name = lastComponent(std::string_view(driver, length));
            if (name == "virtio_blk" || name == "vbd" || name == "xen_blkfront")
                return false;
        }
        if (FILE* file = std::fopen((device + disk + "/queue/rotational").c_str(), "re")) {
            int value = 0;
            const bool read = std::fscanf(file, "%d", &value) == 1;
            std::fclose(file);
            if (read)
                return value == 1;
        }
    }
    return false; // not a block device (tmpfs, a network file system ...), or not known
}

// The threads to walk with: as asked, else one per processor (at most 16), one on a disk that
// turns.
int threadsFor(int asked, const Attributes& root)
{
    if (asked > 0)
        return std::min(asked, DiskScanner::kMaxThreads);
    if (isRotational(root.devMajor, root.devMinor))
        return 1;
    const long processors = ::sysconf(_SC_NPROCESSORS_ONLN);
    return int(std::clamp<long>(processors, 1, 16));
}

// Folders are read ahead by name from the scanned folder only while their location below it is
// this short; deeper ones are read by the walk itself, relative to their parent.
constexpr std::size_t kMaxPrefetchPath = 3072;

bool isLeftOut(const std::optional<DeviceInode>& out, const Attributes& a)
{
    return out && a.known && a.inode == out->inode && a.device() == out->device;
}

// A subfolder below the same file system, and not the root of a mount, is entered whatever was
// met before: only these are read ahead, so what is read ahead never depends on the order of
// the walk.
bool canReadAhead(const Attributes& folder, const Attributes& parent)
{
    return folder.sameDevice(parent) && !folder.mountRoot;
}

struct Prefetch;

// A subfolder met in a listing, to be entered later.
struct PendingFolder {
    std::string name;
    Attributes attributes;
    std::shared_ptr<Prefetch> prefetch; // when it is read ahead
};

// A file of a listing that needs more than its node: another name of a file with several, an
// entry that is not a regular file, or one whose attributes could not be read.
struct SpecialFile {
    std::uint32_t index;
    Attributes attributes;
};

// The reading of one folder ahead of the walk, by a helping thread or by the walk itself.
struct Prefetch {
    enum State : int { queued, running, done };

    Prefetch(std::string location, const Attributes& folder)
        : relativePath(std::move(location)), attributes(folder)
    {
    }

    std::atomic<int> state{queued};
    const std::string relativePath; // below the scanned folder
    const Attributes attributes;    // as its parent's listing found it

    // What the reading found; read by the walk once `state` is done.
    bool opened = false;     // otherwise, the walk enters the folder itself
    bool openFailed = false; // it cannot be opened: `again` is what it is now
    Attributes again;
    bool readError = false;
    bool interrupted = false; // a stop or a cancellation cut the listing short
    bool outOfMemory = false; // the walk fails as it would have itself
    std::vector<NodeRef> files;
    std::vector<std::uint32_t> nameHashes;
    std::vector<SpecialFile> specials;
    std::vector<PendingFolder> subfolders;
};

// What reading ahead needs, shared by the walk and the helping threads, which may outlive it.
struct PrefetchContext {
    ~PrefetchContext()
    {
        if (rootFd >= 0)
            ::close(rootFd);
    }
    int rootFd = -1;
    DiskScanner::ListingHook beforeListing;
    std::optional<DeviceInode> leftOut;
    CancellationToken token;
    CancellationToken stop;
    std::weak_ptr<ScanWorkers> workers;

    bool interrupted() const { return token.isCancelled() || stop.isCancelled(); }

    std::vector<ScanWorkers::Task> tasksFor(std::vector<PendingFolder>& subfolders,
                                            const Attributes& parent, std::string_view location)
    {
        std::vector<ScanWorkers::Task> tasks;
        for (PendingFolder& folder : subfolders) {
            if (!canReadAhead(folder.attributes, parent) ||
                location.size() + folder.name.size() + 1 > kMaxPrefetchPath)
                continue;
            std::string path = location.empty() ? folder.name
                                                : std::string(location) + '/' + folder.name;
            folder.prefetch = std::make_shared<Prefetch>(std::move(path), folder.attributes);
            tasks.push_back([context = this->shared(), prefetch = folder.prefetch](
                                NodeArena& arena) { context->take(*prefetch, arena); });
        }
        return tasks;
    }
    void schedule(std::vector<PendingFolder>& subfolders, const Attributes& parent,
                  std::string_view location)
    {
        std::vector<ScanWorkers::Task> tasks = tasksFor(subfolders, parent, location);
        if (tasks.empty())
            return;
        if (const auto pool = workers.lock())
            pool->pushFront(std::move(tasks));
    }

    // Reads `prefetch` unless another thread took it first; true when this call read it.
    bool take(Prefetch& prefetch, NodeArena& arena)
    {
        int expected = Prefetch::queued;
        if (!prefetch.state.compare_exchange_strong(expected, Prefetch::running,
                                                    std::memory_order_acquire))
            return false;
        try {
            read(prefetch, arena);
        } catch (const std::bad_alloc&) {
            prefetch.outOfMemory = true;
        }
        prefetch.state.store(Prefetch::done, std::memory_order_seq_cst);
        // Only the walk waits, for one folder at a time.
        if (awaited.load(std::memory_order_seq_cst) == &prefetch)
            if (const auto pool = workers.lock())
                pool->notifyProgress();
        return true;
    }

    std::shared_ptr<PrefetchContext> shared();
    std::weak_ptr<PrefetchContext> self;
    std::atomic<const Prefetch*> awaited{nullptr}; // the folder the walk waits for

private:
    void read(Prefetch& p, NodeArena& arena)
    {
        if (interrupted()) {
            p.interrupted = true;
            return;
        }
        const int fd = ::openat(rootFd, p.relativePath.c_str(), kOpenDirFlags);
        if (fd < 0) {
            // The walk tells again from the parent what the entry is now, except for a
            // failure that says nothing about the entry itself.
            if (errno != ENAMETOOLONG && errno != EMFILE && errno != ENFILE && errno != ELOOP) {
                p.openFailed = true;
                p.again = readAttributes(rootFd, p.relativePath.c_str());
            }
            return;
        }
        struct statx sx;
        if (statx(fd, "", AT_EMPTY_PATH, STATX_INO, &sx) != 0 ||
            sx.stx_ino != p.attributes.inode || sx.stx_dev_major != p.attributes.devMajor ||
            sx.stx_dev_minor != p.attributes.devMinor) {
            ::close(fd); // another folder is there now: the walk sees to it from the parent
            return;
        }
        p.opened = true;
        if (beforeListing)
            beforeListing(lastComponent(p.relativePath));
        thread_local DirectoryListing listing;
        std::uint32_t count = 0;
        p.readError = !listing.forEach(fd, [&](const char* name) {
            if ((++count & 255) == 0 && interrupted()) {
                p.interrupted = true;
                return false;
            }
            const Attributes a = readAttributes(fd, name);
            if (isLeftOut(leftOut, a))
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
        if (!p.interrupted)
            schedule(p.subfolders, p.attributes, p.relativePath);
    }
};

std::shared_ptr<PrefetchContext> PrefetchContext::shared()
{
    return self.lock();
}

} // namespace

// One recursive walk. Folders are processed with an explicit stack, so neither the call stack
// nor the number of open descriptors grows with the depth of the tree: a folder's descriptor
// is closed as soon as its last subfolder has been opened, and when too many are open the
// shallowest is closed and later reopened by name from its nearest open ancestor.
class DiskScanner::Walk {
public:
    Walk(const Settings& settings, std::string_view path, const ProgressHandler& progress,
         const CancellationToken& token, const CancellationToken& stop)
        : m_settings(settings), m_progress(progress), m_token(token), m_stop(stop),
          m_mounts(settings.mountInfo)
    {
        m_rootPath.assign(path);
        while (m_rootPath.size() > 1 && m_rootPath.back() == '/')
            m_rootPath.pop_back();
    }

    ~Walk()
    {
        for (Frame& frame : m_stack)
            closeFrame(frame);
        if (m_workers) {
            // They end at their next entry; one stuck in the kernel is left to end alone.
            m_workers->close();
            m_workers->waitForExit(std::chrono::milliseconds(20));
        }
    }

    Outcome run();
    int threads() const { return m_threads; }
    std::int64_t filesScanned() const { return m_filesScanned; }

private:
    struct Frame {
        std::string name;
        std::uint32_t folder = FileExistenceIndex::kNoParent; // in the existence index
        int fd = -1;
        Attributes attributes;
        std::vector<NodeRef> children;
        std::vector<PendingFolder> subfolders;
        std::size_t nextSubfolder = 0;
        // Its location below the scanned folder, kept while it is short enough for its
        // subfolders to be read ahead.
        std::string relativePath;
        bool readAhead = true;
        // What the writer of an export needs: see NodeFacts.
        bool newDevice = false; // the scanned folder, or another file system than its parent's
        bool readError = false;
        bool incomplete = false; // not read to the end (a stopped scan)
        NodeFacts::Exclusion exclusion = NodeFacts::Exclusion::none;
    };

    NodeRef makeFile(std::string_view name, const Attributes& a, std::string_view path = {})
    {
        NodeRef node = FileNode::create(name, path, false, a.known ? a.size : 0, a.modified,
                                        a.created, {}, &m_arena);
        if (a.known)
            node->setInode(a.inode);
        recordFile(*node, a);
        return node;
    }
    // Counts a file met in the order of the walk, whoever made its node.
    void recordFile(FileNode& node, const Attributes& a)
    {
        ++m_filesScanned;
        // Another name of a file met before: its space is counted there.
        if (a.known && a.links > 1 && !m_linkedFiles.insert(keyOf(a)).second)
            node.setFileSize(0);
        if (!a.known || !a.isRegular || a.links > 1) {
            NodeFacts::Facts& facts = m_facts->edit(node.id());
            facts.readError = !a.known;
            facts.notRegular = a.known && !a.isRegular;
            if (a.known && a.links > 1) {
                facts.hardLinked = facts.hasDevice = true;
                facts.device = a.device();
                facts.inode = a.inode;
                facts.linkCount = a.links;
            }
        }
    }
    NodeRef makeFolder(Frame& frame, std::string_view path = {})
    {
        // The folder's own blocks, as du counts them; none for a folder not entered (met
        // before, or a kernel pseudo file system).
        const bool counted =
            frame.attributes.known && frame.exclusion == NodeFacts::Exclusion::none;
        NodeRef node = FileNode::create(frame.name, path, true,
                                        counted ? frame.attributes.size : 0,
                                        frame.attributes.modified, frame.attributes.created,
                                        std::move(frame.children), &m_arena);
        node->setInode(frame.attributes.inode);
        node->setIncomplete(frame.incomplete);
        if (frame.newDevice || frame.readError || frame.exclusion != NodeFacts::Exclusion::none) {
            NodeFacts::Facts& facts = m_facts->edit(node->id());
            facts.hasDevice = frame.newDevice;
            facts.device = frame.attributes.device();
            facts.readError = frame.readError;
            facts.exclusion = frame.exclusion;
        }
        return node;
    }

    void reportProgress(std::string_view name);
    Outcome finished(NodeRef root)
    {
        m_index->compact();
        Outcome outcome{Outcome::Status::completed,
                        std::move(root),
                        std::move(m_index),
                        {},
                        std::move(m_facts)};
        return outcome;
    }
    bool cancelled() const { return m_token.isCancelled(); }
    bool stopped() const { return m_stop.isCancelled(); }
    Outcome keepWhatWasRead();
    void list(Frame& frame);
    void startHelpers(int threads);
    bool awaitPrefetch(Prefetch& prefetch);
    void enterPrefetched(Frame& parent, const PendingFolder& folder);
    NodeRef cannotOpen(const Frame& parent, const std::string& name, const Attributes& again);
    void closeFrame(Frame& frame)
    {
        if (frame.fd >= 0) {
            ::close(frame.fd);
            frame.fd = -1;
            --m_openCount;
        }
    }
    void limitOpenDescriptors();
    int reopen(std::size_t index);
    bool isRepeatedFolder(const Frame& parent, const Attributes& a);
    NodeRef visitSubfolder(std::size_t parentIndex, const PendingFolder& folder, bool& pushed);

    const Settings& m_settings;
    const ProgressHandler& m_progress;
    const CancellationToken& m_token;
    const CancellationToken& m_stop;
    MountTable m_mounts;
    NodeArena m_arena;
    std::shared_ptr<FileExistenceIndex> m_index = std::make_shared<FileExistenceIndex>();
    std::shared_ptr<NodeFacts> m_facts = std::make_shared<NodeFacts>();
    std::string m_rootPath;
    DirectoryListing m_listing;
    std::vector<Frame> m_stack;
    // Files with more than one name, and the roots of mounts (with the scanned folder): only
    // these can be met twice.
    std::unordered_set<DeviceInode, DeviceInodeHash> m_linkedFiles;
    std::unordered_set<DeviceInode, DeviceInodeHash> m_mountedFolders;
    std::int64_t m_filesScanned = 0;
    std::chrono::steady_clock::time_point m_lastReport{};
    bool m_reported = false;
    int m_openCount = 0;
    // Threads that read folders ahead of the walk, when it has them.
    std::shared_ptr<ScanWorkers> m_workers;
    std::shared_ptr<PrefetchContext> m_context;
    int m_threads = 1;
};

void DiskScanner::Walk::reportProgress(std::string_view name)
{
    const auto now = m_settings.clock ? m_settings.clock() : std::chrono::steady_clock::now();
    if (m_reported && now - m_lastReport <= kProgressInterval)
        return;
    m_reported = true;
    m_lastReport = now;
    if (m_progress)
        m_progress(ScanProgress::scanning(
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), m_filesScanned));
}

void DiskScanner::Walk::list(Frame& frame)
{
    // Entries are listed and their attributes read relative to the folder's descriptor.
    // Files become nodes at once; subfolders are remembered and entered afterwards. A listing
    // that fails part way keeps what was read.
    if (m_settings.beforeListing)
        m_settings.beforeListing(frame.name);
    std::uint32_t read = 0;
    frame.readError = !m_listing.forEach(frame.fd, [&](const char* name) {
        // A large folder takes long to read: a stop or a cancellation is heard within it too.
        if ((++read & 255) == 0 && (cancelled() || stopped())) {
            frame.incomplete = true;
            return false;
        }
        const Attributes a = readAttributes(frame.fd, name);
        if (isLeftOut(m_settings.leftOut, a))
            return true;
        if (a.isDirectory) {
            frame.subfolders.push_back({std::string(name), a, nullptr});
        } else {
            frame.children.push_back(makeFile(name, a));
            m_index->addFile(frame.folder, name);
        }
        return true;
    });
    if (m_context && frame.readAhead && !frame.incomplete)
        m_context->schedule(frame.subfolders, frame.attributes, frame.relativePath);
}

void DiskScanner::Walk::startHelpers(int threads)
{
    m_threads = 1;
    if (threads < 2)
        return;
    auto context = std::make_shared<PrefetchContext>();
    context->self = context;
    // Folders are read ahead by their location below the scanned folder, reached from a
    // descriptor of it that must be the folder the walk reads.
    context->rootFd = ::open(m_rootPath.c_str(), kOpenRootFlags);
    struct statx sx;
    const Attributes& root = m_stack.front().attributes;
    if (context->rootFd < 0 || statx(context->rootFd, "", AT_EMPTY_PATH, STATX_INO, &sx) != 0 ||
        sx.stx_ino != root.inode || sx.stx_dev_major != root.devMajor ||
        sx.stx_dev_minor != root.devMinor)
        return;
    context->beforeListing = m_settings.beforeListing;
    context->leftOut = m_settings.leftOut;
    context->token = m_token;
    context->stop = m_stop;
    m_workers = std::make_shared<ScanWorkers>(threads);
    context->workers = m_workers;
    m_context = std::move(context);
    m_threads = threads;
}

bool DiskScanner::Walk::awaitPrefetch(Prefetch& prefetch)
{
    // The walk itself reads nothing ahead: it waits, so that a stop or a cancellation is heard
    // at once even while a helper is stuck on a mount that stopped answering.
    if (prefetch.state.load(std::memory_order_acquire) == Prefetch::done)
        return true;
    m_context->awaited.store(&prefetch, std::memory_order_seq_cst);
    for (;;) {
        if (cancelled() || stopped())
            return false;
        const std::uint64_t ticket = m_workers->progressTicket();
        if (prefetch.state.load(std::memory_order_seq_cst) == Prefetch::done)
            return true;
        m_workers->waitForProgress(ticket, std::chrono::milliseconds(20));
    }
}

void DiskScanner::Walk::enterPrefetched(Frame& parent, const PendingFolder& folder)
{
    Prefetch& ahead = *folder.prefetch;
    if (parent.nextSubfolder == parent.subfolders.size())
        closeFrame(parent);
    Frame frame;
    frame.name = folder.name;
    frame.folder = m_index->addFolder(parent.folder, folder.name);
    frame.attributes = folder.attributes;
    frame.relativePath = ahead.relativePath;
    frame.readError = ahead.readError;
    frame.incomplete = ahead.interrupted;
    frame.children.reserve(ahead.files.size() + ahead.subfolders.size());
    auto special = ahead.specials.begin();
    for (std::size_t i = 0; i < ahead.files.size(); ++i) {
        if (special != ahead.specials.end() && special->index == i)
            recordFile(*ahead.files[i], (special++)->attributes);
        else
            ++m_filesScanned;
        frame.children.push_back(std::move(ahead.files[i]));
        m_index->addFileHash(frame.folder, ahead.nameHashes[i]);
    }
    frame.subfolders = std::move(ahead.subfolders);
    m_stack.push_back(std::move(frame));
    reportProgress(m_stack.back().name);
}

NodeRef DiskScanner::Walk::cannotOpen(const Frame& parent, const std::string& name,
                                      const Attributes& again)
{
    // Gone or unreadable means a file of size 0, no longer a folder means a file, still a
    // folder means one that cannot be listed (empty).
    if (!again.isDirectory) {
        NodeRef file = makeFile(name, again);
        m_index->addFile(parent.folder, name);
        reportProgress(name);
        return file;
    }
    Frame empty;
    empty.name = name;
    empty.attributes = again;
    empty.newDevice = !again.sameDevice(parent.attributes);
    empty.readError = true;
    reportProgress(name);
    return makeFolder(empty);
}

void DiskScanner::Walk::limitOpenDescriptors()
{
    const int limit = std::max(2, m_settings.maxOpenDirectories);
    // Close the shallowest first, never the two deepest frames (the folder being worked on
    // and its parent).
    for (std::size_t i = 0; m_openCount > limit && i + 2 < m_stack.size(); ++i)
        closeFrame(m_stack[i]);
}

int DiskScanner::Walk::reopen(std::size_t index)
{
    // Descend by name from the nearest ancestor that is still open (or from the root's
    // location), checking that every step reaches the folder that was listed before. Folders
    // on the way that still have subfolders to open keep their descriptor.
    std::size_t start = index;
    while (start > 0 && m_stack[start - 1].fd < 0)
        --start;
    int current = start > 0 ? m_stack[start - 1].fd : AT_FDCWD;
    bool owned = true; // whether `current` belongs to a frame
    for (std::size_t i = start; i <= index; ++i) {
        Frame& frame = m_stack[i];
        const int next = i == 0 ? ::open(m_rootPath.c_str(), kOpenRootFlags)
                                : ::openat(current, frame.name.c_str(), kOpenDirFlags);
        if (!owned)
            ::close(current);
        if (next < 0)
            return -1;
        struct statx sx;
        const Attributes& expected = frame.attributes;
        if (statx(next, "", AT_EMPTY_PATH, STATX_INO, &sx) != 0 || sx.stx_ino != expected.inode ||
            sx.stx_dev_major != expected.devMajor || sx.stx_dev_minor != expected.devMinor) {
            ::close(next);
            return -1;
        }
        current = next;
        owned = i == index || frame.nextSubfolder < frame.subfolders.size();
        if (owned) {
            frame.fd = next;
            ++m_openCount;
        }
    }
    limitOpenDescriptors();
    return m_stack[index].fd;
}

bool DiskScanner::Walk::isRepeatedFolder(const Frame& parent, const Attributes& a)
{
    // Only the root of a mount can show a folder met before: a bind mount of a folder below
    // itself shows one of its ancestors, a second mount of the same folder one recorded here.
    if (a.sameDevice(parent.attributes) && !a.mountRoot)
        return false;
    if (std::any_of(m_stack.begin(), m_stack.end(),
                    [&](const Frame& f) { return f.attributes.sameEntry(a); }))
        return true;
    return !m_mountedFolders.insert(keyOf(a)).second;
}

NodeRef DiskScanner::Walk::visitSubfolder(std::size_t parentIndex, const PendingFolder& folder,
                                          bool& pushed)
{
    pushed = false;
    Frame& parent = m_stack[parentIndex];
    const Attributes& a = folder.attributes;
    if (const Prefetch* ahead = folder.prefetch.get()) {
        if (ahead->outOfMemory)
            throw std::bad_alloc();
        if (ahead->opened) {
            enterPrefetched(parent, folder);
            pushed = true;
            return {};
        }
        if (ahead->openFailed)
            return cannotOpen(parent, folder.name, ahead->again);
        // Otherwise the folder is entered from its parent, as any other.
    }

    // The mount point of a kernel pseudo file system, or a folder met before, is kept as an
    // empty folder.
    const bool pseudo =
        !a.sameDevice(parent.attributes) && m_mounts.isPseudoFileSystem(a.devMajor, a.devMinor);
    if (pseudo || isRepeatedFolder(parent, a)) {
        Frame empty;
        empty.name = folder.name;
        empty.attributes = a;
        empty.newDevice = !a.sameDevice(parent.attributes);
        empty.exclusion =
            pseudo ? NodeFacts::Exclusion::kernelFileSystem : NodeFacts::Exclusion::otherFileSystem;
        reportProgress(folder.name);
        return makeFolder(empty);
    }

    const int parentFd = parent.fd >= 0 ? parent.fd : reopen(parentIndex);
    const int fd = parentFd >= 0 ? ::openat(parentFd, folder.name.c_str(), kOpenDirFlags) : -1;
    if (fd < 0)
        return cannotOpen(parent, folder.name,
                          parentFd >= 0 ? readAttributes(parentFd, folder.name.c_str())
                                        : Attributes{});

    // The parent's descriptor is needed only while it has subfolders left to open.
    if (parent.nextSubfolder == parent.subfolders.size())
        closeFrame(parent);

    Frame frame;
    frame.name = folder.name;
    frame.folder = m_index->addFolder(parent.folder, folder.name);
    frame.fd = fd;
    frame.attributes = a;
    frame.newDevice = !a.sameDevice(parent.attributes);
    frame.readAhead = parent.readAhead &&
                      parent.relativePath.size() + folder.name.size() + 1 <= kMaxPrefetchPath;
    if (frame.readAhead)
        frame.relativePath = parent.relativePath.empty() ? folder.name
                                                         : parent.relativePath + '/' + folder.name;
    m_stack.push_back(std::move(frame));
    ++m_openCount;
    limitOpenDescriptors();
    Frame& top = m_stack.back();
    list(top);
    reportProgress(top.name);
    pushed = true;
    return {};
}

DiskScanner::Outcome DiskScanner::Walk::run()
{
    const std::string_view rootName = lastComponent(m_rootPath);
    const Attributes rootAttributes = readAttributes(AT_FDCWD, m_rootPath.c_str(), true);
    if (!rootAttributes.isDirectory) {
        NodeRef file = makeFile(rootName, rootAttributes, m_rootPath);
        const std::size_t slash = m_rootPath.rfind('/');
        const std::string folder =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : m_rootPath.substr(0, slash));
        m_index->addFile(m_index->addFolder(FileExistenceIndex::kNoParent, folder), rootName);
        reportProgress(rootName);
        return finished(std::move(file));
    }

    Frame root;
    root.name.assign(rootName);
    root.folder = m_index->addFolder(FileExistenceIndex::kNoParent, m_rootPath);
    root.attributes = rootAttributes;
    root.fd = ::open(m_rootPath.c_str(), kOpenRootFlags);
    root.newDevice = true;
    root.readError = root.fd < 0;
    if (root.fd >= 0)
        ++m_openCount;
    m_mountedFolders.insert(keyOf(rootAttributes));
    m_stack.push_back(std::move(root));
    if (m_stack.back().fd >= 0) {
        startHelpers(threadsFor(m_settings.threads, rootAttributes));
        list(m_stack.back());
    }
    reportProgress(m_stack.back().name);

    while (true) {
        if (cancelled())
            return {Outcome::Status::cancelled, {}, {}, {}, {}};
        if (stopped())
            return keepWhatWasRead();
        const std::size_t index = m_stack.size() - 1;
        Frame& frame = m_stack[index];
        if (frame.nextSubfolder < frame.subfolders.size()) {
            // Read ahead, perhaps still being read: the loop comes back when it is.
            if (const auto& ahead = frame.subfolders[frame.nextSubfolder].prefetch;
                ahead && !awaitPrefetch(*ahead))
                continue;
            const PendingFolder folder = std::move(frame.subfolders[frame.nextSubfolder++]);
            bool pushed = false;
            NodeRef node = visitSubfolder(index, folder, pushed);
            if (!pushed)
                m_stack[index].children.push_back(std::move(node));
            continue;
        }
        // Every subfolder is done: the folder node can be built, children complete.
        closeFrame(frame);
        if (index == 0)
            return finished(makeFolder(frame, m_rootPath));
        NodeRef node = makeFolder(frame);
        m_stack.pop_back();
        m_stack.back().children.push_back(std::move(node));
    }
}

DiskScanner::Outcome DiskScanner::Walk::keepWhatWasRead()
{
    // Every folder on the stack is unfinished unless all of it was read. Subfolders not entered
    // yet stay as empty folders, marked; the marks rise to the scanned folder.
    bool below = false; // whether the folder built last is incomplete
    NodeRef node;
    for (std::size_t index = m_stack.size(); index-- > 0;) {
        Frame& frame = m_stack[index];
        if (node)
            frame.children.push_back(std::move(node));
        for (std::size_t i = frame.nextSubfolder; i < frame.subfolders.size(); ++i) {
            Frame pending;
            pending.name = std::move(frame.subfolders[i].name);
            pending.attributes = frame.subfolders[i].attributes;
            pending.newDevice = !pending.attributes.sameDevice(frame.attributes);
            pending.incomplete = true;
            frame.children.push_back(makeFolder(pending));
        }
        frame.incomplete =
            frame.incomplete || below || frame.nextSubfolder < frame.subfolders.size();
        below = frame.incomplete;
        closeFrame(frame);
        node = index == 0 ? makeFolder(frame, m_rootPath) : makeFolder(frame);
    }
    Outcome outcome = finished(std::move(node));
    outcome.status = Outcome::Status::stopped;
    return outcome;
}

DiskScanner::DiskScanner()
{
    if (const char* value = std::getenv("PLENVO_SCAN_THREADS"))
        m_settings.threads = std::max(0, std::atoi(value));
}

void DiskScanner::setThreads(int threads)
{
    m_settings.threads = std::max(0, threads);
}

void DiskScanner::setClock(Clock clock)
{
    m_settings.clock = std::move(clock);
}

void DiskScanner::setMaxOpenDirectories(int count)
{
    m_settings.maxOpenDirectories = count;
}

void DiskScanner::setMountInfoSource(std::string path)
{
    m_settings.mountInfo = std::move(path);
}

void DiskScanner::setListingHook(ListingHook hook)
{
    m_settings.beforeListing = std::move(hook);
}

void DiskScanner::setLeftOut(std::optional<DeviceInode> entry)
{
    m_settings.leftOut = entry;
}

DiskScanner::Outcome DiskScanner::run(const Settings& settings, std::string_view path,
                                      const ProgressHandler& progress,
                                      const CancellationToken& token,
                                      const CancellationToken& stop, std::int64_t* filesScanned)
{
    try {
        Walk walk(settings, path, progress, token, stop);
        Outcome outcome = walk.run();
        outcome.threads = walk.threads();
        if (filesScanned)
            *filesScanned = walk.filesScanned();
        return outcome;
    } catch (const std::bad_alloc&) {
        return {Outcome::Status::failed, {}, {}, QString::fromUtf8(std::strerror(ENOMEM)), {}};
    }
}

DiskScanner::Outcome DiskScanner::scanNow(std::string_view path, const ProgressHandler& progress,
                                          const CancellationToken& token,
                                          const CancellationToken& stop)
{
    m_filesScanned = 0;
    return run(m_settings, path, progress, token, stop, &m_filesScanned);
}

DiskScanner::Job DiskScanner::prepare(std::string path, ProgressHandler progress,
                                      CancellationToken stop) const
{
    return [settings = m_settings, path = std::move(path), progress = std::move(progress),
            stop = std::move(stop)](const CancellationToken& token) {
        if (token.isCancelled())
            return Outcome{Outcome::Status::cancelled, {}, {}, {}, {}};
        return run(settings, path, progress, token, stop, nullptr);
    };
}

} // namespace plenvo
