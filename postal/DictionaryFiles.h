#pragma once

#include "Entry.h"
#include "Table.h"

#include <filesystem>
#include <optional>
#include <string>

// Where the dictionary comes from: Debian's SKK files, and the files that
// `kanaroku-zip import` writes, which take their place one by one.
namespace postal {

inline constexpr const char* SKK_GENERAL = "/usr/share/skk/SKK-JISYO.zipcode";
inline constexpr const char* SKK_OFFICE = "/usr/share/skk/SKK-JISYO.office.zipcode";
inline constexpr const char* IMPORTED_GENERAL = "postal-codes.txt";
inline constexpr const char* IMPORTED_OFFICE = "postal-codes-office.txt";

struct Sources {
    std::filesystem::path skkGeneral = SKK_GENERAL;
    std::filesystem::path skkOffice = SKK_OFFICE;
    std::filesystem::path dataDir;  // the imported files' folder
};

// $XDG_DATA_HOME/kanaroku, or ~/.local/share/kanaroku.
[[nodiscard]] std::filesystem::path DataDirectory();

[[nodiscard]] Sources DefaultSources();

// An imported file; nullopt when it is missing or not one of ours.
[[nodiscard]] std::optional<Table> ReadImportedFile(const std::filesystem::path& path);

// Writes entries to a temporary file beside path and renames it over
// path, so that a reader sees the old file or the new one, whole. Returns
// an empty string, or what went wrong.
[[nodiscard]] std::string WriteImportedFile(const std::filesystem::path& path, const Entries& entries);

}  // namespace postal
