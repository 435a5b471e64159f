#pragma once

#include <string>
#include <string_view>
#include <vector>

// Cards of vCard 2.1, 3.0 and 4.0 files as phones and services write them:
// continued lines joined, values decoded to UTF-8. Lines that are no
// property, properties in base64 (photos) and charsets other than UTF-8
// and Shift_JIS are passed over.
namespace vcard {

struct Property {
    std::string name;                 // upper case, without its group ("item1.")
    std::vector<std::string> types;   // TYPE values and 2.1's bare parameters, upper case
    std::vector<std::string> sortAs;  // SORT-AS components, as written
    std::string value;                // UTF-8, escapes still in place

    [[nodiscard]] bool HasType(std::string_view type) const;
};

struct Card {
    int number = 0;      // 1-based, in file order
    bool ended = false;  // its END:VCARD line was there
    std::vector<Property> properties;

    // The first property of that name, or nullptr.
    [[nodiscard]] const Property* Find(std::string_view name) const;
};

[[nodiscard]] std::vector<Card> ReadCards(std::string_view bytes);

// The parts of a structured value (N, ADR) at its unescaped ';', each
// unescaped.
[[nodiscard]] std::vector<std::string> Components(std::string_view value);

// The whole value with \n, \, \; and \\ unescaped.
[[nodiscard]] std::string Unescaped(std::string_view value);

}  // namespace vcard
