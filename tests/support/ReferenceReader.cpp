#include "ReferenceReader.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace reference {

namespace {

constexpr std::size_t PIECE_LIMIT = 4095;

// The readable text: up to the first 0x1A, every CR LF turned into LF.
std::string ReadableText(std::string_view bytes)
{
    bytes = bytes.substr(0, std::min(bytes.find('\x1A'), bytes.size()));
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n')
            text += bytes[i];
    }
    return text;
}

DataLine ParsePiece(std::string_view piece, long physicalLine)
{
    std::string_view text = piece.substr(0, std::min(piece.find('\0'), piece.size()));
    const bool hasLineEnd = text.ends_with('\n');
    if (hasLineEnd)
        text.remove_suffix(1);
    std::vector<std::string> fields(1);
    for (char byte : text) {
        if (byte == ',')
            fields.emplace_back();
        else
            fields.back() += byte;
    }
    // Without a line end, an empty field at the end of the text is no field.
    if (!hasLineEnd && fields.back().empty())
        fields.pop_back();
    DataLine line{fields.size() >= FIELD_COUNT, {}, fields.size(), physicalLine, text.empty()};
    fields.resize(std::min(fields.size(), FIELD_COUNT));
    line.fields = std::move(fields);
    return line;
}

int ParseNumber(const std::string& field)
{
    return static_cast<int>(std::clamp<long long>(std::strtoll(field.c_str(), nullptr, 10), INT_MIN, INT_MAX));
}

template <std::size_t N>
void SetText(char (&field)[N], const std::string& text)
{
    const std::string cut = CutToCharacters(text, N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, cut.data(), cut.size());
}

}  // namespace

std::vector<DataLine> ReadDataLines(std::string_view fileBytes)
{
    const std::string text = ReadableText(fileBytes);
    std::vector<DataLine> lines;
    long physicalLine = 1;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t lineEnd = std::min(text.find('\n', pos), text.size() - 1);
        const std::string_view piece(text.data() + pos, std::min(lineEnd - pos + 1, PIECE_LIMIT));
        if (piece[0] != '#')
            lines.push_back(ParsePiece(piece, physicalLine));
        physicalLine += piece.back() == '\n' ? 1 : 0;
        pos += piece.size();
    }
    return lines;
}

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
    const auto isLead = [](unsigned char byte) {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    };
    std::size_t end = 0;
    for (std::size_t step = 1; end < text.size(); end += step) {
        step = isLead(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + step > std::min(text.size(), maxBytes))
            break;
    }
    return text.substr(0, end);
}

}  // namespace reference
