#pragma once

#include "Table.h"

#include <filesystem>
#include <optional>
#include <string>

// The SKK zipcode dictionaries of Debian's skkdic-extra: lines like
// `1000005 /東京都千代田区丸の内/` in EUC-JIS-2004, several addresses a
// code, and for businesses `name @ address`.
namespace postal {

// The entries of the file; nullopt when it cannot be read. A line that
// does not decode is left out rather than shown with a substitute.
[[nodiscard]] std::optional<Table> ReadSkkFile(const std::filesystem::path& path, bool businesses);

}  // namespace postal
