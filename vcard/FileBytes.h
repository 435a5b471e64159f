#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vcard {

// The whole file; nullopt with errno set when it cannot be read.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Writes the bytes to a temporary file beside path and renames it over
// path, so that path holds either its old bytes or all the new ones. On
// failure the temporary file is removed and errno says why.
[[nodiscard]] bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vcard
