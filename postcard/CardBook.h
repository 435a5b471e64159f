#pragma once

#include "AddressRecord.h"
#include "CardLayout.h"
#include "KanaRow.h"

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

// The people of the data file on postcards: read in the list's order,
// chosen by name, laid out, written to a PDF, and summed up.
namespace postcard {

struct BookPerson {
    AddressRecord record;
    KanaRow kanaRow;
};

// Why the book cannot be read: the file cannot be opened, or a malformed
// line hides people. In Japanese.
struct BookFailure {
    std::string reason;
};

// Everyone in ./AddressTable.csv, in the order the name list shows them.
[[nodiscard]] std::variant<std::vector<BookPerson>, BookFailure> ReadBook();

[[nodiscard]] CardPerson PersonOf(const AddressRecord& record);
[[nodiscard]] std::string NameOf(const AddressRecord& record);

// One person the summary names: who, and what happened.
struct SummaryLine {
    std::string who;
    std::string what;
};

struct CardRun {
    bool written = false;
    std::string failure;  // why nothing was written
    int cards = 0;
    int leftOut = 0;
    std::vector<SummaryLine> lines;  // who was left out and why, and what written cards lack
};

// A print run from the command line: the people with these names (all
// when none is given, UTF-8), the sender by name (the first with it), to
// path. options.sender is filled from senderName.
struct CardRequest {
    std::string path;
    std::vector<std::string> names;
    std::string senderName;  // empty for none
    CardOptions options;
};

[[nodiscard]] CardRun WriteBookCards(const CardRequest& request);

inline constexpr std::size_t SUMMARY_LINES = 20;

// The summary in Japanese: the cards written (or why none), then one line
// per person, at most maxLines of them and then "他 M 件".
[[nodiscard]] std::string SummaryText(const CardRun& run, const std::string& path,
                                      std::size_t maxLines = SUMMARY_LINES);

}  // namespace postcard
