#pragma once

#include "Entry.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

// Japan Post's downloads as a user saves them: utf_ken_all (UTF-8),
// ken_all (Shift_JIS, half-width kana) and jigyosyo (businesses), each as
// the zip or the CSV inside it.
namespace postal {

struct ParsedFile {
    Entries entries;
    bool businesses = false;
};

// The entries of one CSV file's bytes; a message in Japanese, naming the
// line, when the bytes are not one of Japan Post's files.
[[nodiscard]] std::variant<ParsedFile, std::string> ParseJapanPostCsv(std::string_view bytes);

struct ImportResult {
    bool ok = false;
    std::string message;  // what was written, or why nothing was
};

// Reads the file (zip or CSV) and replaces the imported file of its kind
// in dataDir, all or nothing.
[[nodiscard]] ImportResult ImportJapanPostFile(const std::filesystem::path& file, const std::filesystem::path& dataDir);

}  // namespace postal
