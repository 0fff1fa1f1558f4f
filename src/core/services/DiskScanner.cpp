#include "DiskScanner.h"

#include "DirectoryListing.h"
#include "MountTable.h"
#include "EntryAttributes.h"
#include "FolderReadAhead.h"
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

using Attributes = EntryAttributes;
using PendingFolder = FolderReadAhead::Pending;
using Prefetch = FolderReadAhead::Folder;
constexpr std::size_t kMaxPrefetchPath = FolderReadAhead::kMaxLocation;


constexpr int kOpenDirFlags = EntryAttributes::kOpenFolderFlags;
constexpr int kOpenRootFlags = EntryAttributes::kOpenRootFlags;


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
        if (m_readAhead)
            m_readAhead->finish();
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
        if (a.known && a.links > 1 && !m_linkedFiles.insert(a.key()).second)
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
    // A subfolder the walk did not enter, once stopped: empty, marked.
    NodeRef notEntered(const Frame& parent, const PendingFolder& folder);
    void list(Frame& frame);
    void startHelpers(int threads);
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
    std::shared_ptr<FolderReadAhead> m_readAhead;
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
        const Attributes a = EntryAttributes::read(frame.fd, name);
        if (FolderReadAhead::isLeftOut(m_settings.leftOut, a))
            return true;
        if (a.isDirectory) {
            frame.subfolders.push_back({std::string(name), a, nullptr});
        } else {
            frame.children.push_back(makeFile(name, a));
            m_index->addFile(frame.folder, name);
        }
        return true;
    });
    if (m_readAhead && frame.readAhead && !frame.incomplete)
        m_readAhead->schedule(frame.subfolders, frame.attributes, frame.relativePath);
}

void DiskScanner::Walk::startHelpers(int threads)
{
    m_threads = 1;
    if (threads < 2)
        return;
    m_readAhead = FolderReadAhead::start(m_rootPath, m_stack.front().attributes, threads,
                                         {m_settings.beforeListing, m_settings.leftOut, m_token,
                                          m_stop});
    if (m_readAhead)
        m_threads = threads;
}

void DiskScanner::Walk::enterPrefetched(Frame& parent, const PendingFolder& folder)
{
    Prefetch& ahead = *folder.ahead;
    m_readAhead->taken(ahead);
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
        if (!frame.attributes.isOpenAs(next)) {
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
    return !m_mountedFolders.insert(a.key()).second;
}

NodeRef DiskScanner::Walk::visitSubfolder(std::size_t parentIndex, const PendingFolder& folder,
                                          bool& pushed)
{
    pushed = false;
    Frame& parent = m_stack[parentIndex];
    const Attributes& a = folder.attributes;
    if (const Prefetch* ahead = folder.ahead.get()) {
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
                          parentFd >= 0 ? EntryAttributes::read(parentFd, folder.name.c_str())
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
    const Attributes rootAttributes = EntryAttributes::read(AT_FDCWD, m_rootPath.c_str(), true);
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
    m_mountedFolders.insert(rootAttributes.key());
    m_stack.push_back(std::move(root));
    if (m_stack.back().fd >= 0) {
        startHelpers(threadsFor(m_settings.threads, rootAttributes));
        list(m_stack.back());
    }
    reportProgress(m_stack.back().name);

    // Once stopped, the walk goes on through what is read already, touching the disk no more:
    // folders read ahead are kept, the others stay as empty folders, marked.
    bool finishing = false;
    // Folders being read when the stop came are waited for until then.
    std::chrono::steady_clock::time_point settled;
    while (true) {
        if (cancelled())
            return {Outcome::Status::cancelled, {}, {}, {}, {}};
        if (!finishing && stopped()) {
            finishing = true;
            settled = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
        }
        const std::size_t index = m_stack.size() - 1;
        Frame& frame = m_stack[index];
        if (finishing && frame.nextSubfolder < frame.subfolders.size()) {
            PendingFolder folder = std::move(frame.subfolders[frame.nextSubfolder++]);
            Prefetch* ahead = folder.ahead.get();
            if (ahead && m_readAhead->settle(*ahead, settled) && ahead->opened &&
                !ahead->outOfMemory) {
                enterPrefetched(frame, folder);
            } else {
                frame.incomplete = true;
                frame.children.push_back(notEntered(frame, folder));
            }
            continue;
        }
        if (frame.nextSubfolder < frame.subfolders.size()) {
            // Read ahead, perhaps still being read: the loop comes back when it is.
            if (const auto& ahead = frame.subfolders[frame.nextSubfolder].ahead;
                ahead && !m_readAhead->await(*ahead, m_arena))
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
        if (index == 0) {
            Outcome outcome = finished(makeFolder(frame, m_rootPath));
            if (finishing)
                outcome.status = Outcome::Status::stopped;
            return outcome;
        }
        NodeRef node = makeFolder(frame);
        const bool unfinished = frame.incomplete;
        m_stack.pop_back();
        // A folder not read to the end leaves each folder above it unfinished too.
        m_stack.back().incomplete = m_stack.back().incomplete || unfinished;
        m_stack.back().children.push_back(std::move(node));
    }
}

NodeRef DiskScanner::Walk::notEntered(const Frame& parent, const PendingFolder& folder)
{
    Frame empty;
    empty.name = folder.name;
    empty.attributes = folder.attributes;
    empty.newDevice = !folder.attributes.sameDevice(parent.attributes);
    empty.incomplete = true;
    return makeFolder(empty);
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
