#pragma once

#include "Report.h"

#include <filesystem>

// Moving the people of the data file (AddressTable.csv in the working
// directory) to and from a vCard file. Show SummaryText(report) to the
// user either way.
namespace vcard {

// Writes every person of the data file, in file order, as vCard 3.0 to
// vcfPath, replacing it whole or not at all. Refused when there is no
// data file, vcfPath is the data file itself or a malformed line hides
// people; a person whose bytes are no Shift_JIS is skipped.
[[nodiscard]] Report ExportBook(const std::filesystem::path& vcfPath);

// Appends every new person of the vCard file in one write, or nobody.
// Skips names the data file already holds or that come twice, and people
// whose name or reading cannot be held; other fields that cannot are left
// empty and reported. Refused when the file holds no card, or when a
// malformed line stops the scan (people appended after it could never be
// read).
[[nodiscard]] Report ImportBook(const std::filesystem::path& vcfPath);

}  // namespace vcard
