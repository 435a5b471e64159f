#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Code points in and out of UTF-8 text, for the few places that look at
// characters rather than bytes.
namespace vcard::utf8 {

inline constexpr char32_t INVALID = 0xFFFFFFFF;

// The code point at text[at], and at moved past it; INVALID (at moved by
// one byte) for a byte that starts no well-formed sequence.
[[nodiscard]] char32_t Next(std::string_view text, std::size_t& at) noexcept;

void Append(std::string& out, char32_t codePoint);

[[nodiscard]] bool IsValid(std::string_view text) noexcept;

// The length of the longest prefix of at most maxBytes bytes that ends on
// a character boundary.
[[nodiscard]] std::size_t BoundaryBefore(std::string_view text, std::size_t maxBytes) noexcept;

}  // namespace vcard::utf8
