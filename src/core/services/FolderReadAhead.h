#pragma once

#include "CancellationToken.h"
#include "EntryAttributes.h"
#include "ScanWorkers.h"
#include "models/DeviceInode.h"
#include "models/FileNode.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo {

class NodeArena;

// Reads folders of one scan ahead of its walk, on helping threads (ScanWorkers): each folder is
// opened by its location below the scanned folder, checked to be the folder its parent's listing
// found, listed, and its entries' attributes read and its files made into nodes; its subfolders
// are then put in to be read in turn. The walk takes what was read in its own order, so what it
// builds does not depend on the helpers.
//
// Only a subfolder on the same file system as its parent, and not the root of a mount, is read
// ahead (canReadAhead()): whatever the walk met before, it enters such a folder, so reading it
// early changes nothing. Helpers may outlive the walk (one stuck in the kernel is left behind):
// they share this object, which keeps the descriptor of the scanned folder open for them.
class FolderReadAhead : public std::enable_shared_from_this<FolderReadAhead> {
public:
    using ListingHook = std::function<void(std::string_view folderName)>;

    // Folders deeper than this below the scanned folder are left to the walk.
    static constexpr std::size_t kMaxLocation = 3072;
    // Helpers wait while this many entries they read wait for the walk, so that what is read
    // ahead stays small beside the tree.
    static constexpr std::int64_t kMaxAhead = 262144;

    // A file of a listing that needs more than its node: another name of a file with several, an
    // entry that is not a regular file, or one whose attributes could not be read.
    struct SpecialFile {
        std::uint32_t index; // in Folder::files
        EntryAttributes attributes;
    };
    struct Folder;
    // A subfolder met in a listing, to be entered later; `ahead` is set when it is read ahead.
    struct Pending {
        std::string name;
        EntryAttributes attributes;
        std::shared_ptr<Folder> ahead;
    };
    // One folder read ahead. What was read may be looked at once await() returned true.
    struct Folder {
        Folder(std::string location, const EntryAttributes& folder)
            : relativePath(std::move(location)), attributes(folder)
        {
        }
        enum State : int { queued, running, done };
        std::atomic<int> state{queued};
        const std::string relativePath; // below the scanned folder
        const EntryAttributes attributes; // as its parent's listing found it

        bool opened = false;      // otherwise the walk enters it itself, from its parent
        bool openFailed = false;  // it cannot be opened: `again` is what it is now
        EntryAttributes again;
        bool readError = false;
        bool interrupted = false; // a stop or a cancellation cut the listing short
        bool outOfMemory = false;
        std::int64_t entries = 0; // files and subfolders read
        std::vector<NodeRef> files;                   // in the order of the listing
        std::vector<std::uint32_t> nameHashes;        // FileExistenceIndex::hashName() of each
        std::vector<SpecialFile> specials;            // by increasing index
        std::vector<Pending> subfolders;              // in the order of the listing
    };

    struct Settings {
        ListingHook beforeListing;
        std::optional<DeviceInode> leftOut; // an entry that is not part of the scan
        CancellationToken token;            // cancels the scan
        CancellationToken stop;             // stops it
    };

    // Helpers reading ahead below `rootPath` (whose attributes are `root`) with `threads`
    // threads; null when the folder opened is not that one any more.
    static std::shared_ptr<FolderReadAhead> start(const std::string& rootPath,
                                                  const EntryAttributes& root, int threads,
                                                  Settings settings);
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;

    static bool canReadAhead(const EntryAttributes& folder, const EntryAttributes& parent)
    {
        return folder.sameDevice(parent) && !folder.mountRoot;
    }
    static bool isLeftOut(const std::optional<DeviceInode>& out, const EntryAttributes& a)
    {
        return out && a.known && a.inode == out->inode && a.device() == out->device;
    }

    // Has the subfolders of the folder at `location` (with attributes `parent`) that can be
    // read ahead read, setting their `ahead`.
    void schedule(std::vector<Pending>& subfolders, const EntryAttributes& parent,
                  std::string_view location);
    // Waits until `folder` is read; false when the scan is stopped or cancelled first. The walk
    // itself reads nothing ahead, so that a stop or a cancellation is heard at once even while a
    // helper is stuck on a mount that stopped answering.
    // Should the helpers wait for the walk while `folder` waits for them, the walk reads it
    // itself, with `arena`.
    bool await(Folder& folder, NodeArena& arena);
    // The walk took what `folder` read.
    void taken(const Folder& folder)
    {
        m_ahead.fetch_sub(folder.entries, std::memory_order_relaxed);
    }
    // After a stop: waits until `folder`, being read, is read, at the latest until `deadline`
    // (a helper cut short ends at its next entry, one stuck in the kernel does not). True when
    // it is read.
    bool settle(Folder& folder, std::chrono::steady_clock::time_point deadline);
    // Drops what is not started, and waits briefly for the helpers to end.
    void finish();

private:
    FolderReadAhead(int rootFd, int threads, Settings settings);
    bool interrupted() const { return m_settings.token.isCancelled() || m_settings.stop.isCancelled(); }
    void take(Folder& folder, NodeArena& arena);
    void takeWhenRoom(Folder& folder, NodeArena& arena);
    void read(Folder& folder, NodeArena& arena);

    const int m_rootFd;
    const Settings m_settings;
    ScanWorkers m_workers;
    std::atomic<const Folder*> m_awaited{nullptr};
    std::atomic<std::int64_t> m_ahead{0}; // entries read that the walk did not take yet
};

} // namespace plenvo
