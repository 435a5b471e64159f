#include "FileDialog.h"

#include <QFile>
#include <QFileDialog>

std::optional<std::filesystem::path> AskFileName(QWidget* owner, FileDialogMode mode, const QString& caption,
                                                 const QString& filter, const QString& suffix)
{
    QFileDialog dialog(owner, caption, QString(), filter);
    dialog.setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == FileDialogMode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}
