#pragma once

#include "PersonText.h"

#include <string>

namespace vcard {

// Appends the person as one vCard 3.0 card: UTF-8, CR LF, lines folded at
// 75 octets between characters, values escaped; a phone number and a
// postal code as the parts that hold anything. The form's default date
// (1970-01-01) stands for no birthday and is not written. A birth date no
// calendar has is left out too; the result says whether it was.
[[nodiscard]] bool AppendCard(std::string& out, const PersonText& person);

}  // namespace vcard
