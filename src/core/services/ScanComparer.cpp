#include "ScanComparer.h"

#include "models/DeviceInode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <new>
#include <queue>
#include <unordered_map>
#include <vector>

namespace plenvo {

namespace {

using Index = ScanComparison::Index;
using Kind = ScanComparison::Kind;
using Tally = ScanComparison::Tally;
using Entry = NcduReader::Entry;
constexpr Index kNone = ScanComparison::kNone;
constexpr std::size_t kNotFound = SIZE_MAX;
constexpr std::int64_t kCheckEvery = 4096;

struct Cancelled {};

// The names of gone items, in chunks that never move: a name handed out stays valid while more
// are added.
class NamePool {
public:
    std::string_view add(std::string_view name)
    {
        // A name is at most NcduReader::kMaxNameBytes long, so it fits in a chunk.
        if (m_chunks.empty() || m_used + name.size() > kChunk) {
            m_chunks.push_back(std::make_unique<char[]>(kChunk));
            m_used = 0;
        }
        char* at = m_chunks.back().get() + m_used;
        std::memcpy(at, name.data(), name.size());
        m_used += name.size();
        return {at, name.size()};
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    static_assert(NcduReader::kMaxNameBytes <= kChunk);
    std::vector<std::unique_ptr<char[]>> m_chunks; // the last one is being filled
    std::size_t m_used = 0;
};

// An item while the comparison is being made. Children are linked, so that items can be moved
// from one parent to another; items that turn out not to be changes are marked dead. Small:
// a renamed folder is recorded whole, as gone, until it is found again.
struct Draft {
    Kind kind = Kind::unchanged;
    bool isDirectory = false;
    bool container = false; // a folder in both scans, holding changes
    bool expanded = false;  // a new folder whose children have items of their own
    bool dead = false;
    std::uint16_t nameLength = 0;
    const char* nameData = nullptr; // of a gone item (in the pool)
    std::int64_t oldSize = 0;
    std::int64_t oldFiles = 0;
    NodeRef node;
    Index parent = kNone, first = kNone, last = kNone, next = kNone;

    std::string_view name() const { return {nameData, nameLength}; }
};
static_assert(sizeof(Draft) <= 56);

// Open addressing over the names of a folder's children.
class NameTable {
public:
    void build(FileNode::Children children)
    {
        std::size_t capacity = 8;
        while (capacity < 2 * children.size())
            capacity *= 2;
        m_mask = capacity - 1;
        m_slots.assign(capacity, 0);
        for (std::uint32_t i = 0; i < children.size(); ++i) {
            std::size_t at = hash(children[i]->nameBytes()) & m_mask;
            while (m_slots[at])
                at = (at + 1) & m_mask;
            m_slots[at] = i + 1;
        }
    }
    std::size_t find(FileNode::Children children, std::string_view name) const
    {
        for (std::size_t at = hash(name) & m_mask; m_slots[at]; at = (at + 1) & m_mask)
            if (children[m_slots[at] - 1]->nameBytes() == name)
                return m_slots[at] - 1;
        return kNotFound;
    }

private:
    static std::size_t hash(std::string_view name) { return std::hash<std::string_view>{}(name); }
    std::vector<std::uint32_t> m_slots; // child index + 1; 0 is empty
    std::size_t m_mask = 0;
};

std::uint64_t magnitude(std::int64_t value)
{
    return value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value);
}

Kind kindOf(std::int64_t change)
{
    return change > 0 ? Kind::grown : change < 0 ? Kind::shrunk : Kind::unchanged;
}

} // namespace

// The items of one comparison, the gone folders that may have moved, and the search for moves.
class ScanComparer::Work {
public:
    Work(const ScanTree& current, const CancellationToken& token)
        : m_current(current), m_token(token)
    {
        Draft root;
        root.isDirectory = current.root->isDirectory();
        root.container = true;
        root.node = current.root;
        m_drafts.push_back(std::move(root));
        m_newRootDevice = deviceOf(current.root.get());
    }

    Index add(Draft draft, Index parent)
    {
        const auto index = Index(m_drafts.size());
        m_drafts.push_back(std::move(draft));
        if (parent != kNone)
            link(index, parent);
        return index;
    }
    Draft& operator[](Index index) { return m_drafts[index]; }
    std::string_view keepName(std::string_view name) { return m_names.add(name); }
    // The device and inode of a gone folder, in the earlier scan.
    void setIdentity(Index gone, DeviceInode identity) { m_identities[gone] = identity; }
    DeviceInode identity(Index gone) const
    {
        const auto it = m_identities.find(gone);
        return it == m_identities.end() ? DeviceInode{} : it->second;
    }
    void setEarlierRootDevice(std::uint64_t device) { m_oldRootDevice = device; }
    void checkCancelled() const
    {
        if (m_token.isCancelled())
            throw Cancelled{};
    }

    // Finds moves among the gone folders met (`found`, in the order met).
    void findMoves(const std::vector<Index>& found);
    std::shared_ptr<ScanComparison> finish(ScanComparison::Summary summary);

private:
    struct Candidate {
        std::size_t depth; // of the folder it may have become, in the current tree
        std::size_t order;
        Index gone;
        const FileNode* target;
        bool operator>(const Candidate& other) const
        {
            return depth != other.depth ? depth > other.depth : order > other.order;
        }
    };
    using Queue = std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>>;

    void link(Index child, Index parent)
    {
        Draft& p = m_drafts[parent];
        m_drafts[child].parent = parent;
        m_drafts[child].next = kNone;
        if (p.last == kNone)
            p.first = child;
        else
            m_drafts[p.last].next = child;
        p.last = child;
    }
    void kill(Index index);
    std::uint64_t deviceOf(const FileNode* node) const;
    void indexNewFolders(const FileNode& top);
    void queue(Queue& queue, const std::vector<Index>& found);
    bool isStillNew(const FileNode* node) const;
    Index itemOf(const FileNode* node);
    void expand(Index index);
    void replay(Index gone, Pass& pass);
    std::string earlierPath(Index index) const;

    const ScanTree& m_current;
    const CancellationToken& m_token;
    std::deque<Draft> m_drafts; // grows without copying what it holds
    NamePool m_names;
    std::vector<std::pair<Index, std::string>> m_movedFrom;
    std::uint64_t m_oldRootDevice = 0;
    std::uint64_t m_newRootDevice = 0;
    std::size_t m_order = 0;
    // Folders below new items, by identity; nodes that have an item.
    std::unordered_map<DeviceInode, const FileNode*, DeviceInodeHash> m_newFolders;
    std::unordered_map<const FileNode*, Index> m_items;
    std::unordered_map<Index, DeviceInode> m_identities;
    std::string m_earlierRootPath;

    friend class ScanComparer;
};

// Compares the entries of an earlier scan, as they come, with a folder of the current tree,
// adding the changes below one item.
class ScanComparer::Pass final : public NcduReader::Visitor {
public:
    Pass(Work& work, Index rootItem, const FileNode* currentRoot, bool isMain)
        : m_work(work), m_rootItem(rootItem), m_currentRoot(currentRoot), m_isMain(isMain)
    {
    }

    void enterFolder(const Entry& folder) override;
    void file(const Entry& file) override;
    void leaveFolder() override;

    std::int64_t oldEntries() const { return m_oldEntries; }  // below the root
    std::int64_t matchedEntries() const { return m_matched; } // found under the same name
    std::int64_t oldTotal() const { return m_oldTotal; }
    std::int64_t oldFiles() const { return m_oldFiles; }
    const std::vector<Index>& goneFolders() const { return m_goneFolders; }

private:
    struct Frame {
        enum class Mode : std::uint8_t { matched, gone, ignored };
        Mode mode = Mode::matched;
        const FileNode* folder = nullptr; // matched: the folder now
        Index item = kNone;               // matched: once it holds a change; gone: always
        std::int64_t oldSize = 0;
        std::int64_t oldFiles = 0;
        std::size_t cursor = 0; // where the next name is looked for first
        bool indexed = false;
        NameTable names;
        std::vector<std::uint8_t> matched;
    };

    Frame& push(Frame::Mode mode, const FileNode* folder, Index item)
    {
        if (m_depth == m_frames.size())
            m_frames.emplace_back();
        Frame& frame = m_frames[m_depth++];
        frame.mode = mode;
        frame.folder = folder;
        frame.item = item;
        frame.oldSize = frame.oldFiles = 0;
        frame.cursor = 0;
        frame.indexed = false;
        frame.matched.assign(folder ? folder->childCount() : 0, 0);
        return frame;
    }
    std::size_t match(Frame& frame, std::string_view name);
    Index itemOf(std::size_t depth);
    Index addGone(const Entry& entry, Index parent);
    void count()
    {
        if (++m_events % kCheckEvery == 0)
            m_work.checkCancelled();
    }

    Work& m_work;
    const Index m_rootItem;
    const FileNode* const m_currentRoot;
    const bool m_isMain;
    std::vector<Frame> m_frames; // reused, so that their tables keep their memory
    std::size_t m_depth = 0;
    std::int64_t m_oldEntries = 0;
    std::int64_t m_matched = 0;
    std::int64_t m_events = 0;
    std::int64_t m_oldTotal = 0;
    std::int64_t m_oldFiles = 0;
    std::vector<Index> m_goneFolders;
};

std::size_t ScanComparer::Pass::match(Frame& frame, std::string_view name)
{
    // Both scans usually list a folder in the same order: the next child is tried first.
    const FileNode::Children children = frame.folder->children();
    std::size_t found = kNotFound;
    if (frame.cursor < children.size() && children[frame.cursor]->nameBytes() == name) {
        found = frame.cursor;
    } else {
        if (!frame.indexed) {
            frame.names.build(children);
            frame.indexed = true;
        }
        found = frame.names.find(children, name);
    }
    // A name met twice (in a damaged export) is new the second time.
    if (found == kNotFound || frame.matched[found])
        return kNotFound;
    frame.cursor = found + 1;
    return found;
}

// The item of the matched folder at `depth`, made (with those of its ancestors) when needed.
Index ScanComparer::Pass::itemOf(std::size_t depth)
{
    std::size_t from = depth;
    while (m_frames[from].item == kNone)
        --from; // the root frame always has one
    for (std::size_t d = from + 1; d <= depth; ++d) {
        Draft container;
        container.isDirectory = true;
        container.container = true;
        container.node = NodeRef(m_frames[d].folder);
        m_frames[d].item = m_work.add(std::move(container), m_frames[d - 1].item);
    }
    return m_frames[depth].item;
}

Index ScanComparer::Pass::addGone(const Entry& entry, Index parent)
{
    Draft gone;
    gone.kind = Kind::gone;
    gone.isDirectory = entry.isDirectory;
    gone.oldSize = entry.isDirectory ? 0 : entry.size;
    gone.oldFiles = entry.isDirectory ? 0 : 1;
    const std::string_view name = m_work.keepName(entry.name);
    gone.nameData = name.data();
    gone.nameLength = std::uint16_t(name.size());
    const Index index = m_work.add(std::move(gone), parent);
    if (entry.isDirectory && entry.inode != 0) {
        m_work.setIdentity(index, {entry.device, entry.inode});
        m_goneFolders.push_back(index);
    }
    return index;
}

void ScanComparer::Pass::enterFolder(const Entry& folder)
{
    count();
    if (m_depth == 0) {
        if (m_isMain)
            m_work.setEarlierRootDevice(folder.device);
        // A folder is compared with a folder only; with a file, by its total alone.
        if (m_currentRoot->isDirectory())
            push(Frame::Mode::matched, m_currentRoot, m_rootItem);
        else
            push(Frame::Mode::ignored, nullptr, m_rootItem);
        return;
    }
    ++m_oldEntries;
    const std::size_t depth = m_depth - 1;
    Frame& parent = m_frames[depth];
    switch (parent.mode) {
    case Frame::Mode::ignored:
        push(Frame::Mode::ignored, nullptr, kNone);
        return;
    case Frame::Mode::gone:
        push(Frame::Mode::gone, nullptr, addGone(folder, parent.item));
        return;
    case Frame::Mode::matched:
        break;
    }
    const std::size_t found = match(parent, folder.name);
    const FileNode* now = found == kNotFound ? nullptr : parent.folder->children()[found];
    if (now && now->isDirectory()) {
        parent.matched[found] = 1;
        ++m_matched;
        push(Frame::Mode::matched, now, kNone);
        return;
    }
    // Gone, or a file now: that file is new (it is left unmatched).
    const Index gone = addGone(folder, itemOf(depth));
    push(Frame::Mode::gone, nullptr, gone);
}

void ScanComparer::Pass::file(const Entry& file)
{
    count();
    if (m_depth == 0) {
        m_oldTotal = m_work[m_rootItem].oldSize = file.size;
        m_oldFiles = m_work[m_rootItem].oldFiles = 1;
        m_work[m_rootItem].container = false;
        return;
    }
    ++m_oldEntries;
    const std::size_t depth = m_depth - 1;
    Frame& parent = m_frames[depth];
    parent.oldSize += file.size;
    parent.oldFiles += 1;
    switch (parent.mode) {
    case Frame::Mode::ignored:
        return;
    case Frame::Mode::gone:
        addGone(file, parent.item);
        return;
    case Frame::Mode::matched:
        break;
    }
    const std::size_t found = match(parent, file.name);
    const FileNode* now = found == kNotFound ? nullptr : parent.folder->children()[found];
    if (!now || now->isDirectory()) {
        addGone(file, itemOf(depth));
        return;
    }
    parent.matched[found] = 1;
    ++m_matched;
    if (now->fileSize() == file.size)
        return;
    Draft changed;
    changed.kind = now->fileSize() > file.size ? Kind::grown : Kind::shrunk;
    changed.oldSize = file.size;
    changed.oldFiles = 1;
    changed.node = NodeRef(now);
    m_work.add(std::move(changed), itemOf(depth));
}

void ScanComparer::Pass::leaveFolder()
{
    const std::size_t depth = m_depth - 1;
    if (m_frames[depth].mode == Frame::Mode::matched) {
        // What was not matched is new.
        const FileNode::Children children = m_frames[depth].folder->children();
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (m_frames[depth].matched[i])
                continue;
            Draft appeared;
            appeared.kind = Kind::appeared;
            appeared.isDirectory = children[i]->isDirectory();
            appeared.node = NodeRef(children[i]);
            m_work.add(std::move(appeared), itemOf(depth));
        }
    }
    Frame& frame = m_frames[depth];
    if (frame.item != kNone) {
        m_work[frame.item].oldSize = frame.oldSize;
        m_work[frame.item].oldFiles = frame.oldFiles;
    }
    if (depth == 0 && frame.mode == Frame::Mode::ignored)
        m_work[m_rootItem].container = false; // compared by its total
    --m_depth;
    if (m_depth > 0) {
        Frame& parent = m_frames[m_depth - 1];
        parent.oldSize += frame.oldSize;
        parent.oldFiles += frame.oldFiles;
    } else {
        m_oldTotal = frame.oldSize;
        m_oldFiles = frame.oldFiles;
    }
}

void ScanComparer::Work::kill(Index index)
{
    std::vector<Index> pending{index};
    while (!pending.empty()) {
        const Index at = pending.back();
        pending.pop_back();
        m_drafts[at].dead = true;
        for (Index child = m_drafts[at].first; child != kNone; child = m_drafts[child].next)
            pending.push_back(child);
    }
}

// The device of a node of the current tree: that of the nearest folder whose device is noted.
std::uint64_t ScanComparer::Work::deviceOf(const FileNode* node) const
{
    if (!m_current.facts)
        return 0;
    for (; node; node = node->parent())
        if (const NodeFacts::Facts* facts = m_current.facts->find(node->id());
            facts && facts->hasDevice && node->isDirectory())
            return facts->device;
    return 0;
}

void ScanComparer::Work::indexNewFolders(const FileNode& top)
{
    std::vector<std::pair<const FileNode*, std::uint64_t>> pending{{&top, deviceOf(&top)}};
    while (!pending.empty()) {
        auto [node, device] = pending.back();
        pending.pop_back();
        if (m_current.facts)
            if (const NodeFacts::Facts* facts = m_current.facts->find(node->id());
                facts && facts->hasDevice)
                device = facts->device;
        if (node->inode() != 0)
            m_newFolders.emplace(DeviceInode{device, node->inode()}, node);
        for (const FileNode* child : node->children())
            if (child->isDirectory())
                pending.emplace_back(child, device);
    }
}

void ScanComparer::Work::queue(Queue& queue, const std::vector<Index>& found)
{
    for (const Index gone : found) {
        const DeviceInode was = identity(gone);
        const std::uint64_t device = was.device == m_oldRootDevice ? m_newRootDevice : was.device;
        const auto it = m_newFolders.find({device, was.inode});
        if (it == m_newFolders.end())
            continue;
        std::size_t depth = 0;
        for (const FileNode* node = it->second; node->parent(); node = node->parent())
            ++depth;
        queue.push({depth, m_order++, gone, it->second});
    }
}

// Whether the node lies in a new part of the current tree that no move has claimed.
bool ScanComparer::Work::isStillNew(const FileNode* node) const
{
    for (const FileNode* at = node; at; at = at->parent()) {
        const auto it = m_items.find(at);
        if (it == m_items.end())
            continue;
        const Draft& item = m_drafts[it->second];
        // A new folder holding a move already takes no other: the earlier scan had it the other
        // way round, and it stays new.
        return item.kind == Kind::appeared && !item.dead && !(at == node && item.expanded);
    }
    return false;
}

// Gives a new folder's children items of their own.
void ScanComparer::Work::expand(Index index)
{
    m_drafts[index].expanded = true;
    const FileNode* node = m_drafts[index].node.get();
    for (const FileNode* child : node->children()) {
        Draft appeared;
        appeared.kind = Kind::appeared;
        appeared.isDirectory = child->isDirectory();
        appeared.node = NodeRef(child);
        m_items[child] = add(std::move(appeared), index);
    }
}

// The item of a node below a new item, made by expanding the new folders above it.
Index ScanComparer::Work::itemOf(const FileNode* node)
{
    std::vector<const FileNode*> below;
    const FileNode* at = node;
    while (!m_items.count(at)) {
        below.push_back(at);
        at = at->parent();
    }
    Index item = m_items[at];
    for (auto it = below.rbegin(); it != below.rend(); ++it) {
        expand(item);
        item = m_items[*it];
    }
    return item;
}

// Passes the recorded content of a gone folder to `pass`, as if it were read from the export.
void ScanComparer::Work::replay(Index gone, Pass& pass)
{
    const auto entryOf = [this](Index index) {
        const Draft& draft = m_drafts[index];
        Entry entry;
        entry.name = draft.name();
        entry.isDirectory = draft.isDirectory;
        entry.size = draft.isDirectory ? 0 : draft.oldSize;
        if (draft.isDirectory) {
            const DeviceInode was = identity(index);
            entry.device = was.device;
            entry.inode = was.inode;
        }
        return entry;
    };
    pass.enterFolder(entryOf(gone));
    std::vector<Index> next{m_drafts[gone].first}; // per open folder, the child to pass next
    while (!next.empty()) {
        const Index at = next.back();
        if (at == kNone) {
            next.pop_back();
            pass.leaveFolder();
            continue;
        }
        next.back() = m_drafts[at].next;
        if (m_drafts[at].dead)
            continue;
        const Entry entry = entryOf(at);
        if (entry.isDirectory) {
            const Index first = m_drafts[at].first;
            pass.enterFolder(entry);
            next.push_back(first);
        } else {
            pass.file(entry);
        }
    }
}

// Where a gone item was in the earlier scan.
std::string ScanComparer::Work::earlierPath(Index index) const
{
    std::vector<std::string_view> names;
    std::string result = m_earlierRootPath;
    for (Index at = index; at != 0; at = m_drafts[at].parent) {
        const Draft& draft = m_drafts[at];
        if (draft.kind == Kind::moved) {
            const auto it = std::find_if(m_movedFrom.begin(), m_movedFrom.end(),
                                         [&](const auto& entry) { return entry.first == at; });
            result = it->second;
            break;
        }
        names.push_back(draft.node ? draft.node->nameBytes() : draft.name());
    }
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (result.empty() || result.back() != '/')
            result.push_back('/');
        result.append(*it);
    }
    return result;
}

void ScanComparer::Work::findMoves(const std::vector<Index>& found)
{
    if (found.empty())
        return;
    for (Index i = 0; i < m_drafts.size(); ++i)
        if (m_drafts[i].kind == Kind::appeared && m_drafts[i].isDirectory)
            indexNewFolders(*m_drafts[i].node);
    if (m_newFolders.empty())
        return;
    for (Index i = 0; i < m_drafts.size(); ++i)
        if (m_drafts[i].node)
            m_items[m_drafts[i].node.get()] = i;

    // Shallower targets first: a folder that moved into another moved folder is then found
    // inside it.
    Queue candidates;
    queue(candidates, found);
    while (!candidates.empty()) {
        checkCancelled();
        const Candidate candidate = candidates.top();
        candidates.pop();
        const Index gone = candidate.gone;
        if (m_drafts[gone].dead || !isStillNew(candidate.target))
            continue;
        Draft trial;
        trial.kind = Kind::moved;
        trial.isDirectory = true;
        trial.node = NodeRef(candidate.target);
        const Index replayed = add(std::move(trial), kNone);
        Pass pass(*this, replayed, candidate.target, false);
        replay(gone, pass);
        const std::int64_t oldEntries = pass.oldEntries();
        const std::int64_t newEntries =
            candidate.target->cachedFileCount() + candidate.target->cachedDirCount() - 1;
        // Most of what one of them holds is in the other: what remains of a folder that lost
        // much (to a move out of it, say), or what a folder held before it gained much.
        const bool same = (oldEntries == 0 && newEntries == 0) ||
                          2 * pass.matchedEntries() > std::min(oldEntries, newEntries);
        if (!same) {
            kill(replayed);
            continue;
        }
        std::string from = earlierPath(gone);
        const std::int64_t oldSize = m_drafts[gone].oldSize;
        const std::int64_t oldFiles = m_drafts[gone].oldFiles;
        kill(gone);
        const Index first = Index(replayed + 1);
        const Index target = itemOf(candidate.target);
        Draft& moved = m_drafts[target];
        moved.kind = Kind::moved;
        moved.oldSize = oldSize;
        moved.oldFiles = oldFiles;
        // The changes found inside go to the folder's item.
        for (Index child = m_drafts[replayed].first; child != kNone;) {
            const Index next = m_drafts[child].next;
            link(child, target);
            child = next;
        }
        m_drafts[replayed].first = m_drafts[replayed].last = kNone;
        m_drafts[replayed].dead = true;
        m_movedFrom.emplace_back(target, std::move(from));
        for (Index i = first; i < m_drafts.size(); ++i)
            if (m_drafts[i].node && !m_drafts[i].dead)
                m_items[m_drafts[i].node.get()] = i;
        queue(candidates, pass.goneFolders());
    }
}

std::shared_ptr<ScanComparison> ScanComparer::Work::finish(ScanComparison::Summary summary)
{
    struct Sums {
        std::int64_t change = 0;
        Tally grown, shrunk, appeared, gone;
        bool kept = false;
        bool holdsMove = false;
        void add(const Sums& other, bool isMove)
        {
            change += other.change;
            holdsMove = holdsMove || other.holdsMove || isMove;
            grown += other.grown;
            shrunk += other.shrunk;
            appeared += other.appeared;
            gone += other.gone;
        }
    };
    // Sums for the live drafts only (a renamed folder left many dead ones behind), by slot.
    std::vector<Index> slotOf(m_drafts.size(), kNone);
    std::vector<Sums> slots;
    const auto sumsOf = [&](Index draft) -> Sums& { return slots[slotOf[draft]]; };

    // Children before their parents.
    std::vector<std::pair<Index, Index>> pending{{0, m_drafts[0].first}};
    slotOf[0] = 0;
    slots.emplace_back();
    while (!pending.empty()) {
        auto& [at, child] = pending.back();
        if (child != kNone) {
            const Index next = child;
            child = m_drafts[next].next;
            if (!m_drafts[next].dead) {
                slotOf[next] = Index(slots.size());
                slots.emplace_back();
                pending.emplace_back(next, m_drafts[next].first);
            }
            continue;
        }
        Draft& draft = m_drafts[at];
        Sums& own = sumsOf(at);
        bool hasKeptChild = false;
        for (Index c = draft.first; c != kNone; c = m_drafts[c].next)
            if (!m_drafts[c].dead && sumsOf(c).kept) {
                own.add(sumsOf(c), m_drafts[c].kind == Kind::moved);
                hasKeptChild = true;
            }
        const std::int64_t newSize = draft.node ? draft.node->cachedSize() : 0;
        own.kept = true;
        if (draft.container) {
            own.kept = hasKeptChild || at == 0;
            draft.kind = kindOf(own.change);
        } else if (at == 0) { // compared by its total alone
            own.change = newSize - draft.oldSize;
            draft.kind = kindOf(own.change);
            (own.change > 0 ? own.grown : own.shrunk) +=
                Tally{std::int64_t(magnitude(own.change)), 1};
        } else if (draft.kind == Kind::grown || draft.kind == Kind::shrunk) {
            own.change = newSize - draft.oldSize;
            (own.change > 0 ? own.grown : own.shrunk) +=
                Tally{std::int64_t(magnitude(own.change)), 1};
        } else if (draft.kind == Kind::appeared && !draft.expanded) {
            // All it holds is new: the tree has it, the comparison need not.
            own.change = newSize;
            own.appeared += Tally{newSize, draft.node->cachedFileCount()};
        } else if (draft.kind == Kind::gone && !draft.isDirectory) {
            own.change = -draft.oldSize;
            own.gone += Tally{draft.oldSize, 1};
        } // folders gone, new or moved: the sums of their children
        pending.pop_back();
    }

    auto comparison = std::make_shared<ScanComparison>();
    std::vector<Index> finalIndex(m_drafts.size(), kNone);
    const auto nameOf = [this](Index i) {
        return m_drafts[i].node && m_drafts[i].kind != Kind::gone ? m_drafts[i].node->nameBytes()
                                                                  : m_drafts[i].name();
    };
    const auto before = [&](Index a, Index b) {
        const Draft& x = m_drafts[a];
        const Draft& y = m_drafts[b];
        if (x.isDirectory != y.isDirectory)
            return x.isDirectory;
        const std::uint64_t mx = magnitude(sumsOf(a).change), my = magnitude(sumsOf(b).change);
        if (mx != my)
            return mx > my;
        return nameOf(a) < nameOf(b);
    };
    // Level by level, each folder's children together and in their order: the children of an
    // item are a run of consecutive items.
    std::vector<Index> order{0};
    std::vector<Index> kids;
    for (std::size_t n = 0; n < order.size(); ++n) {
        const Index at = order[n];
        const Draft& draft = m_drafts[at];
        finalIndex[at] = Index(n);
        ScanComparison::Item& item = comparison->m_items.emplace_back();
        item.kind = draft.kind;
        item.isDirectory = draft.isDirectory;
        item.oldSize = draft.oldSize;
        item.newSize = draft.node && draft.kind != Kind::gone ? draft.node->cachedSize() : 0;
        const Sums& own = sumsOf(at);
        item.change = own.change;
        item.oldFiles = draft.oldFiles;
        item.newFiles = draft.node && draft.kind != Kind::gone ? draft.node->cachedFileCount() : 0;
        item.grown = own.grown;
        item.shrunk = own.shrunk;
        item.appeared = own.appeared;
        item.gone = own.gone;
        item.holdsMove = own.holdsMove;
        if (draft.kind != Kind::gone)
            item.node = draft.node;
        item.parent = at == 0 ? kNone : finalIndex[draft.parent];
        if (draft.kind == Kind::gone && at != 0) {
            item.m_nameOffset = std::uint32_t(comparison->m_names.size());
            item.m_nameLength = draft.nameLength;
            comparison->m_names.append(draft.name());
        }
        kids.clear();
        for (Index c = draft.first; c != kNone; c = m_drafts[c].next)
            if (!m_drafts[c].dead && sumsOf(c).kept)
                kids.push_back(c);
        std::sort(kids.begin(), kids.end(), before);
        // m_children[k] is item k + 1.
        item.m_firstChild = std::uint32_t(order.size() - 1);
        item.m_childCount = std::uint32_t(kids.size());
        order.insert(order.end(), kids.begin(), kids.end());
    }
    comparison->m_children.resize(order.size() - 1);
    for (std::size_t k = 0; k < comparison->m_children.size(); ++k)
        comparison->m_children[k] = Index(k + 1);
    for (const auto& [draft, from] : m_movedFrom)
        if (finalIndex[draft] != kNone)
            comparison->m_movedFrom.emplace_back(finalIndex[draft], from);
    std::sort(comparison->m_movedFrom.begin(), comparison->m_movedFrom.end());

    summary.grown = slots[0].grown;
    summary.shrunk = slots[0].shrunk;
    summary.appeared = slots[0].appeared;
    summary.gone = slots[0].gone;
    for (const ScanComparison::Item& item : comparison->m_items)
        summary.movedFolders += item.kind == Kind::moved;
    comparison->m_summary = std::move(summary);
    return comparison;
}

template <typename Feed>
ScanComparer::Outcome ScanComparer::compare(const ScanTree& current, const CancellationToken& token,
                                            Feed&& feed)
{
    Outcome outcome;
    if (!current.root) {
        outcome.status = Outcome::Status::failed;
        outcome.error = {NcduReader::ErrorKind::none, -1, "there is no current scan"};
        return outcome;
    }
    try {
        Work work(current, token);
        Pass pass(work, 0, current.root.get(), true);
        ScanComparison::Summary summary;
        const NcduReader::Outcome read = feed(pass, summary);
        if (read.status != NcduReader::Outcome::Status::completed) {
            outcome.status = read.status == NcduReader::Outcome::Status::cancelled
                                 ? Outcome::Status::cancelled
                                 : Outcome::Status::failed;
            outcome.error = read.error;
            return outcome;
        }
        work.m_earlierRootPath = summary.oldRootPath;
        work.findMoves(pass.goneFolders());
        summary.newRootPath = current.rootPath;
        summary.newScanDate = current.scanDate;
        summary.oldTotal = pass.oldTotal();
        summary.oldFiles = pass.oldFiles();
        summary.newTotal = current.root->cachedSize();
        summary.newFiles = current.root->cachedFileCount();
        outcome.comparison = work.finish(std::move(summary));
    } catch (const Cancelled&) {
        outcome.status = Outcome::Status::cancelled;
    } catch (const std::bad_alloc&) {
        outcome.status = Outcome::Status::failed;
        outcome.error = {NcduReader::ErrorKind::unreadable, -1, std::strerror(ENOMEM)};
    }
    return outcome;
}

ScanComparer::Outcome ScanComparer::compareWithExport(const std::string& earlierExport,
                                                      const ScanTree& current,
                                                      const ProgressHandler& progress,
                                                      const CancellationToken& token)
{
    return compare(current, token, [&](Pass& pass, ScanComparison::Summary& summary) {
        NcduReader::Outcome read = NcduReader::visitFile(earlierExport, pass, progress, token);
        summary.oldRootPath = read.rootPath;
        summary.oldScanDate = read.scanDate;
        summary.oldEntries = read.entries;
        return read;
    });
}

ScanComparer::Outcome ScanComparer::compareWithExportText(std::string_view earlierExport,
                                                          const ScanTree& current,
                                                          const CancellationToken& token)
{
    return compare(current, token, [&](Pass& pass, ScanComparison::Summary& summary) {
        NcduReader::Outcome read = NcduReader::visitData(earlierExport, pass, {}, token);
        summary.oldRootPath = read.rootPath;
        summary.oldScanDate = read.scanDate;
        summary.oldEntries = read.entries;
        return read;
    });
}

ScanComparer::Outcome ScanComparer::compareTrees(const ScanTree& earlier, const ScanTree& current,
                                                 const CancellationToken& token)
{
    return compare(current, token, [&](Pass& pass, ScanComparison::Summary& summary) {
        summary.oldRootPath = earlier.rootPath;
        summary.oldScanDate = earlier.scanDate;
        NcduReader::Outcome read;
        // The earlier tree, depth first, as its export would be read.
        struct Level {
            const FileNode* folder;
            std::size_t next;
            std::uint64_t device;
        };
        const auto entryOf = [&](const FileNode& node, std::uint64_t device, bool isRoot) {
            Entry entry;
            entry.name = isRoot ? std::string_view(earlier.rootPath) : node.nameBytes();
            entry.isDirectory = node.isDirectory();
            entry.size = node.isDirectory() ? 0 : node.fileSize();
            entry.modified = node.modificationDate();
            entry.device = device;
            if (earlier.facts)
                if (const NodeFacts::Facts* facts = earlier.facts->find(node.id());
                    facts && facts->hasDevice)
                    entry.device = facts->device;
            entry.inode = node.inode();
            return entry;
        };
        const FileNode& root = *earlier.root;
        const Entry top = entryOf(root, 0, true);
        ++read.entries;
        if (!root.isDirectory()) {
            pass.file(top);
            summary.oldEntries = read.entries;
            return read;
        }
        pass.enterFolder(top);
        std::vector<Level> stack{{&root, 0, top.device}};
        while (!stack.empty()) {
            Level& level = stack.back();
            const FileNode::Children children = level.folder->children();
            if (level.next == children.size()) {
                pass.leaveFolder();
                stack.pop_back();
                continue;
            }
            const FileNode& child = *children[level.next++];
            ++read.entries;
            const Entry entry = entryOf(child, level.device, false);
            if (child.isDirectory()) {
                pass.enterFolder(entry);
                stack.push_back({&child, 0, entry.device});
            } else {
                pass.file(entry);
            }
        }
        summary.oldEntries = read.entries;
        return read;
    });
}

} // namespace plenvo
