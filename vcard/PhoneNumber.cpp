#include "PhoneNumber.h"

#include "RecordSchema.h"

#include "TextForms.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vcard {

namespace {

// Number shapes by their leading digits and length: the sizes of the
// first two parts (the rest is the third). Earlier rows win, so longer
// prefixes come first (0800 is free dial, 080 a mobile).
struct NumberShape {
    std::string_view prefix;
    std::size_t length;
    std::size_t first;
    std::size_t second;
};

constexpr std::array<NumberShape, 13> JAPANESE_SHAPES{{
    {"0120", 10, 4, 3},
    {"0570", 10, 4, 3},
    {"0990", 10, 4, 3},  // free dial, navi dial
    {"0800", 11, 4, 3},
    {"070", 11, 3, 4},
    {"080", 11, 3, 4},
    {"090", 11, 3, 4},  // mobile and PHS
    {"050", 11, 3, 4},  // IP phones
    {"020", 11, 3, 4},
    {"060", 11, 3, 4},  // pagers, data
    {"03", 10, 2, 4},
    {"06", 10, 2, 4},  // Tokyo, Osaka
    {"0", 10, 3, 3},   // other areas: the usual cut
}};

constexpr std::string_view TEL_SCHEME = "tel:";
constexpr std::string_view JAPAN_CODE = "+81";
constexpr std::string_view GROUP_SEPARATORS = " \t-().";
// What a part kept as written may hold: "(03)-555-1234" stays so.
constexpr std::string_view WRITTEN_CHARACTERS = "0123456789+().";
// tel: URI parameters that are part of the number: left out, not cut.
constexpr std::array<std::string_view, 2> NUMBER_PARAMETERS{";ext=", ";isub="};

using Groups = std::vector<std::string>;

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

// The number of a tel: URI without its parameters; nullopt when a
// parameter holds digits of the number (an extension).
std::optional<std::string_view> WithoutScheme(std::string_view text)
{
    if (!Lower(text.substr(0, TEL_SCHEME.size())).starts_with(TEL_SCHEME))
        return text;
    text.remove_prefix(TEL_SCHEME.size());
    const std::string lower = Lower(text);
    for (const std::string_view parameter : NUMBER_PARAMETERS) {
        if (lower.find(parameter) != std::string::npos)
            return std::nullopt;
    }
    return text.substr(0, text.find(';'));
}

bool Fits(std::string_view part, std::size_t index)
{
    return !part.empty()
           && part.size() <= static_cast<std::size_t>(
                  COLUMNS[static_cast<std::size_t>(PhoneColumn(0, static_cast<int>(index)))].TextLimit());
}

// "a-b-c" with exactly two hyphens and three parts that fit the form, as
// this program writes numbers: kept as written.
std::optional<PhoneParts> AsWritten(std::string_view text)
{
    PhoneParts parts;
    for (std::size_t part = 0; part < PHONE_PART_COUNT; ++part) {
        const std::size_t hyphen = part + 1 < PHONE_PART_COUNT ? text.find('-') : text.size();
        if (hyphen == std::string_view::npos)
            return std::nullopt;
        parts[part] = text.substr(0, hyphen);
        const bool plain = parts[part].find_first_not_of(WRITTEN_CHARACTERS) == std::string::npos;
        if (!plain || !Fits(parts[part], part) || !HasDigits(parts[part]))
            return std::nullopt;
        text.remove_prefix(std::min(text.size(), hyphen + 1));
    }
    return parts;
}

// The groups of digits between separators; nullopt when anything else
// stands in the text (a "+" only starts the first group).
std::optional<Groups> GroupsOf(std::string_view text)
{
    Groups groups(1);
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            groups.back() += c;
        } else if (c == '+' && groups.size() == 1 && groups.back().empty()) {
            groups.back() += c;
        } else if (GROUP_SEPARATORS.find(c) != std::string_view::npos) {
            if (!groups.back().empty())
                groups.emplace_back();
        } else {
            return std::nullopt;
        }
    }
    if (groups.back().empty())
        groups.pop_back();
    const auto digitless = [](const std::string& group) { return !HasDigits(group); };
    if (std::any_of(groups.begin(), groups.end(), digitless))
        return std::nullopt;
    return groups;
}

// Up to three groups in the parts, the last parts first ("6754-5678" has
// no area code); a long first group starts at the first part instead.
std::optional<PhoneParts> Placed(const Groups& groups)
{
    if (groups.empty() || groups.size() > PHONE_PART_COUNT)
        return std::nullopt;
    const std::size_t last = PHONE_PART_COUNT - groups.size();
    for (const std::size_t start : {last, std::size_t{0}}) {
        PhoneParts parts;
        bool fits = true;
        for (std::size_t i = 0; i < groups.size() && fits; ++i) {
            fits = Fits(groups[i], start + i);
            parts[start + i] = groups[i];
        }
        if (fits)
            return parts;
    }
    return std::nullopt;
}

// "+81" stands for the leading 0 of a number dialled within Japan.
Groups WithoutJapanCode(Groups groups)
{
    if (groups.front() == JAPAN_CODE && groups.size() > 1) {
        groups.erase(groups.begin());
        if (!groups.front().starts_with('0'))
            groups.front().insert(0, 1, '0');
    } else if (groups.front().starts_with(JAPAN_CODE)) {
        groups.front().replace(0, JAPAN_CODE.size(), "0");
    }
    return groups;
}

std::optional<PhoneParts> JapaneseShape(std::string_view digits)
{
    for (const NumberShape& shape : JAPANESE_SHAPES) {
        if (digits.size() == shape.length && digits.starts_with(shape.prefix)) {
            return PhoneParts{std::string(digits.substr(0, shape.first)),
                              std::string(digits.substr(shape.first, shape.second)),
                              std::string(digits.substr(shape.first + shape.second))};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<PhoneParts> SplitPhoneNumber(std::string_view text)
{
    const std::string folded = FoldedForDigits(text);
    const std::optional<std::string_view> number = WithoutScheme(folded);
    if (!number)
        return std::nullopt;
    if (std::optional<PhoneParts> parts = AsWritten(*number))
        return parts;
    std::optional<Groups> groups = GroupsOf(*number);
    if (!groups || groups->empty())
        return std::nullopt;
    if (std::optional<PhoneParts> parts = Placed(*groups))
        return parts;
    const bool japanese = groups->front().starts_with('0') || groups->front().starts_with(JAPAN_CODE);
    if (!japanese)
        return std::nullopt;
    const Groups national = WithoutJapanCode(std::move(*groups));
    if (national.size() == 1)
        return JapaneseShape(national.front());
    return Placed(national);
}

bool HasDigits(std::string_view text)
{
    const std::string folded = FoldedForDigits(text);
    return std::any_of(folded.begin(), folded.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string JoinPhoneNumber(const PhoneParts& parts)
{
    std::string joined;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!joined.empty())
            joined += '-';
        joined += part;
    }
    return joined;
}

}  // namespace vcard
