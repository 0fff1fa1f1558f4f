#include "ScanProgress.h"

#include "utils/DisplayText.h"

namespace plenvo {

ScanProgress ScanProgress::scanning(const QString& path, std::int64_t filesScanned)
{
    ScanProgress p;
    p.m_kind = Kind::scanning;
    p.m_text = DisplayText::withoutControlCharacters(path);
    p.m_first = filesScanned;
    return p;
}

ScanProgress ScanProgress::completed(std::int64_t totalFiles, std::int64_t totalSize)
{
    ScanProgress p;
    p.m_kind = Kind::completed;
    p.m_first = totalFiles;
    p.m_second = totalSize;
    return p;
}

ScanProgress ScanProgress::failed(const QString& message)
{
    ScanProgress p;
    p.m_kind = Kind::failed;
    p.m_text = message;
    return p;
}

} // namespace plenvo
