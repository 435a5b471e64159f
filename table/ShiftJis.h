#pragma once

#include <cstddef>

// Byte-level Shift_JIS helpers for cutting text to a byte width without
// leaving half a double-byte character behind.
namespace sjis {

// True for a byte that starts a double-byte Shift_JIS character.
[[nodiscard]] constexpr bool IsLeadByte(unsigned char byte) noexcept
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The length of the longest prefix of text[0, length) of at most maxBytes
// bytes that does not end with a lone lead byte.
[[nodiscard]] std::size_t FitLength(const char* text, std::size_t length, std::size_t maxBytes) noexcept;

// Copies the NUL-terminated (or length-bounded) source into dest[destSize],
// cut by FitLength to destSize - 1 bytes, and fills the rest with NUL.
void CopyField(char* dest, std::size_t destSize, const char* source, std::size_t sourceLength) noexcept;

}  // namespace sjis
