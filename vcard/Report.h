#pragma once

#include "AddressTable.h"

#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace vcard {

enum class Direction { Import, Export };

// What the summary counts, in the order it shows them; each count is
// followed by the lines that belong to it.
enum class Heading {
    Skipped,           // people not added or not written
    ReadingFromName,   // import: no reading, the name stands in
    FieldLeftEmpty,    // import: a field that could not be held as it stands
    PhoneUnholdable,   // import: a number the three parts cannot hold unchanged
    PhoneNotStored,    // import: work, fax, a second number of a kind
    AddressNotStored,  // import: work addresses, a second address
    CodeInAddress,     // import: a postal code that is no 3 + 4 digits, kept in the address
    AddressBlanked,    // import: commas and line breaks of an address made blanks
    DateLeftOut,       // birth dates not taken or not written
};
inline constexpr std::size_t HEADING_COUNT = static_cast<std::size_t>(Heading::DateLeftOut) + 1;

// One line under a heading: who, and what happened.
struct ReportLine {
    Heading heading = Heading::Skipped;
    std::string who;
    std::string what;
};

// How an import or export ended, in numbers and lines (UTF-8).
struct Report {
    Direction direction = Direction::Import;
    std::string fileName;                     // the vCard file
    bool ok = false;                          // false: the data file and the vCard file are as they were
    std::string failure;                      // why not, when !ok
    int done = 0;                             // people added or written
    std::array<int, HEADING_COUNT> counts{};  // by Heading
    std::vector<ReportLine> lines;            // in file order

    [[nodiscard]] int Count(Heading heading) const { return counts[static_cast<std::size_t>(heading)]; }
    void Add(Heading heading, int howMany = 1) { counts[static_cast<std::size_t>(heading)] += howMany; }
    // Counts one under the heading and adds its line.
    void AddLine(Heading heading, std::string who, std::string what)
    {
        Add(heading);
        lines.push_back({heading, std::move(who), std::move(what)});
    }
};

// Lines a message box shows before "他 M 件".
inline constexpr std::size_t MESSAGE_BOX_LINES = 20;
inline constexpr std::size_t ALL_LINES = std::numeric_limits<std::size_t>::max();

// The summary in Japanese: the outcome, then each count followed by its
// own lines, at most maxLines lines in all; the lines of a heading that
// did not fit are "他 M 件".
[[nodiscard]] std::string SummaryText(const Report& report, std::size_t maxLines = MESSAGE_BOX_LINES);

}  // namespace vcard
