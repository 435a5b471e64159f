#include "Utf8.h"

namespace vcard::utf8 {

namespace {

bool IsContinuation(unsigned char byte) noexcept
{
    return (byte & 0xC0) == 0x80;
}

// Lengths and smallest code points of the 2-, 3- and 4-byte forms: a
// smaller value would be an overlong form.
struct SequenceForm {
    unsigned char leadMask;
    unsigned char leadValue;
    std::size_t length;
    char32_t smallest;
};

constexpr SequenceForm FORMS[] = {
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};

}  // namespace

char32_t Next(std::string_view text, std::size_t& at) noexcept
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    for (const SequenceForm& form : FORMS) {
        if ((lead & form.leadMask) != form.leadValue)
            continue;
        if (at + form.length > text.size())
            break;
        char32_t codePoint = lead & static_cast<unsigned char>(~form.leadMask);
        for (std::size_t i = 1; i < form.length; ++i) {
            const auto byte = static_cast<unsigned char>(text[at + i]);
            if (!IsContinuation(byte)) {
                ++at;
                return INVALID;
            }
            codePoint = (codePoint << 6) | (byte & 0x3F);
        }
        const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        if (codePoint < form.smallest || codePoint > 0x10FFFF || surrogate)
            break;
        at += form.length;
        return codePoint;
    }
    ++at;
    return INVALID;
}

void Append(std::string& out, char32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsValid(std::string_view text) noexcept
{
    for (std::size_t at = 0; at < text.size();) {
        if (Next(text, at) == INVALID)
            return false;
    }
    return true;
}

std::size_t BoundaryBefore(std::string_view text, std::size_t maxBytes) noexcept
{
    if (maxBytes >= text.size())
        return text.size();
    std::size_t end = maxBytes;
    while (end > 0 && IsContinuation(static_cast<unsigned char>(text[end])))
        --end;
    return end;
}

}  // namespace vcard::utf8
