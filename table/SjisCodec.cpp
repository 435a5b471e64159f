#include "SjisCodec.h"

#include "IconvHandle.h"
#include "ShiftJis.h"

#include <array>
#include <cerrno>
#include <utility>

namespace {

IconvHandle& Decoder()
{
    thread_local IconvHandle handle("UTF-8", "CP932");
    return handle;
}

IconvHandle& Encoder()
{
    thread_local IconvHandle handle("CP932", "UTF-8");
    return handle;
}

IconvHandle& Utf8Checker()
{
    thread_local IconvHandle handle("UTF-16LE", "UTF-8");
    return handle;
}

// A lead byte and a trail byte that code page 932 leaves unassigned are one
// unknown character, not two.
std::size_t UndecodableLength(std::string_view rest) noexcept
{
    const auto trail = rest.size() > 1 ? static_cast<unsigned char>(rest[1]) : 0;
    const bool pair =
        sjis::IsLeadByte(static_cast<unsigned char>(rest[0])) && trail >= 0x40 && trail <= 0xFC && trail != 0x7F;
    return pair ? 2 : 1;
}

bool IsAscii(std::string_view bytes) noexcept
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return false;
    }
    return true;
}

constexpr std::string_view REPLACEMENT_UTF8 = "\xEF\xBF\xBD";

// Input methods on this platform produce the JIS forms of these characters;
// code page 932 holds them under the code points on the right.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> JIS_FORMS{{
    {"\u2014", "\u2015"},  // — → ―
    {"\u301C", "\uFF5E"},  // 〜 → ～
    {"\u2016", "\u2225"},  // ‖ → ∥
    {"\u2212", "\uFF0D"},  // − → －
    {"\u00A2", "\uFFE0"},  // ¢ → ￠
    {"\u00A3", "\uFFE1"},  // £ → ￡
    {"\u00AC", "\uFFE2"},  // ¬ → ￢
}};

// Whole UTF-8 sequences only ever match whole sequences, so replacing
// bytes replaces characters.
std::string WithCodePageForms(std::string_view utf8)
{
    std::string text(utf8);
    for (const auto& [jis, codePage] : JIS_FORMS) {
        for (size_t at = text.find(jis); at != std::string::npos; at = text.find(jis, at + codePage.size()))
            text.replace(at, jis.size(), codePage);
    }
    return text;
}

std::optional<std::string> Encode(std::string_view utf8)
{
    IconvHandle& encoder = Encoder();
    if (!encoder.IsOpen())
        return std::nullopt;
    encoder.Reset();
    // A character never takes more bytes in code page 932 than in UTF-8.
    std::string result(utf8.size(), '\0');
    const char* in = utf8.data();
    size_t inLeft = utf8.size();
    char* out = result.data();
    size_t outLeft = result.size();
    if (!encoder.Convert(in, inLeft, out, outLeft))
        return std::nullopt;
    result.resize(result.size() - outLeft);
    return result;
}

}  // namespace

namespace sjis {

std::string DecodeToUtf8(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    IconvHandle& decoder = Decoder();
    std::string utf8;
    if (!decoder.IsOpen()) {
        for (size_t i = 0; i < bytes.size(); ++i)
            utf8 += REPLACEMENT_UTF8;
        return utf8;
    }
    decoder.Reset();
    // Every input byte yields at most three UTF-8 bytes (U+FFFD included).
    utf8.resize(bytes.size() * 3);
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    char* out = utf8.data();
    size_t outLeft = utf8.size();
    while (inLeft > 0 && !decoder.Convert(in, inLeft, out, outLeft)) {
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // Bytes that make no valid character are shown as U+FFFD and
        // skipped; decoding goes on after them.
        for (const char byte : REPLACEMENT_UTF8)
            *out++ = byte;
        outLeft -= REPLACEMENT_UTF8.size();
        const std::size_t skipped = UndecodableLength(std::string_view(in, inLeft));
        in += skipped;
        inLeft -= skipped;
        decoder.Reset();
    }
    utf8.resize(utf8.size() - outLeft);
    return utf8;
}

std::optional<std::string> EncodeFromUtf8(std::string_view utf8)
{
    if (IsAscii(utf8))
        return std::string(utf8);
    const std::string mapped = WithCodePageForms(utf8);
    std::optional<std::string> bytes = Encode(mapped);
    // iconv writes a few characters code page 932 has no place for as a
    // look-alike (¥ as the backslash byte, for one); such text would come
    // back altered, so it counts as not encodable.
    if (!bytes || DecodeToUtf8(*bytes) != mapped)
        return std::nullopt;
    return bytes;
}

std::optional<std::size_t> EncodedLength(std::string_view utf8)
{
    const std::optional<std::string> bytes = EncodeFromUtf8(utf8);
    if (!bytes)
        return std::nullopt;
    return bytes->size();
}

bool LooksLikeUtf8(std::string_view bytes)
{
    IconvHandle& checker = Utf8Checker();
    if (IsAscii(bytes) || !checker.IsOpen())
        return false;
    checker.Reset();
    char out[4096];
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPos = out;
        size_t outLeft = sizeof out;
        if (checker.Convert(in, inLeft, outPos, outLeft))
            continue;
        if (errno == E2BIG)
            continue;
        return errno == EINVAL;  // only a character cut off at the end
    }
    return true;
}

}  // namespace sjis
