#pragma once

#include "Clipboard.h"

#include <memory>

class QMimeData;

namespace plenvo {

// The application's clipboard (QGuiApplication::clipboard()).
class SystemClipboard final : public Clipboard {
public:
    void copyPaths(const std::vector<std::string>& paths) override;

    // What copied locations become: the paths as plain text for reading, one per line (names
    // that are not UTF-8 show replacement characters there; a path with control characters is
    // quoted as a shell reads it back, see ShellQuote) and, for pasting into file managers and
    // terminals, a text/uri-list whose file URIs hold the exact bytes.
    static std::unique_ptr<QMimeData> mimeDataFor(const std::vector<std::string>& paths);
};

} // namespace plenvo
