#include "DuplicateFinder.h"

#include "ContentReader.h"
#include "HashCache.h"
#include "MountTable.h"

#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

namespace plenvo {

namespace {

using Clock = std::chrono::steady_clock;

// Files changed this shortly before a search may change again within the same tick of the file
// system's clock without their stamp showing it: their hashes are used, never kept.
constexpr std::int64_t kSettledNs = 2'000'000'000;

// The turns of the files that a spinning disk serves, one file at a time and in order: a
// reader waits before its file's first read from the disk until every file before it is done.
class DiskTurns {
public:
    explicit DiskTurns(std::size_t count) : m_done(count, false) {}

    // False when the search was cancelled while waiting.
    bool waitFor(std::size_t turn, const CancellationToken& token)
    {
        std::unique_lock lock(m_mutex);
        while (m_finished < turn) {
            if (token.isCancelled())
                return false;
            m_changed.wait_for(lock, std::chrono::milliseconds(20));
        }
        return true;
    }
    void finish(std::size_t turn)
    {
        std::lock_guard lock(m_mutex);
        m_done[turn] = true;
        while (m_finished < m_done.size() && m_done[m_finished])
            ++m_finished;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<bool> m_done;
    std::size_t m_finished = 0;
};

// Runs `work(worker, item)` for items 0 to count - 1 on `workers` threads (worker 0 to
// workers - 1); meanwhile the calling thread calls `tick` every kProgressInterval. Items are
// taken in order; after a cancellation no new item is started.
void inParallel(std::size_t count, std::size_t workers, const CancellationToken& token,
                const std::function<void(std::size_t worker, std::size_t item)>& work,
                const std::function<void()>& tick)
{
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    const std::size_t threadCount = std::min(workers, count);
    std::size_t running = threadCount;
    std::vector<std::thread> threads;
    for (std::size_t worker = 0; worker < threadCount; ++worker)
        threads.emplace_back([&, worker] {
            for (std::size_t item = next++; item < count && !token.isCancelled(); item = next++)
                work(worker, item);
            std::lock_guard lock(mutex);
            --running;
            finished.notify_all();
        });
    {
        std::unique_lock lock(mutex);
        while (running > 0) {
            finished.wait_for(lock, DuplicateFinder::kProgressInterval);
            lock.unlock();
            tick();
            lock.lock();
        }
    }
    for (std::thread& thread : threads)
        thread.join();
}

std::int64_t realtimeNs()
{
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

std::int64_t DuplicateFinder::Outcome::wastedSpace() const
{
    std::int64_t total = 0;
    for (const ContentGroup& group : groups)
        total += group.wastedSpace();
    return total;
}

// The state of one search.
class DuplicateFinder::Search {
public:
    Search(const DuplicateFinder& finder, const DuplicateCandidates& files,
           const CancellationToken& token, const ProgressHandler& progress)
        : m_finder(finder), m_files(files), m_token(token), m_progress(progress),
          m_startedNs(realtimeNs())
    {
        const int cores = int(std::thread::hardware_concurrency());
        const int count =
            finder.m_readers.count > 0 ? finder.m_readers.count : std::clamp(cores, 2, 8);
        for (int i = 0; i < count; ++i)
            m_readers.push_back(std::make_unique<ContentReader>(std::size_t(finder.m_chunkSize)));
    }

    Outcome run();

private:
    struct Candidate {
        FileStamp stamp;
        std::uint32_t file = 0;
        ContentHash first;
        ContentHash whole;
        std::uint64_t physicalOffset = 0;
        bool hasFirst = false;
        bool hasWhole = false;
        bool failed = false;
        bool learned = false;  // a hash was made by this search
        bool spinning = false; // on a spinning disk
    };

    void report(const Progress& progress, bool always)
    {
        const auto now = Clock::now();
        if (!m_progress || (!always && now - m_lastReport < kProgressInterval))
            return;
        m_lastReport = now;
        m_progress(progress);
    }
    void reportHashing(bool always)
    {
        report(Progress::hashing(m_settled.load(), std::int64_t(m_candidates.size())), always);
    }

    void measureLengths();
    void decideDisks();
    void lookUpCache();
    // Hashes the first block (when `whole` is false) or the whole content of the candidates at
    // these positions.
    void hash(std::vector<std::size_t> work, bool whole);
    // The candidates to read whole: those sharing their length and their first block with
    // another, whose whole hash is not known yet.
    std::vector<std::size_t> sharingFirstBlocks();
    std::vector<ContentGroup> group() const;
    void keepHashes();

    const DuplicateFinder& m_finder;
    const DuplicateCandidates& m_files;
    const CancellationToken& m_token;
    const ProgressHandler& m_progress;
    const std::int64_t m_startedNs;
    std::vector<std::unique_ptr<ContentReader>> m_readers;
    std::optional<HashCache> m_cache;
    std::vector<Candidate> m_candidates;
    std::atomic<std::int64_t> m_settled{0};
    std::atomic<std::int64_t> m_unreadable{0};
    std::atomic<std::int64_t> m_changed{0};
    std::int64_t m_cachedFiles = 0;
    Clock::time_point m_lastReport{};
};

void DuplicateFinder::Search::measureLengths()
{
    // Each reader keeps what it found; the lists are joined afterwards.
    struct Measured {
        FileStamp stamp;
        std::uint32_t file;
    };
    std::vector<std::vector<Measured>> found(m_readers.size());
    std::atomic<std::int64_t> processed{0};
    // The files of one folder follow each other; each run of them is looked at through one
    // descriptor of their folder, so that no path is walked more than once.
    std::vector<std::size_t> runs;
    for (std::size_t i = 0; i < m_files.size(); ++i)
        if (i == 0 || m_files.folder(i) != m_files.folder(i - 1))
            runs.push_back(i);
    runs.push_back(m_files.size());
    const auto measure = [&](std::size_t worker, std::size_t index, int folder) {
        const std::optional<FileStamp> stamp =
            folder >= 0 ? ContentReader::stamp(folder, std::string(m_files.name(index)).c_str())
                        : std::nullopt;
        ++processed;
        if (!stamp) {
            // Not a regular file (a link, a device ...): nothing to compare.
            if (errno != EINVAL)
                (errno == ENOENT || errno == ENOTDIR ? m_changed : m_unreadable)++;
            return;
        }
        // A name that now leads to another file than the one scanned is left alone.
        const std::uint64_t inode = m_files.inode(index);
        const std::uint64_t device = m_files.device(index);
        if ((inode != 0 && inode != stamp->inode) || (device != 0 && device != stamp->device)) {
            ++m_changed;
            return;
        }
        if (stamp->size >= m_finder.m_minFileSize)
            found[worker].push_back({*stamp, std::uint32_t(index)});
    };
    report(Progress::groupingBySize(0), true);
    inParallel(
        runs.size() - 1, m_readers.size(), m_token,
        [&](std::size_t worker, std::size_t run) {
            const int folder =
                ContentReader::openFolder(m_files.folderPath(m_files.folder(runs[run])));
            for (std::size_t i = runs[run]; i < runs[run + 1] && !m_token.isCancelled(); ++i)
                measure(worker, i, folder);
            if (folder >= 0)
                ::close(folder);
        },
        [&] { report(Progress::groupingBySize(processed.load()), false); });
    if (m_token.isCancelled())
        return;
    report(Progress::groupingBySize(processed.load()), true);

    std::vector<Measured> all;
    for (std::vector<Measured>& part : found) {
        all.insert(all.end(), part.begin(), part.end());
        std::vector<Measured>().swap(part);
    }
    // By length, then by file: the further names of one file become neighbours, and the first
    // of them in the tree's order stays.
    const auto key = [](const Measured& m) {
        return std::tuple(m.stamp.size, m.stamp.device, m.stamp.inode, m.file);
    };
    std::sort(all.begin(), all.end(),
              [&](const Measured& a, const Measured& b) { return key(a) < key(b); });
    all.erase(std::unique(all.begin(), all.end(),
                          [](const Measured& a, const Measured& b) {
                              return a.stamp.device == b.stamp.device &&
                                     a.stamp.inode == b.stamp.inode;
                          }),
              all.end());
    for (std::size_t start = 0, end = 0; start < all.size(); start = end) {
        end = start + 1;
        while (end < all.size() && all[end].stamp.size == all[start].stamp.size)
            ++end;
        for (std::size_t i = start; end - start >= 2 && i < end; ++i) {
            Candidate& candidate = m_candidates.emplace_back();
            candidate.stamp = all[i].stamp;
            candidate.file = all[i].file;
        }
    }
}

void DuplicateFinder::Search::decideDisks()
{
    const Readers::Disks disks = m_finder.m_readers.disks;
    if (disks != Readers::Disks::asDescribed) {
        for (Candidate& c : m_candidates)
            c.spinning = disks == Readers::Disks::spinning;
        return;
    }
    MountTable mounts;
    std::unordered_map<std::uint64_t, bool> spinning;
    for (Candidate& c : m_candidates) {
        const auto [it, added] = spinning.try_emplace(c.stamp.device, false);
        if (added)
            it->second = mounts.isRotational(major(c.stamp.device), minor(c.stamp.device));
        c.spinning = it->second;
    }
}

void DuplicateFinder::Search::lookUpCache()
{
    if (m_finder.m_hashCacheFile.empty())
        return;
    m_cache.emplace(m_finder.m_hashCacheFile);
    m_cache->load();
    for (Candidate& c : m_candidates) {
        const std::optional<HashCache::Entry> entry = m_cache->find(c.stamp);
        if (!entry)
            continue;
        c.first = entry->firstBlock;
        c.hasFirst = true;
        c.whole = entry->whole;
        c.hasWhole = entry->hasWhole;
        ++m_cachedFiles;
        if (c.hasWhole)
            ++m_settled;
    }
}

void DuplicateFinder::Search::hash(std::vector<std::size_t> work, bool whole)
{
    // A spinning disk reads its files in the order they lie on it: for the first blocks, the
    // order of their inodes (which the file system places near their content), for whole
    // contents the place of their first extent. The rest: the largest first, so that the
    // readers end together.
    const auto key = [&](std::size_t i) {
        const Candidate& c = m_candidates[i];
        return std::tuple(!c.spinning, c.spinning ? c.stamp.device : 0,
                          c.spinning ? (whole ? c.physicalOffset : c.stamp.inode)
                                     : std::uint64_t(-c.stamp.size));
    };
    std::stable_sort(work.begin(), work.end(),
                     [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    std::vector<std::size_t> turnOf(work.size(), SIZE_MAX);
    std::size_t turns = 0;
    for (std::size_t i = 0; i < work.size(); ++i)
        if (m_candidates[work[i]].spinning)
            turnOf[i] = turns++;
    DiskTurns disk(turns);

    inParallel(
        work.size(), m_readers.size(), m_token,
        [&](std::size_t worker, std::size_t item) {
            Candidate& c = m_candidates[work[item]];
            const std::size_t turn = turnOf[item];
            const ContentReader::DiskTurn waitForDisk =
                turn == SIZE_MAX ? ContentReader::DiskTurn()
                                 : [&] { return disk.waitFor(turn, m_token); };
            const std::int64_t length =
                whole ? c.stamp.size : std::min(c.stamp.size, kFirstBlockSize);
            const ContentReader::Result result = m_readers[worker]->hash(
                m_files.path(c.file), c.stamp, length, c.spinning && !whole, waitForDisk, m_token);
            if (turn != SIZE_MAX)
                disk.finish(turn);
            switch (result.status) {
            case ContentReader::Status::hashed:
                c.learned = true;
                if (!whole) {
                    c.first = result.hash;
                    c.hasFirst = true;
                    c.physicalOffset = result.physicalOffset;
                }
                if (whole || length == c.stamp.size) {
                    c.whole = result.hash;
                    c.hasWhole = true;
                    ++m_settled;
                }
                break;
            case ContentReader::Status::cancelled:
                break;
            case ContentReader::Status::unreadable:
            case ContentReader::Status::changed:
                (result.status == ContentReader::Status::changed ? m_changed : m_unreadable)++;
                c.failed = true;
                ++m_settled;
                break;
            }
        },
        [&] { reportHashing(false); });
}

std::vector<DuplicateFinder::ContentGroup> DuplicateFinder::Search::group() const
{
    std::vector<const Candidate*> hashed;
    for (const Candidate& c : m_candidates)
        if (c.hasWhole && !c.failed)
            hashed.push_back(&c);
    std::sort(hashed.begin(), hashed.end(), [](const Candidate* a, const Candidate* b) {
        return std::tuple(a->stamp.size, a->whole, a->file) <
               std::tuple(b->stamp.size, b->whole, b->file);
    });
    std::vector<ContentGroup> groups;
    for (std::size_t start = 0, end = 0; start < hashed.size(); start = end) {
        end = start + 1;
        while (end < hashed.size() && hashed[end]->stamp.size == hashed[start]->stamp.size &&
               hashed[end]->whole == hashed[start]->whole)
            ++end;
        if (end - start < 2)
            continue;
        ContentGroup group{hashed[start]->whole, hashed[start]->stamp.size, {}};
        for (std::size_t i = start; i < end; ++i)
            group.members.push_back({hashed[i]->file, hashed[i]->stamp});
        groups.push_back(std::move(group));
    }
    std::sort(groups.begin(), groups.end(), [](const ContentGroup& a, const ContentGroup& b) {
        return std::tuple(-a.wastedSpace(), -a.size, a.members.front().file) <
               std::tuple(-b.wastedSpace(), -b.size, b.members.front().file);
    });
    return groups;
}

void DuplicateFinder::Search::keepHashes()
{
    if (!m_cache)
        return;
    for (const Candidate& c : m_candidates) {
        const bool settled =
            m_startedNs - std::max(c.stamp.modifiedNs, c.stamp.changedNs) > kSettledNs;
        if (c.learned && !c.failed && settled)
            m_cache->remember({c.stamp, c.first, c.whole, c.hasWhole});
    }
    m_cache->save();
}

std::vector<std::size_t> DuplicateFinder::Search::sharingFirstBlocks()
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < m_candidates.size(); ++i)
        if (m_candidates[i].hasFirst && !m_candidates[i].failed)
            order.push_back(i);
    const auto key = [&](std::size_t i) {
        return std::tuple(m_candidates[i].stamp.size, m_candidates[i].first);
    };
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    std::vector<std::size_t> shared;
    for (std::size_t start = 0, end = 0; start < order.size(); start = end) {
        end = start + 1;
        while (end < order.size() && key(order[end]) == key(order[start]))
            ++end;
        for (std::size_t i = start; i < end; ++i) {
            if (m_candidates[order[i]].hasWhole)
                continue;
            if (end - start >= 2)
                shared.push_back(order[i]);
            else
                ++m_settled; // its first block is its own: read no further
        }
    }
    return shared;
}

DuplicateFinder::Outcome DuplicateFinder::Search::run()
{
    Outcome outcome;
    outcome.files = m_files.filesInTree();
    const auto finish = [&](Outcome::Status status) {
        outcome.status = status;
        outcome.unreadable = m_unreadable.load();
        outcome.changed = m_changed.load();
        for (const auto& reader : m_readers)
            outcome.bytesRead += reader->bytesRead();
        return outcome;
    };

    measureLengths();
    if (m_token.isCancelled())
        return finish(Outcome::Status::cancelled);
    outcome.candidates = std::int64_t(m_candidates.size());
    decideDisks();
    lookUpCache();
    outcome.cachedFiles = m_cachedFiles;
    reportHashing(true);

    std::vector<std::size_t> firstBlocks;
    for (std::size_t i = 0; i < m_candidates.size(); ++i)
        if (!m_candidates[i].hasFirst)
            firstBlocks.push_back(i);
    hash(std::move(firstBlocks), false);
    if (!m_token.isCancelled()) {
        // Only files that share their length and their first block with another are read whole.
        std::vector<std::size_t> wholeContents = sharingFirstBlocks();
        reportHashing(true);
        hash(std::move(wholeContents), true);
    }
    keepHashes();
    if (m_token.isCancelled())
        return finish(Outcome::Status::cancelled);
    reportHashing(true);
    outcome.groups = group();
    report(Progress::completed(std::int64_t(outcome.groups.size()), outcome.wastedSpace()), true);
    return finish(Outcome::Status::completed);
}

DuplicateFinder::Outcome DuplicateFinder::find(const DuplicateCandidates& files,
                                               const CancellationToken& token,
                                               const ProgressHandler& progress) const
{
    return Search(*this, files, token, progress).run();
}

DuplicateFinder::Recheck DuplicateFinder::recheck(const DuplicateCandidates& files,
                                                  const ContentGroup& group,
                                                  const CancellationToken& token) const
{
    Recheck recheck;
    ContentReader reader{static_cast<std::size_t>(m_chunkSize)};
    struct Now {
        Member member;
        ContentHash hash;
    };
    std::vector<Now> members;
    for (const Member& member : group.members) {
        const std::string path = files.path(member.file);
        const std::optional<FileStamp> stamp = ContentReader::stamp(path);
        const bool sameFileAsAnother =
            stamp && std::any_of(members.begin(), members.end(), [&](const Now& m) {
                return m.member.stamp.device == stamp->device &&
                       m.member.stamp.inode == stamp->inode;
            });
        if (stamp && *stamp == member.stamp && !sameFileAsAnother) {
            members.push_back({member, group.hash});
            continue;
        }
        recheck.changed = true;
        if (!stamp || sameFileAsAnother || stamp->size < m_minFileSize)
            continue;
        const ContentReader::Result result =
            reader.hash(path, *stamp, stamp->size, false, {}, token);
        if (result.status == ContentReader::Status::cancelled) {
            recheck.cancelled = true;
            return recheck;
        }
        if (result.status == ContentReader::Status::hashed)
            members.push_back({{member.file, *stamp}, result.hash});
    }
    // Grouped again by length and content; members keep their order.
    std::vector<bool> placed(members.size(), false);
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (placed[i])
            continue;
        ContentGroup again{members[i].hash, members[i].member.stamp.size, {}};
        for (std::size_t j = i; j < members.size(); ++j)
            if (!placed[j] && members[j].hash == again.hash &&
                members[j].member.stamp.size == again.size) {
                placed[j] = true;
                again.members.push_back(members[j].member);
            }
        if (again.members.size() >= 2)
            recheck.groups.push_back(std::move(again));
    }
    return recheck;
}

std::vector<DuplicateFinder::DuplicateGroup>
DuplicateFinder::nodeGroups(const std::vector<ContentGroup>& groups,
                            const DuplicateCandidates& files, const std::vector<NodeRef>& treeFiles)
{
    std::unordered_map<NodeId, const NodeRef*, NodeIdHash> nodes;
    for (const ContentGroup& group : groups)
        for (const Member& member : group.members)
            nodes.emplace(files.id(member.file), nullptr);
    for (const NodeRef& node : treeFiles) {
        const auto it = nodes.find(node->id());
        if (it != nodes.end())
            it->second = &node;
    }
    std::vector<DuplicateGroup> out;
    for (const ContentGroup& group : groups) {
        DuplicateGroup nodeGroup;
        nodeGroup.hash = group.hash.toHex();
        nodeGroup.fileSize = group.size;
        for (const Member& member : group.members)
            if (const NodeRef* node = nodes[files.id(member.file)])
                nodeGroup.files.push_back(*node);
        if (nodeGroup.files.size() >= 2)
            out.push_back(std::move(nodeGroup));
    }
    return out;
}

} // namespace plenvo
