#include "ShiftJis.h"

#include <algorithm>
#include <cstring>

namespace sjis {

std::size_t FitLength(const char* text, std::size_t length, std::size_t maxBytes) noexcept
{
    const std::size_t limit = std::min(length, maxBytes);
    // A byte outside the lead-byte range always ends a character, so a
    // character starts right after it; the run of lead-range bytes that
    // follows up to the limit pairs off from there. An odd run leaves its
    // last byte as a lead byte without its trail byte.
    std::size_t run = 0;
    while (run < limit && IsLeadByte(static_cast<unsigned char>(text[limit - 1 - run])))
        ++run;
    return limit - run % 2;
}

void CopyField(char* dest, std::size_t destSize, const char* source, std::size_t sourceLength) noexcept
{
    if (destSize == 0)
        return;
    const std::size_t length = FitLength(source, ::strnlen(source, sourceLength), destSize - 1);
    std::memcpy(dest, source, length);
    std::memset(dest + length, 0, destSize - length);
}

}  // namespace sjis
