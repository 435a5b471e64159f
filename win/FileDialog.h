#pragma once

#include <QString>

#include <filesystem>
#include <optional>

class QWidget;

enum class FileDialogMode { Open, Save };

// Asks for a file with Qt's file dialog, modal over the owner. `filter` is
// Qt's name filter ("vCard (*.vcf)"); a file saved without a suffix gets
// `suffix`. nullopt when the user cancelled.
[[nodiscard]] std::optional<std::filesystem::path> AskFileName(QWidget* owner, FileDialogMode mode,
                                                               const QString& caption, const QString& filter,
                                                               const QString& suffix);
