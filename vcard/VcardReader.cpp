#include "VcardReader.h"

#include "SjisCodec.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <optional>

namespace vcard {

namespace {

constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

// Charset names that mean code page 932.
constexpr std::array<std::string_view, 6> SHIFT_JIS_NAMES{
    "SHIFT_JIS", "SHIFT-JIS", "SJIS", "CP932", "WINDOWS-31J", "MS_KANJI",
};
constexpr std::array<std::string_view, 3> UTF8_NAMES{"UTF-8", "UTF8", "US-ASCII"};

enum class Encoding { Plain, QuotedPrintable, Base64 };

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

template <std::size_t N>
bool IsOneOf(std::string_view word, const std::array<std::string_view, N>& names)
{
    return std::find(names.begin(), names.end(), word) != names.end();
}

// The physical lines of the file, without their ends: LF, CR LF, a bare
// CR (old Macs) or CR CR LF (iPhone exports of one period).
class LineSource {
public:
    explicit LineSource(std::string_view bytes) : m_rest(bytes) {}

    [[nodiscard]] bool AtEnd() const noexcept { return m_rest.empty(); }

    std::string_view Take()
    {
        const std::size_t end = std::min(m_rest.find_first_of("\r\n"), m_rest.size());
        const std::string_view line = m_rest.substr(0, end);
        std::size_t next = end;
        while (next < m_rest.size() && m_rest[next] == '\r')
            ++next;
        if (next < m_rest.size() && m_rest[next] == '\n')
            ++next;
        m_rest.remove_prefix(next);
        return line;
    }

    [[nodiscard]] bool NextIsContinued() const noexcept
    {
        return !m_rest.empty() && (m_rest.front() == ' ' || m_rest.front() == '\t');
    }

private:
    std::string_view m_rest;
};

bool SaysQuotedPrintable(std::string_view line)
{
    const std::string head = Upper(line.substr(0, line.find(':')));
    return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

// One property line with its continuations: lines that begin with a blank
// and, in quoted-printable, the lines after a soft line break ("=").
std::string LogicalLine(LineSource& lines)
{
    std::string line(lines.Take());
    const bool quotedPrintable = SaysQuotedPrintable(line);
    while (!lines.AtEnd()) {
        if (quotedPrintable && !line.empty() && line.back() == '=') {
            line.pop_back();
            line += lines.Take();
        } else if (lines.NextIsContinued()) {
            line += lines.Take().substr(1);
        } else {
            break;
        }
    }
    return line;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// "=XX" becomes its byte; an "=" that starts no such pair stays as it is.
std::string QuotedPrintableDecoded(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size()) {
            const int high = HexValue(text[i + 1]);
            const int low = HexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        bytes += text[i];
    }
    return bytes;
}

// The parameters of one property as far as the mapping needs them.
struct Parameters {
    Encoding encoding = Encoding::Plain;
    std::string charset;
    std::vector<std::string> types;
    std::vector<std::string> sortAs;
};

std::vector<std::string> SplitList(std::string_view list, bool upper)
{
    std::vector<std::string> items;
    while (true) {
        const std::size_t comma = list.find(',');
        const std::string_view item = Trimmed(list.substr(0, comma));
        if (!item.empty())
            items.push_back(upper ? Upper(item) : std::string(item));
        if (comma == std::string_view::npos)
            return items;
        list.remove_prefix(comma + 1);
    }
}

// SORT-AS as vCard 4.0 means it, "family,given", and as Android writes
// it, "family;given;middle" inside the quotes.
std::vector<std::string> SortAsComponents(std::string value)
{
    std::replace(value.begin(), value.end(), ';', ',');
    return SplitList(value, false);
}

Encoding EncodingNamed(std::string_view name)
{
    if (name == "QUOTED-PRINTABLE")
        return Encoding::QuotedPrintable;
    if (name == "BASE64" || name == "B")
        return Encoding::Base64;
    return Encoding::Plain;
}

std::string Unquoted(std::string_view value)
{
    std::string text;
    for (const char c : value) {
        if (c != '"')
            text += c;
    }
    return text;
}

void AddParameter(Parameters& params, std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        // 2.1 writes bare types and encodings: TEL;CELL;VOICE, ;QUOTED-PRINTABLE.
        const std::string word = Upper(Trimmed(text));
        if (EncodingNamed(word) != Encoding::Plain)
            params.encoding = EncodingNamed(word);
        else if (!word.empty())
            params.types.push_back(word);
        return;
    }
    const std::string name = Upper(Trimmed(text.substr(0, equals)));
    const std::string value = Unquoted(text.substr(equals + 1));
    if (name == "TYPE")
        for (std::string& type : SplitList(value, true))
            params.types.push_back(std::move(type));
    else if (name == "ENCODING")
        params.encoding = EncodingNamed(Upper(Trimmed(value)));
    else if (name == "CHARSET")
        params.charset = Upper(Trimmed(value));
    else if (name == "SORT-AS")
        params.sortAs = SortAsComponents(value);
}

// Where the parameters end: the first ':' outside double quotes.
std::size_t ValueStart(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return std::string_view::npos;
}

Parameters ParametersOf(std::string_view text)
{
    Parameters params;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '"')
            quoted = !quoted;
        if (i == text.size() || (text[i] == ';' && !quoted)) {
            if (i > start)
                AddParameter(params, text.substr(start, i - start));
            start = i + 1;
        }
    }
    return params;
}

// The value as UTF-8; nullopt for a charset we do not read. Without a
// charset, text that is not valid UTF-8 is Shift_JIS: Japanese phones
// write it without saying so.
std::optional<std::string> DecodedValue(std::string bytes, const std::string& charset)
{
    if (IsOneOf(charset, SHIFT_JIS_NAMES))
        return sjis::DecodeToUtf8(bytes);
    if (IsOneOf(charset, UTF8_NAMES))
        return bytes;
    if (!charset.empty())
        return std::nullopt;
    if (utf8::IsValid(bytes))
        return bytes;
    return sjis::DecodeToUtf8(bytes);
}

std::optional<Property> ParseProperty(std::string_view line)
{
    const std::size_t colon = ValueStart(line);
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::string_view head = line.substr(0, colon);
    const std::size_t semicolon = std::min(head.find(';'), head.size());
    std::string_view name = Trimmed(head.substr(0, semicolon));
    name.remove_prefix(std::min(name.size(), name.rfind('.') + 1));
    Parameters params = ParametersOf(head.substr(std::min(head.size(), semicolon + 1)));
    if (name.empty() || params.encoding == Encoding::Base64)
        return std::nullopt;

    std::string bytes(line.substr(colon + 1));
    if (params.encoding == Encoding::QuotedPrintable)
        bytes = QuotedPrintableDecoded(bytes);
    std::optional<std::string> value = DecodedValue(std::move(bytes), params.charset);
    if (!value)
        return std::nullopt;
    return Property{Upper(name), std::move(params.types), std::move(params.sortAs), std::move(*value)};
}

bool IsCardBoundary(const Property& property, std::string_view name)
{
    return property.name == name && Upper(Trimmed(property.value)) == "VCARD";
}

// The value unescaped, split at each unescaped ';' when asked to.
std::vector<std::string> UnescapedParts(std::string_view value, bool splitAtSemicolon)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            if (next == 'n' || next == 'N')
                parts.back() += '\n';
            else if (next == ',' || next == ';' || next == '\\')
                parts.back() += next;
            else
                parts.back().append({'\\', next});
        } else if (value[i] == ';' && splitAtSemicolon) {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    return parts;
}

}  // namespace

bool Property::HasType(std::string_view type) const
{
    return std::find(types.begin(), types.end(), type) != types.end();
}

const Property* Card::Find(std::string_view name) const
{
    const auto found = std::find_if(properties.begin(), properties.end(),
                                    [name](const Property& property) { return property.name == name; });
    return found == properties.end() ? nullptr : &*found;
}

std::vector<Card> ReadCards(std::string_view bytes)
{
    if (bytes.starts_with(UTF8_BOM))
        bytes.remove_prefix(UTF8_BOM.size());
    std::vector<Card> cards;
    bool inCard = false;
    LineSource lines(bytes);
    while (!lines.AtEnd()) {
        std::optional<Property> property = ParseProperty(LogicalLine(lines));
        if (!property)
            continue;
        if (IsCardBoundary(*property, "BEGIN")) {
            // A BEGIN inside a card leaves that card unfinished.
            cards.push_back(Card{static_cast<int>(cards.size()) + 1, false, {}});
            inCard = true;
        } else if (inCard && IsCardBoundary(*property, "END")) {
            cards.back().ended = true;
            inCard = false;
        } else if (inCard) {
            cards.back().properties.push_back(std::move(*property));
        }
    }
    return cards;
}

std::vector<std::string> Components(std::string_view value)
{
    return UnescapedParts(value, true);
}

std::string Unescaped(std::string_view value)
{
    return std::move(UnescapedParts(value, false).front());
}

}  // namespace vcard
