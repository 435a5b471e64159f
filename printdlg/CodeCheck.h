#pragma once

#include "CardBook.h"

#include <string>
#include <vector>

namespace printdlg {

// For each person, why their postal code does not belong to their address
// by the postal-code dictionary (a card with a wrong code comes back), in
// Japanese; empty when it belongs, when the dictionary does not know the
// address's town, when the code is not 3 + 4 digits, and for everyone when
// no dictionary is installed or imported.
[[nodiscard]] std::vector<std::string> CodeMismatches(const std::vector<postcard::BookPerson>& people);

}  // namespace printdlg
