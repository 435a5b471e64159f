#include "ReferenceReader.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace reference {

namespace {

constexpr std::size_t PIECE_LIMIT = 4095;

bool IsLead(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The readable text: up to the first 0x1A, every CR LF turned into LF.
std::string ReadableText(std::string_view bytes)
{
    bytes = bytes.substr(0, std::min(bytes.find('\x1A'), bytes.size()));
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    return text;
}

std::vector<std::string> SplitOnComma(std::string_view content)
{
    std::vector<std::string> fields(1);
    for (char byte : content) {
        if (byte == ',')
            fields.emplace_back();
        else
            fields.back() += byte;
    }
    return fields;
}

DataLine ParsePiece(std::string_view piece, long physicalLine)
{
    std::string_view text = piece.substr(0, std::min(piece.find('\0'), piece.size()));
    const bool hasLineEnd = !text.empty() && text.back() == '\n';
    if (hasLineEnd)
        text.remove_suffix(1);
    std::vector<std::string> fields = SplitOnComma(text);
    // Without a line end, an empty field at the end of the text is no field.
    if (!hasLineEnd && fields.back().empty())
        fields.pop_back();

    DataLine line;
    line.physicalLine = physicalLine;
    line.fieldCount = fields.size();
    line.wellFormed = fields.size() >= FIELD_COUNT;
    line.looksEmpty = text.empty();
    fields.resize(std::min(fields.size(), FIELD_COUNT));
    line.fields = std::move(fields);
    return line;
}

}  // namespace

std::vector<DataLine> ReadDataLines(std::string_view fileBytes)
{
    const std::string text = ReadableText(fileBytes);
    std::vector<DataLine> lines;
    long physicalLine = 1;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lineEnd = text.find('\n', pos);
        const std::size_t untilLineEnd = lineEnd == std::string::npos ? text.size() - pos : lineEnd - pos + 1;
        const std::size_t length = std::min(untilLineEnd, PIECE_LIMIT);
        const std::string_view piece(text.data() + pos, length);
        if (piece[0] != '#')
            lines.push_back(ParsePiece(piece, physicalLine));
        if (piece.back() == '\n')
            ++physicalLine;
        pos += length;
    }
    return lines;
}

int ParseNumber(const std::string& field)
{
    const long long value = std::strtoll(field.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

namespace {

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text)
{
    const std::string cut = CutToCharacters(text, N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, cut.data(), cut.size());
}

}  // namespace

AddressRecord RecordOf(const DataLine& line)
{
    const std::vector<std::string>& f = line.fields;
    AddressRecord r{};
    SetText(r.reading, f.at(1));
    SetText(r.name, f.at(2));
    SetText(r.address1, f.at(3));
    SetText(r.address2, f.at(4));
    r.birthYear = ParseNumber(f.at(5));
    r.birthMonth = ParseNumber(f.at(6));
    r.birthDay = ParseNumber(f.at(7));
    r.bloodType = ParseNumber(f.at(8));
    SetText(r.email, f.at(9));
    SetText(r.zip1, f.at(10));
    SetText(r.zip2, f.at(11));
    r.sex = ParseNumber(f.at(12));
    for (int part = 0; part < PHONE_KIND_COUNT * PHONE_PART_COUNT; ++part)
        SetText(r.phones[part / PHONE_PART_COUNT][part % PHONE_PART_COUNT], f.at(13 + part));
    return r;
}

int CodeOf(const DataLine& line)
{
    return ParseNumber(line.fields.at(0));
}

std::string CutToCharacters(const std::string& text, std::size_t maxBytes)
{
    const std::size_t limit = std::min(text.size(), maxBytes);
    std::size_t end = 0;
    while (end < limit) {
        const std::size_t step = IsLead(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + step > limit)
            break;
        end += step;
    }
    return text.substr(0, end);
}

bool EndsOnWholeCharacter(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size())
        pos += IsLead(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    return pos == text.size();
}

}  // namespace reference
