#pragma once

#include "PersonText.h"

#include <optional>
#include <string_view>

namespace vcard {

// The three parts of a phone number as a card writes it, never losing,
// adding or moving a digit across the groups the writer made:
// - "090-1234-5678", three parts that fit the form, is kept as written;
// - otherwise parentheses, hyphens, blanks and dots separate groups, and
//   up to three groups that fit the parts (5, 4 and 4 characters) are
//   kept, one or two of them in the last parts ("9", "6754-5678");
// - a Japanese number written without groups ("09012345678",
//   "+81312345678") is split where Japanese numbers are split; a leading
//   "+81" group stands for the 0 of the next one ("+81 90 1234 5678").
// nullopt when the number cannot be held that way (most international
// numbers, an extension, letters) or the text holds no digit; HasDigits
// tells the two apart.
[[nodiscard]] std::optional<PhoneParts> SplitPhoneNumber(std::string_view text);

[[nodiscard]] bool HasDigits(std::string_view text);

// The parts that hold anything, joined with hyphens, as cards show numbers.
[[nodiscard]] std::string JoinPhoneNumber(const PhoneParts& parts);

}  // namespace vcard
