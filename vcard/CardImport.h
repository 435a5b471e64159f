#pragma once

#include "PersonText.h"
#include "VcardReader.h"

#include <optional>
#include <string>
#include <vector>

namespace vcard {

// What a card says about one person, in the terms of the data file.
struct CardPerson {
    PersonText person;
    std::optional<Refusal> refusal;  // the card cannot become a person
    std::vector<std::string> notes;  // what was left out, for the summary
    int phonesNotStored = 0;         // work, fax, a second number of a kind
    bool readingFromName = false;    // no reading on the card: the name stands in
};

[[nodiscard]] CardPerson PersonFromCard(const Card& card);

}  // namespace vcard
