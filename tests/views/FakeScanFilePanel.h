#pragma once

#include "shell/ScanFilePanel.h"

#include <optional>

namespace plenvo::test {

// Answers the scan file panels with prepared files (or a cancel) and records what was proposed.
class FakeScanFilePanel final : public ScanFilePanel {
public:
    std::optional<QString> chooseScanToOpen(QWidget*) override
    {
        ++openAsked;
        return openAnswer;
    }
    std::optional<QString> chooseExportLocation(QWidget*, const QString& suggestedName) override
    {
        suggested = suggestedName;
        return exportAnswer;
    }

    std::optional<QString> openAnswer;
    std::optional<QString> exportAnswer;
    int openAsked = 0;
    QString suggested;
};

} // namespace plenvo::test
