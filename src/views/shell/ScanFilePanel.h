#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace plenvo {

// The system's file panels for saved scans, run modally: one to choose a scan to open, one to
// choose where to export the current scan. Behind an interface so that tests can answer them.
class ScanFilePanel {
public:
    virtual ~ScanFilePanel() = default;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<QString> chooseScanToOpen(QWidget* parent) = 0;
    // Where to write the export, proposed as `suggestedName`; nothing when the user cancelled.
    virtual std::optional<QString> chooseExportLocation(QWidget* parent,
                                                        const QString& suggestedName) = 0;
};

} // namespace plenvo
