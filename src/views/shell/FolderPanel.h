#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace plenvo {

// The system's folder-choosing panel, run modally. Behind an interface so that tests can
// answer it.
class FolderPanel {
public:
    struct Options {
        QString message;     // shown above the folders; empty for none
        QString confirmText; // the label of the button that accepts
        bool allowCreatingFolders = true;
    };

    virtual ~FolderPanel() = default;
    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* parent, const Options& options) = 0;
};

} // namespace plenvo
