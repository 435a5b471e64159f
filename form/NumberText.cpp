#include "NumberText.h"

#include <limits>

namespace {

constexpr std::size_t kReadLimit = 31;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    return pos;
}

}  // namespace

std::optional<std::uint32_t> ParseUnsignedField(std::string_view text)
{
    text = text.substr(0, kReadLimit);
    std::size_t pos = SkipBlanks(text, 0);
    if (pos < text.size() && text[pos] == '-')
        return std::nullopt;
    if (pos < text.size() && text[pos] == '+')
        ++pos;
    if (pos >= text.size() || !IsDigit(text[pos]))
        return std::nullopt;

    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(text[pos] - '0'), kMax);

    if (value == 0 && text.front() != '0')
        return std::nullopt;
    if (SkipBlanks(text, pos) != text.size())
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}
