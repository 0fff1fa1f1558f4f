#include "QtFolderPanel.h"

#include <QDir>
#include <QFileDialog>

namespace plenvo {

std::optional<QString> QtFolderPanel::chooseFolder(QWidget* parent, const Options& options)
{
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::ReadOnly, !options.allowCreatingFolders);
    dialog.setDirectory(QDir::homePath());
    if (!options.message.isEmpty())
        dialog.setWindowTitle(options.message);
    if (!options.confirmText.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, options.confirmText);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace plenvo
