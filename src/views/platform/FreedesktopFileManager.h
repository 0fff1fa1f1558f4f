#pragma once

#include "FileManager.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace plenvo {

// Reveals items through the freedesktop.org FileManager1 interface on the session bus
// (ShowItems with percent-encoded file URIs). The call is asynchronous, so a file manager that
// hangs never holds up the user interface. Without a session bus, or when the call fails or
// times out, the folders that hold the items are opened instead.
class FreedesktopFileManager final : public FileManager {
public:
    static constexpr int kCallTimeoutMilliseconds = 5000;

    // Opens a folder given as a file URI; by default with QDesktopServices.
    using FolderOpener = std::function<void(const QByteArray& folderUri)>;

    explicit FreedesktopFileManager(FolderOpener opener = {}, QString busAddress = QString());
    void revealItems(const std::vector<std::string>& paths) override;

private:
    static void openContainingFolders(const FolderOpener& opener,
                                      const std::vector<std::string>& paths);

    FolderOpener m_opener;
    QString m_busAddress; // empty: the session bus
};

} // namespace plenvo
