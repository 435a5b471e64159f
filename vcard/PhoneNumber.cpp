#include "PhoneNumber.h"

#include "SjisCodec.h"
#include "Utf8.h"

#include <algorithm>

#include <array>

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
constexpr std::string_view JAPAN_PREFIX = "+81";
constexpr std::size_t LAST_PART = 4;
constexpr std::size_t MIDDLE_PART = 4;

// The number of a tel: URI without its parameters (";ext=").
std::string_view WithoutScheme(std::string_view text)
{
    if (text.size() < TEL_SCHEME.size())
        return text;
    std::string scheme(text.substr(0, TEL_SCHEME.size()));
    for (char& c : scheme)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (scheme != TEL_SCHEME)
        return text;
    text.remove_prefix(TEL_SCHEME.size());
    return text.substr(0, text.find(';'));
}

// "a-b-c" with exactly two hyphens and parts that fit the form, as this
// program writes numbers: kept as written.
std::optional<PhoneParts> HyphenatedParts(std::string_view text)
{
    PhoneParts parts;
    for (std::size_t part = 0; part < PHONE_PART_COUNT; ++part) {
        const std::size_t hyphen = part + 1 < PHONE_PART_COUNT ? text.find('-') : text.size();
        if (hyphen == std::string_view::npos)
            return std::nullopt;
        parts[part] = text.substr(0, hyphen);
        const std::optional<std::size_t> bytes = sjis::EncodedLength(parts[part]);
        if (!bytes || *bytes > PHONE_PART_LIMITS[part] || parts[part].find('-') != std::string::npos)
            return std::nullopt;
        text.remove_prefix(std::min(text.size(), hyphen + 1));
    }
    return parts;
}

// The digits (full-width ones too) and a leading "+".
std::string DigitsOf(std::string_view text)
{
    constexpr char32_t FULL_WIDTH_ZERO = 0xFF10;
    std::string digits;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = utf8::Next(text, at);
        if (c >= '0' && c <= '9')
            digits += static_cast<char>(c);
        else if (c >= FULL_WIDTH_ZERO && c <= FULL_WIDTH_ZERO + 9)
            digits += static_cast<char>('0' + (c - FULL_WIDTH_ZERO));
        else if ((c == '+' || c == 0xFF0B) && digits.empty())
            digits += '+';
    }
    return digits;
}

PhoneParts Cut(std::string_view digits, std::size_t first, std::size_t second)
{
    return {std::string(digits.substr(0, first)), std::string(digits.substr(first, second)),
            std::string(digits.substr(first + second))};
}

PhoneParts SplitDigits(std::string digits)
{
    // +81 stands for the leading 0 of a number dialled within Japan.
    if (digits.starts_with(JAPAN_PREFIX)) {
        digits.erase(0, JAPAN_PREFIX.size() - 1);
        digits.front() = '0';
    }
    for (const NumberShape& shape : JAPANESE_SHAPES) {
        if (digits.size() == shape.length && digits.starts_with(shape.prefix))
            return Cut(digits, shape.first, shape.second);
    }
    // Unknown shapes: the last four digits, four before them, the rest first.
    const std::size_t tail = std::min(digits.size(), LAST_PART);
    const std::size_t middle = std::min(digits.size() - tail, MIDDLE_PART);
    return Cut(digits, digits.size() - tail - middle, middle);
}

}  // namespace

std::optional<PhoneParts> SplitPhoneNumber(std::string_view text)
{
    text = WithoutScheme(text);
    if (std::optional<PhoneParts> parts = HyphenatedParts(text)) {
        const bool empty = (*parts)[0].empty() && (*parts)[1].empty() && (*parts)[2].empty();
        return empty ? std::nullopt : parts;
    }
    std::string digits = DigitsOf(text);
    if (digits.empty() || digits == "+")
        return std::nullopt;
    return SplitDigits(std::move(digits));
}

std::string JoinPhoneNumber(const PhoneParts& parts)
{
    return parts[0] + "-" + parts[1] + "-" + parts[2];
}

}  // namespace vcard
