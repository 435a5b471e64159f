#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Reads what the user typed into a number field: the first 31 bytes, blanks
// and tabs around one decimal number, an optional '+', no '-'. Numbers
// above 4294967295 read as 4294967295. A number that reads as 0 is taken
// only when the text begins with '0'. nullopt when the text is not such a
// number.
[[nodiscard]] std::optional<std::uint32_t> ParseUnsignedField(std::string_view text);
