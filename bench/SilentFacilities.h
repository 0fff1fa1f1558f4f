#pragma once

// Facilities that do nothing, for the modes that measure views or the main window: nothing is
// revealed, copied or chosen during a measurement.

#include "platform/Clipboard.h"
#include "platform/FileManager.h"
#include "shell/FolderPanel.h"
#include "shell/ScanFilePanel.h"

#include <optional>
#include <string>
#include <vector>

namespace plenvo::bench {

class SilentFileManager final : public FileManager {
public:
    void revealItems(const std::vector<std::string>&) override {}
};
class SilentClipboard final : public Clipboard {
public:
    void copyPaths(const std::vector<std::string>&) override {}
};
class SilentFolderPanel final : public FolderPanel {
public:
    std::optional<QString> chooseFolder(QWidget*, const Options&) override { return {}; }
};
class SilentScanFilePanel final : public ScanFilePanel {
public:
    std::optional<QString> chooseScanToOpen(QWidget*) override { return {}; }
    std::optional<QString> chooseExportLocation(QWidget*, const QString&) override { return {}; }
};

} // namespace plenvo::bench
