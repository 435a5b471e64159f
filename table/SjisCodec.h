#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The one conversion between Shift_JIS (code page 932) bytes and Unicode
// text, as UTF-8. Plain C++ over glibc's iconv, so that every layer can use
// it; the windowing layer wraps it for Qt's strings.
namespace sjis {

// Decodes bytes; a byte that starts no valid character becomes U+FFFD and
// decoding goes on with the next byte.
[[nodiscard]] std::string DecodeToUtf8(std::string_view bytes);

// Encodes UTF-8 text; nullopt when a character has no code page 932 form
// (U+FFFD and invalid UTF-8 included). The JIS forms that input methods
// produce (〜 ‖ − ¢ £ ¬) are written as their code page 932 equivalents
// (～ ∥ － ￠ ￡ ￢). Text that would not read back as itself is refused.
[[nodiscard]] std::optional<std::string> EncodeFromUtf8(std::string_view utf8);

// The byte length of the text in Shift_JIS; nullopt when not encodable.
[[nodiscard]] std::optional<std::size_t> EncodedLength(std::string_view utf8);

// Whether bytes are UTF-8 text with characters beyond ASCII (a file an
// editor saved as UTF-8), allowing a character cut off at the end.
[[nodiscard]] bool LooksLikeUtf8(std::string_view bytes);

}  // namespace sjis
