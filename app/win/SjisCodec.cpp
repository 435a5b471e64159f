#include "SjisCodec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <utility>

namespace {

// One iconv conversion descriptor, opened once per thread and direction:
// opening one costs far more than converting a short name.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) noexcept : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (IsOpen())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    [[nodiscard]] bool IsOpen() const noexcept { return m_cd != reinterpret_cast<iconv_t>(-1); }
    void Reset() noexcept { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    // One call of iconv; false with errno set when it stopped early.
    bool Convert(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) noexcept
    {
        // glibc's prototype takes char** for the input.
        char* input = const_cast<char*>(in);
        const size_t result = iconv(m_cd, &input, &inLeft, &out, &outLeft);
        in = input;
        return result != static_cast<size_t>(-1);
    }

private:
    iconv_t m_cd;
};

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

bool IsAscii(std::string_view bytes) noexcept
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return false;
    }
    return true;
}

bool IsAscii(const QString& text) noexcept
{
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x80)
            return false;
    }
    return true;
}

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

// Input methods on this platform produce the JIS forms of these characters;
// code page 932 holds them under the code points on the right.
constexpr std::array<std::pair<char16_t, char16_t>, 6> kJisForms{{
    {u'\u301C', u'\uFF5E'},  // 〜 → ～
    {u'\u2016', u'\u2225'},  // ‖ → ∥
    {u'\u2212', u'\uFF0D'},  // − → －
    {u'\u00A2', u'\uFFE0'},  // ¢ → ￠
    {u'\u00A3', u'\uFFE1'},  // £ → ￡
    {u'\u00AC', u'\uFFE2'},  // ¬ → ￢
}};

QString WithCodePageForms(QString text)
{
    for (QChar& ch : text) {
        for (const auto& [jis, codePage] : kJisForms) {
            if (ch.unicode() == jis)
                ch = QChar(codePage);
        }
    }
    return text;
}

bool HasUnpairedSurrogate(const QString& text) noexcept
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (ch.isSurrogate())
            return true;
    }
    return false;
}

std::optional<std::string> EncodeUtf8(const QByteArray& utf8)
{
    IconvHandle& encoder = Encoder();
    if (!encoder.IsOpen())
        return std::nullopt;
    encoder.Reset();
    // A character never takes more bytes in code page 932 than in UTF-8.
    std::string result(static_cast<size_t>(utf8.size()), '\0');
    const char* in = utf8.constData();
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* out = result.data();
    size_t outLeft = result.size();
    if (!encoder.Convert(in, inLeft, out, outLeft))
        return std::nullopt;
    result.resize(result.size() - outLeft);
    return result;
}

}  // namespace

namespace sjis {

QString ToQString(std::string_view bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    IconvHandle& decoder = Decoder();
    if (!decoder.IsOpen())
        return QString(static_cast<qsizetype>(bytes.size()), QChar::ReplacementCharacter);
    decoder.Reset();
    // Every input byte yields at most three UTF-8 bytes (U+FFFD included).
    // Names are short: they decode on the stack, with no allocation.
    char small[512];
    std::string large;
    const size_t capacity = bytes.size() * 3;
    if (capacity > sizeof small)
        large.resize(capacity);
    char* const utf8 = capacity > sizeof small ? large.data() : small;
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    char* out = utf8;
    size_t outLeft = capacity;
    while (inLeft > 0 && !decoder.Convert(in, inLeft, out, outLeft)) {
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // A byte that starts no valid character is shown as U+FFFD and
        // skipped; decoding goes on with the next byte.
        for (const char byte : std::string_view(kReplacementUtf8))
            *out++ = byte;
        outLeft -= 3;
        ++in;
        --inLeft;
        decoder.Reset();
    }
    return QString::fromUtf8(utf8, static_cast<qsizetype>(capacity - outLeft));
}

std::optional<std::string> FromQString(const QString& text)
{
    if (IsAscii(text))
        return text.toLatin1().toStdString();
    const QString mapped = WithCodePageForms(text);
    if (HasUnpairedSurrogate(mapped))
        return std::nullopt;
    std::optional<std::string> bytes = EncodeUtf8(mapped.toUtf8());
    // iconv writes a few characters code page 932 has no place for as a
    // look-alike (¥ as the backslash byte, for one); such text would come
    // back altered, so it counts as not encodable.
    if (!bytes || ToQString(*bytes) != mapped)
        return std::nullopt;
    return bytes;
}

std::optional<int> ByteLength(const QString& text)
{
    const std::optional<std::string> bytes = FromQString(text);
    if (!bytes)
        return std::nullopt;
    return static_cast<int>(bytes->size());
}

}  // namespace sjis
