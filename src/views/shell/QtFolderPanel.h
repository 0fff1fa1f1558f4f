#pragma once

#include "FolderPanel.h"

namespace plenvo {

// QFileDialog in folder mode, one folder at a time.
class QtFolderPanel final : public FolderPanel {
public:
    std::optional<QString> chooseFolder(QWidget* parent, const Options& options) override;
};

} // namespace plenvo
