#include "QtScanFilePanel.h"

#include "utils/Localization.h"

#include <QDir>
#include <QFileDialog>

namespace plenvo {

namespace {

QStringList nameFilters()
{
    return {L("import.filterScans") + QStringLiteral(" (*.json *.json.gz)"),
            L("import.filterAll") + QStringLiteral(" (*)")};
}

std::optional<QString> run(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> QtScanFilePanel::chooseScanToOpen(QWidget* parent)
{
    QFileDialog dialog(parent, L("import.dialogTitle"), QDir::homePath());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters());
    return run(dialog);
}

std::optional<QString> QtScanFilePanel::chooseExportLocation(QWidget* parent,
                                                             const QString& suggestedName)
{
    QFileDialog dialog(parent, L("export.dialogTitle"), QDir::home().filePath(suggestedName));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters());
    dialog.setDefaultSuffix(QStringLiteral("json")); // a name typed without one
    return run(dialog);
}

} // namespace plenvo
