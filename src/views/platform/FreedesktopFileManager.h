#pragma once

#include "FileManager.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <functional>

namespace plenvo {

// Reveals items through the freedesktop.org FileManager1 interface on the session bus: one
// ShowItems call with all of them, as percent-encoded file URIs. The call is asynchronous, so a
// file manager that hangs never holds up the user interface. Without a session bus, or when the
// call fails or times out, the folders that hold the items are opened instead, each once and at
// most kMaxFoldersOpened of them (every opening starts a program); a notice then says how many
// were left out.
class FreedesktopFileManager final : public FileManager {
public:
    static constexpr int kCallTimeoutMilliseconds = 5000;
    static constexpr std::size_t kMaxFoldersOpened = 3;

    // Opens a folder given as a file URI; by default with QDesktopServices.
    using FolderOpener = std::function<void(const QByteArray& folderUri)>;
    // Shows a sentence to the user (a toast).
    using Notice = std::function<void(const QString& message)>;

    explicit FreedesktopFileManager(FolderOpener opener = {}, QString busAddress = QString(),
                                    Notice notice = {});
    void revealItems(const std::vector<std::string>& paths) override;

private:
    static void openContainingFolders(const FolderOpener& opener, const Notice& notice,
                                      const std::vector<std::string>& paths);

    FolderOpener m_opener;
    QString m_busAddress; // empty: the session bus
    Notice m_notice;
};

} // namespace plenvo
