#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Qt's strings over the Shift_JIS (code page 932) codec: where text crosses
// into and out of the widgets.
namespace sjis {

// Decodes bytes; a byte sequence that is not valid Shift_JIS becomes U+FFFD.
[[nodiscard]] QString ToQString(std::string_view bytes);

// Encodes text; nullopt when a character has no code page 932 form (U+FFFD
// and unpaired surrogates included).
[[nodiscard]] std::optional<std::string> FromQString(const QString& text);

// The byte length of the text in Shift_JIS; nullopt when not encodable.
[[nodiscard]] std::optional<int> ByteLength(const QString& text);

}  // namespace sjis
