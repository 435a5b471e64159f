#pragma once

#include "AddressTable.h"

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace vcard {

enum class Direction { Import, Export };

// One person the summary names: who, and what happened.
struct ReportLine {
    std::string who;
    std::string what;
};

// How an import or export ended, in numbers and lines (UTF-8).
struct Report {
    Direction direction = Direction::Import;
    std::string fileName;           // the vCard file
    bool ok = false;                // false: the data file and the vCard file are as they were
    std::string failure;            // why not, when !ok
    int cardsRead = 0;              // import: cards in the vCard file
    int done = 0;                   // people added or written
    int skipped = 0;                // people not added or not written
    int readingsFromName = 0;       // import: no reading, the name stands in
    int phonesNotStored = 0;        // import: work, fax, a second number of a kind
    int datesLeftOut = 0;           // birth dates not taken or not written
    std::vector<ReportLine> lines;  // every skipped person and every note, in file order
};

// Lines a message box shows before "他 M 件".
inline constexpr std::size_t MESSAGE_BOX_LINES = 20;
inline constexpr std::size_t ALL_LINES = std::numeric_limits<std::size_t>::max();

// The summary in Japanese: the outcome, the counts, then one line per
// person, at most maxLines of them and then "他 M 件".
[[nodiscard]] std::string SummaryText(const Report& report, std::size_t maxLines = MESSAGE_BOX_LINES);

// The text the form shows when a malformed line stops the scan.
[[nodiscard]] std::string MalformedLineMessage(const ScanStatus& status);

}  // namespace vcard
