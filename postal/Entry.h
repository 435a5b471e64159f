#pragma once

#include <string>
#include <vector>

namespace postal {

// What a code stands for: a town (the address names its town), a whole
// city (Japan Post's 以下に掲載がない場合 codes: the town is not known) or
// one business.
enum class Level : char { Town = 'T', City = 'C', Business = 'B' };

struct Entry {
    std::string code;     // seven ASCII digits
    std::string address;  // UTF-8, prefecture first, without Japan Post's notes
    Level level = Level::Town;
};

using Entries = std::vector<Entry>;

}  // namespace postal
