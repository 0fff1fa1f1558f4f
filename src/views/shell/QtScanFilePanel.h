#pragma once

#include "ScanFilePanel.h"

namespace plenvo {

// QFileDialog for saved scans: exports (.json, .json.gz) or any file to open, a location to
// export to.
class QtScanFilePanel final : public ScanFilePanel {
public:
    std::optional<QString> chooseScanToOpen(QWidget* parent) override;
    std::optional<QString> chooseExportLocation(QWidget* parent,
                                                const QString& suggestedName) override;
};

} // namespace plenvo
