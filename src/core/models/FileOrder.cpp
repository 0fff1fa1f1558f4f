#include "FileOrder.h"

#include <QHash>
#include <QMutex>
#include <QVarLengthArray>

#include <algorithm>
#include <bit>
#include <unordered_map>

namespace plenvo {

namespace {

constexpr int kFirstPrintable = 0x20;
constexpr int kLastPrintable = 0x7E;
constexpr int kPrintableCount = kLastPrintable - kFirstPrintable + 1;
constexpr int kCharsPerKey = 9;
constexpr int kBitsPerChar = 7;

bool isPrintableAscii(unsigned char c)
{
    return c >= kFirstPrintable && c <= kLastPrintable;
}

QString displayName(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

struct FileOrder::Ranks {
    std::array<std::uint8_t, 256> rank{}; // 1..95 for printable ASCII, 0 otherwise
};

struct FileOrder::Entry {
    std::int64_t size;
    std::uint64_t key;
    const FileNode* node;
    std::uint32_t index;
    std::uint8_t decided; // leading key characters that decide the order on their own
    bool complete;        // the key holds the whole name
    bool ascii;           // the name is printable ASCII throughout
};

// Reads the collation ranks of printable ASCII from the collator and checks that ordering
// ASCII text by them agrees with the collator: every pair and every single character is
// collated as the rank tuples say. A locale with contractions ("ch" as one letter) or with
// ignorable punctuation fails the check and gets no fast path.
std::shared_ptr<const FileOrder::Ranks> FileOrder::computeRanks(const QCollator& collator)
{
    QString chars[kPrintableCount];
    int order[kPrintableCount];
    for (int i = 0; i < kPrintableCount; ++i) {
        chars[i] = QString(QChar(kFirstPrintable + i));
        order[i] = i;
        if (collator.compare(chars[i], QString()) <= 0)
            return nullptr; // an ignorable character
    }
    std::stable_sort(order, order + kPrintableCount,
                     [&](int a, int b) { return collator.compare(chars[a], chars[b]) < 0; });
    auto ranks = std::make_shared<FileOrder::Ranks>();
    int rank = 0;
    for (int i = 0; i < kPrintableCount; ++i) {
        if (i == 0 || collator.compare(chars[order[i - 1]], chars[order[i]]) != 0)
            ++rank;
        ranks->rank[kFirstPrintable + order[i]] = std::uint8_t(rank);
    }

    // Every one- and two-character string, ordered by the collator, must come out in
    // rank-tuple order, with equal tuples collating equal.
    struct Sample {
        QString text;
        int tuple;
    };
    std::vector<Sample> samples;
    samples.reserve(kPrintableCount * (kPrintableCount + 1));
    for (int a = kFirstPrintable; a <= kLastPrintable; ++a) {
        samples.push_back({QString(QChar(a)), ranks->rank[a] * 128});
        for (int b = kFirstPrintable; b <= kLastPrintable; ++b)
            samples.push_back(
                {QString(QChar(a)) + QChar(b), ranks->rank[a] * 128 + ranks->rank[b]});
    }
    std::stable_sort(samples.begin(), samples.end(), [&](const Sample& x, const Sample& y) {
        return collator.compare(x.text, y.text) < 0;
    });
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const Sample& previous = samples[i - 1];
        const Sample& current = samples[i];
        const int collated = collator.compare(previous.text, current.text);
        if (previous.tuple > current.tuple || (previous.tuple == current.tuple) != (collated == 0))
            return nullptr;
    }
    return ranks;
}

// The check costs a few thousand collator calls, so its outcome is kept per locale.
std::shared_ptr<const FileOrder::Ranks> FileOrder::ranksFor(const QCollator& collator)
{
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const Ranks>> cache;
    const QString name = collator.locale().name();
    QMutexLocker lock(&mutex);
    auto it = cache.find(name);
    if (it == cache.end())
        it = cache.insert(name, computeRanks(collator));
    return it.value();
}

FileOrder::FileOrder(const QLocale& locale) : m_collator(locale)
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
    m_ranks = ranksFor(m_collator);
}

bool FileOrder::usesFastPath() const
{
    return m_ranks != nullptr;
}

FileOrder::Entry FileOrder::entryFor(const FileNode* node, std::uint32_t index) const
{
    Entry entry{node->fileSize(), 0, node, index, 0, false, false};
    if (!m_ranks)
        return entry;
    const std::string_view name = node->nameBytes();
    std::size_t printable = 0;
    while (printable < name.size() && isPrintableAscii(static_cast<unsigned char>(name[printable])))
        ++printable;
    entry.ascii = printable == name.size();
    const std::size_t keyed = std::min<std::size_t>(printable, kCharsPerKey);
    for (std::size_t i = 0; i < keyed; ++i)
        entry.key |= std::uint64_t(m_ranks->rank[static_cast<unsigned char>(name[i])])
                     << (kBitsPerChar * (kCharsPerKey - 1 - i));
    if (entry.ascii) {
        // The zero after a short name stands for its end, which orders before any character.
        entry.decided = kCharsPerKey;
        entry.complete = name.size() <= kCharsPerKey;
    } else {
        // Stop one short of the first other character, which might combine with the one
        // before it.
        entry.decided =
            std::uint8_t(printable == 0 ? 0 : std::min<std::size_t>(printable - 1, kCharsPerKey));
    }
    return entry;
}

// Collation keys of the names that the fast path cannot order, made on first need and kept
// for the rest of one sort, so that each such name is collated once rather than at every
// comparison.
class FileOrder::SortKeys {
public:
    explicit SortKeys(const QCollator& collator) : m_collator(collator) {}

    int compare(const FileNode& a, const FileNode& b) { return keyFor(a).compare(keyFor(b)); }

private:
    const QCollatorSortKey& keyFor(const FileNode& node)
    {
        auto it = m_keys.find(&node);
        if (it == m_keys.end())
            it = m_keys.emplace(&node, m_collator.sortKey(displayName(node.nameBytes()))).first;
        return it->second;
    }

    const QCollator& m_collator;
    std::unordered_map<const FileNode*, QCollatorSortKey> m_keys;
};

int FileOrder::compareEntries(const Entry& a, const Entry& b, SortKeys* keys) const
{
    if (m_ranks) {
        const std::uint64_t difference = a.key ^ b.key;
        if (difference) {
            const int position =
                kCharsPerKey - 1 - (63 - std::countl_zero(difference)) / kBitsPerChar;
            if (position < a.decided && position < b.decided)
                return a.key < b.key ? -1 : 1;
        } else if (a.complete && b.complete) {
            return 0;
        }
        if (a.ascii && b.ascii) {
            const std::string_view x = a.node->nameBytes();
            const std::string_view y = b.node->nameBytes();
            const std::size_t common = std::min(x.size(), y.size());
            for (std::size_t i = 0; i < common; ++i) {
                const int rx = m_ranks->rank[static_cast<unsigned char>(x[i])];
                const int ry = m_ranks->rank[static_cast<unsigned char>(y[i])];
                if (rx != ry)
                    return rx < ry ? -1 : 1;
            }
            return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
        }
    }
    if (keys)
        return keys->compare(*a.node, *b.node);
    return m_collator.compare(displayName(a.node->nameBytes()), displayName(b.node->nameBytes()));
}

bool FileOrder::entryBefore(const Entry& a, const Entry& b, SortKeys* keys) const
{
    if (a.size != b.size)
        return a.size > b.size;
    const int names = compareEntries(a, b, keys);
    if (names != 0)
        return names < 0;
    return a.index < b.index;
}

int FileOrder::compareNames(const FileNode& a, const FileNode& b) const
{
    return compareEntries(entryFor(&a, 0), entryFor(&b, 0), nullptr);
}

bool FileOrder::before(const FileNode& a, const FileNode& b) const
{
    if (a.fileSize() != b.fileSize())
        return a.fileSize() > b.fileSize();
    return compareNames(a, b) < 0;
}

void FileOrder::sort(std::vector<NodeRef>& files) const
{
    const std::vector<std::uint8_t> oneGroup(files.size(), 0);
    files = std::move(sortedGroups(files, oneGroup, 1).front());
}

std::vector<std::vector<NodeRef>> FileOrder::sortedGroups(std::span<const NodeRef> files,
                                                          std::span<const std::uint8_t> groupOf,
                                                          std::size_t groupCount) const
{
    // Each entry's index is its position within its group, which follows the order of
    // `files`, and serves both as the last tie-break and to place the references at the end.
    std::vector<std::vector<Entry>> entries(groupCount);
    std::vector<std::vector<NodeRef>> groups(groupCount);
    std::vector<std::size_t> sizes(groupCount, 0);
    for (std::uint8_t group : groupOf)
        ++sizes[group];
    for (std::size_t g = 0; g < groupCount; ++g) {
        entries[g].reserve(sizes[g]);
        groups[g].reserve(sizes[g]);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::uint8_t group = groupOf[i];
        entries[group].push_back(entryFor(files[i].get(), std::uint32_t(entries[group].size())));
        groups[group].push_back(files[i]);
    }
    SortKeys keys(m_collator);
    for (std::size_t g = 0; g < groupCount; ++g) {
        std::sort(entries[g].begin(), entries[g].end(),
                  [&](const Entry& a, const Entry& b) { return entryBefore(a, b, &keys); });
        std::vector<NodeRef> sorted;
        sorted.reserve(entries[g].size());
        for (const Entry& entry : entries[g])
            sorted.push_back(std::move(groups[g][entry.index])); // moved, each exactly once
        groups[g] = std::move(sorted);
    }
    return groups;
}

std::vector<NodeRef> FileOrder::first(std::span<const NodeRef> files, std::size_t count) const
{
    // A heap of the best `count` so far, worst on top. Most files lose on size alone, so an
    // entry (and its name key) is built only for the few that tie with or beat the worst.
    SortKeys keys(m_collator);
    std::vector<Entry> heap;
    heap.reserve(std::min(count, files.size()) + 1);
    auto worseFirst = [&](const Entry& a, const Entry& b) { return entryBefore(a, b, &keys); };
    for (std::size_t i = 0; i < files.size() && count > 0; ++i) {
        const FileNode* node = files[i].get();
        if (heap.size() == count) {
            const Entry& worst = heap.front();
            if (node->fileSize() < worst.size)
                continue;
            const Entry candidate = entryFor(node, std::uint32_t(i));
            if (!worseFirst(candidate, worst))
                continue;
            std::pop_heap(heap.begin(), heap.end(), worseFirst);
            heap.back() = candidate;
        } else {
            heap.push_back(entryFor(node, std::uint32_t(i)));
        }
        std::push_heap(heap.begin(), heap.end(), worseFirst);
    }
    std::sort_heap(heap.begin(), heap.end(), worseFirst);
    std::vector<NodeRef> result;
    result.reserve(heap.size());
    for (const Entry& entry : heap)
        result.emplace_back(entry.node);
    return result;
}

} // namespace plenvo
