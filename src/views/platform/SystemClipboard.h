#pragma once

#include "Clipboard.h"

#include <memory>

class QMimeData;

namespace plenvo {

// The application's clipboard (QGuiApplication::clipboard()).
class SystemClipboard final : public Clipboard {
public:
    void copyPath(const std::string& path) override;

    // What a copied location becomes: the path as plain text for reading (names that are not
    // UTF-8 show replacement characters there; a path with control characters is quoted as a
    // shell reads it back, see ShellQuote) and, for pasting into file managers and terminals,
    // a text/uri-list entry whose file URI holds the exact bytes.
    static std::unique_ptr<QMimeData> mimeDataFor(const std::string& path);
};

} // namespace plenvo
