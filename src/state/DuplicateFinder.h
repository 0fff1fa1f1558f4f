#pragma once

#include "models/FileNode.h"

#include <QString>
#include <QUuid>

#include <cstdint>
#include <vector>

namespace plenvo {

// Settings of a search for files with identical content, and the value types such a search
// produces. The application holds one finder; no search is run yet.
class DuplicateFinder {
public:
    // Files with the same content.
    struct DuplicateGroup {
        QUuid id = QUuid::createUuid();
        QString hash;
        std::int64_t fileSize = 0;
        std::vector<NodeRef> files;
    };

    // Where a search stands.
    class Progress {
    public:
        enum class Kind { groupingBySize, hashing, completed, idle };

        Progress() = default;
        static Progress idle() { return {}; }
        static Progress groupingBySize(std::int64_t filesProcessed)
        {
            return {Kind::groupingBySize, filesProcessed, 0};
        }
        static Progress hashing(std::int64_t filesHashed, std::int64_t totalToHash)
        {
            return {Kind::hashing, filesHashed, totalToHash};
        }
        static Progress completed(std::int64_t groups, std::int64_t wastedSpace)
        {
            return {Kind::completed, groups, wastedSpace};
        }

        Kind kind() const { return m_kind; }
        std::int64_t filesProcessed() const { return m_first; }
        std::int64_t filesHashed() const { return m_first; }
        std::int64_t totalToHash() const { return m_second; }
        std::int64_t groups() const { return m_first; }
        std::int64_t wastedSpace() const { return m_second; }

        friend bool operator==(const Progress&, const Progress&) = default;

    private:
        Progress(Kind kind, std::int64_t first, std::int64_t second)
            : m_kind(kind), m_first(first), m_second(second)
        {
        }
        Kind m_kind = Kind::idle;
        std::int64_t m_first = 0;
        std::int64_t m_second = 0;
    };

    DuplicateFinder(std::int64_t minFileSize, std::int64_t chunkSize)
        : m_minFileSize(minFileSize), m_chunkSize(chunkSize)
    {
    }

    std::int64_t minFileSize() const { return m_minFileSize; }
    std::int64_t chunkSize() const { return m_chunkSize; }

private:
    const std::int64_t m_minFileSize;
    const std::int64_t m_chunkSize;
};

} // namespace plenvo
