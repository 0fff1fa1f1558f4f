#pragma once

#include <QString>

#include <cstdint>

namespace plenvo {

// Where a scan stands: idle, scanning (with the name of the folder just listed and the number
// of files met so far), completed (with the result's totals) or failed (with a message).
class ScanProgress {
public:
    enum class Kind { idle, scanning, completed, failed };

    ScanProgress() = default;
    static ScanProgress idle() { return {}; }
    static ScanProgress scanning(const QString& path, std::int64_t filesScanned);
    static ScanProgress completed(std::int64_t totalFiles, std::int64_t totalSize);
    static ScanProgress failed(const QString& message);

    Kind kind() const { return m_kind; }
    // scanning: the last path component of the folder (or file) just scanned, for display
    // (control characters replaced, see DisplayText).
    const QString& path() const { return m_text; }
    std::int64_t filesScanned() const { return m_first; }
    // completed
    std::int64_t totalFiles() const { return m_first; }
    std::int64_t totalSize() const { return m_second; }
    // failed
    const QString& message() const { return m_text; }

    friend bool operator==(const ScanProgress&, const ScanProgress&) = default;

private:
    Kind m_kind = Kind::idle;
    QString m_text;
    std::int64_t m_first = 0;
    std::int64_t m_second = 0;
};

} // namespace plenvo
