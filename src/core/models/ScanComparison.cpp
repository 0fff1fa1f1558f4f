#include "ScanComparison.h"

#include <algorithm>

namespace plenvo {

std::string_view ScanComparison::name(Index index) const
{
    const Item& it = m_items[index];
    if (index == root())
        return it.kind == Kind::gone ? m_summary.oldRootPath : m_summary.newRootPath;
    if (it.node)
        return it.node->nameBytes();
    return std::string_view(m_names).substr(it.m_nameOffset, it.m_nameLength);
}

std::string ScanComparison::path(Index index) const
{
    // Gone items are where the earlier scan found them.
    if (m_items[index].kind == Kind::gone)
        return oldPath(index);
    std::vector<Index> chain;
    for (Index at = index; at != root(); at = m_items[at].parent)
        chain.push_back(at);
    std::string result = m_summary.newRootPath;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (result.empty() || result.back() != '/')
            result.push_back('/');
        result.append(name(*it));
    }
    return result;
}

std::string ScanComparison::oldPath(Index index) const
{
    std::vector<Index> chain;
    std::string result = m_summary.oldRootPath;
    for (Index at = index; at != root(); at = m_items[at].parent) {
        if (m_items[at].kind == Kind::moved) {
            const auto found = std::lower_bound(m_movedFrom.begin(), m_movedFrom.end(), at,
                                                [](const std::pair<Index, std::string>& entry,
                                                   Index i) { return entry.first < i; });
            if (found != m_movedFrom.end() && found->first == at) {
                result = found->second;
                break;
            }
        }
        chain.push_back(at);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (result.empty() || result.back() != '/')
            result.push_back('/');
        result.append(name(*it));
    }
    return result;
}

bool ScanComparison::isChangeInItself(Index index) const
{
    const Item& it = m_items[index];
    switch (it.kind) {
    case Kind::moved:
        return true;
    case Kind::grown:
    case Kind::shrunk:
        return !it.isDirectory;
    case Kind::appeared:
    case Kind::gone: {
        // A new folder that holds a moved one is listed by its parts.
        if (it.holdsMove)
            return false;
        if (index == root())
            return true;
        const Item& above = m_items[it.parent];
        return (above.kind != Kind::appeared && above.kind != Kind::gone) || above.holdsMove;
    }
    case Kind::unchanged:
        break;
    }
    return false;
}

std::vector<ScanComparison::Index> ScanComparison::largestChanges(std::size_t limit) const
{
    std::vector<Index> found;
    for (Index i = 0; i < m_items.size(); ++i)
        if (isChangeInItself(i))
            found.push_back(i);
    const auto magnitude = [this](Index i) {
        const std::int64_t change = m_items[i].change;
        return change < 0 ? 0 - std::uint64_t(change) : std::uint64_t(change);
    };
    const auto larger = [&](Index a, Index b) {
        const std::uint64_t ma = magnitude(a), mb = magnitude(b);
        return ma != mb ? ma > mb : a < b;
    };
    if (found.size() > limit) {
        std::partial_sort(found.begin(), found.begin() + std::ptrdiff_t(limit), found.end(),
                          larger);
        found.resize(limit);
    } else {
        std::sort(found.begin(), found.end(), larger);
    }
    return found;
}

std::size_t ScanComparison::memoryUse() const
{
    std::size_t bytes = m_items.capacity() * sizeof(Item) + m_children.capacity() * sizeof(Index) +
                        m_names.capacity() + m_movedFrom.capacity() * sizeof(m_movedFrom[0]);
    for (const auto& [index, path] : m_movedFrom)
        bytes += path.capacity();
    return bytes;
}

} // namespace plenvo
