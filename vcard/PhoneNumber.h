#pragma once

#include "PersonText.h"

#include <optional>
#include <string_view>

namespace vcard {

// The three parts of a phone number as a card writes it: "090-1234-5678"
// keeps its parts as they are when they fit the form; any other form ("09012345678", "+81 90 1234
// 5678", "tel:+81-3-1234-5678") is split where Japanese numbers are split,
// never dropping a digit. nullopt when the text holds no number.
[[nodiscard]] std::optional<PhoneParts> SplitPhoneNumber(std::string_view text);

// The parts joined with hyphens, as cards show numbers.
[[nodiscard]] std::string JoinPhoneNumber(const PhoneParts& parts);

}  // namespace vcard
