#pragma once

#include "shell/FolderPanel.h"

#include <optional>
#include <vector>

namespace plenvo::test {

// Answers the folder panel with a prepared folder (or a cancel) and records how it was asked.
class FakeFolderPanel final : public FolderPanel {
public:
    std::optional<QString> chooseFolder(QWidget*, const Options& options) override
    {
        asked.push_back(options);
        return answer;
    }

    std::optional<QString> answer;
    std::vector<Options> asked;
};

} // namespace plenvo::test
