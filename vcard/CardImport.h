#pragma once

#include "PersonText.h"
#include "Report.h"
#include "VcardReader.h"

#include <optional>
#include <string>
#include <vector>

namespace vcard {

// A line the summary shows about a person taken, under its heading.
struct CardNote {
    Heading heading;
    std::string what;
};

// What a card says about one person, in the terms of the data file.
struct CardPerson {
    PersonText person;
    std::optional<Refusal> refusal;  // the card cannot become a person
    std::vector<CardNote> notes;     // what was changed or left out, for the summary
    int phonesNotStored = 0;         // work, fax, a second number of a kind
    int addressesNotStored = 0;      // work addresses, a second address
    bool readingFromName = false;    // no reading on the card: the name stands in
};

[[nodiscard]] CardPerson PersonFromCard(const Card& card);

}  // namespace vcard
