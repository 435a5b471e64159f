#pragma once

#include "PersonText.h"

#include <string>

namespace vcard {

// Appends the person as one vCard 3.0 card: UTF-8, CR LF, lines folded at
// 75 octets between characters, values escaped. A birth date no calendar
// has is left out; the result says whether it was.
[[nodiscard]] bool AppendCard(std::string& out, const PersonText& person);

}  // namespace vcard
