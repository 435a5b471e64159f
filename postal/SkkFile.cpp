#include "SkkFile.h"

#include "AddressKey.h"
#include "IconvHandle.h"

#include <cerrno>
#include <fstream>
#include <vector>

namespace postal {
namespace {

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";
constexpr std::string_view BUSINESS_SEPARATOR = " @ ";
// Japan Post's 「Xの次に番地がくる場合」, which the SKK file keeps as text.
constexpr std::string_view NEXT_COMES = "の次に";
constexpr std::string_view CASE_END = "がくる場合";
constexpr std::size_t CODE_LENGTH = 7;

// The whole file at once: one iconv call for four megabytes is what
// keeps the first look-up quick. A byte that starts no character becomes
// U+FFFD, so that its line can be left out.
std::optional<std::string> EucJisToUtf8(const std::string& bytes)
{
    IconvHandle converter("UTF-8", "EUC-JISX0213");
    if (!converter.IsOpen())
        return std::nullopt;
    std::string text(bytes.size() * 2 + 16, '\0');
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    size_t done = 0;
    while (inLeft > 0) {
        char* out = text.data() + done;
        size_t outLeft = text.size() - done;
        const bool converted = converter.Convert(in, inLeft, out, outLeft);
        done = text.size() - outLeft;
        if (converted)
            break;
        if (errno == E2BIG) {
            text.resize(text.size() * 2);
        } else {
            text.replace(done, REPLACEMENT.size(), REPLACEMENT);
            done += REPLACEMENT.size();
            ++in;
            --inLeft;
            if (text.size() - done < 16)
                text.resize(text.size() * 2);
        }
    }
    text.resize(done);
    return text;
}

bool IsCode(std::string_view text) noexcept
{
    if (text.size() != CODE_LENGTH)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// What is added to the file's text: the addresses that differ from the
// file's own piece of text.
struct Parser {
    Table table;
    std::string extra;
    std::vector<std::size_t> inExtra;  // records whose offset is into extra

    void AddOwn(std::uint32_t code, std::string_view address, Level level)
    {
        inExtra.push_back(table.records.size());
        table.AddPiece(code, extra.size(), address.size(), level);
        extra += address;
    }
    void AddPiece(std::uint32_t code, std::string_view piece, Level level)
    {
        table.AddPiece(code, static_cast<std::size_t>(piece.data() - table.text.data()), piece.size(), level);
    }
    Table Finish()
    {
        const std::size_t base = table.text.size();
        table.text += extra;
        for (const std::size_t i : inExtra)
            table.records[i].offset += static_cast<std::uint32_t>(base);
        table.SortByCode();
        return std::move(table);
    }
};

// 山梨県北都留郡小菅村小菅村の次に１〜６６３番地がくる場合: the city,
// written twice before the note; whatever follows the note is a town.
void AddNextComes(Parser& parser, std::uint32_t code, std::string_view address, std::size_t note)
{
    std::string_view city = address.substr(0, note);
    for (std::size_t half = city.size() / 2; half > 0; --half) {
        if (city.substr(city.size() - 2 * half, half) == city.substr(city.size() - half)) {
            city.remove_suffix(half);
            break;
        }
    }
    const std::string_view town = address.substr(address.find(CASE_END, note) + CASE_END.size());
    parser.AddOwn(code, std::string(city) + std::string(town), town.empty() ? Level::City : Level::Town);
}

void AddGeneral(Parser& parser, std::uint32_t code, std::string_view address)
{
    const std::size_t note = address.find(NEXT_COMES);
    if (note != std::string_view::npos && address.find(CASE_END, note) != std::string_view::npos)
        return AddNextComes(parser, code, address, note);
    // Japan Post's codes for a whole city, town unknown, end in 00.
    const Level level = code % 100 == 0 ? Level::City : Level::Town;
    if (address.find("（") != std::string_view::npos || address.find("）") != std::string_view::npos)
        parser.AddOwn(code, WithoutNotes(address), level);
    else
        parser.AddPiece(code, address, level);
}

void AddLine(Parser& parser, std::string_view line, bool businesses)
{
    if (line.size() < CODE_LENGTH + 2 || !IsCode(line.substr(0, CODE_LENGTH)) || line[CODE_LENGTH] != ' '
        || line.find(REPLACEMENT) != std::string_view::npos)
        return;
    std::string_view candidates = line.substr(CODE_LENGTH + 1);
    const std::uint32_t code = CodeNumber(line.substr(0, CODE_LENGTH));
    while (!candidates.empty()) {
        const std::size_t slash = candidates.find('/');
        const std::string_view candidate = candidates.substr(0, slash);
        candidates.remove_prefix(slash == std::string_view::npos ? candidates.size() : slash + 1);
        if (candidate.empty())
            continue;
        if (!businesses) {
            AddGeneral(parser, code, candidate);
            continue;
        }
        const std::size_t at = candidate.find(BUSINESS_SEPARATOR);
        parser.AddPiece(code,
                        at == std::string_view::npos ? candidate : candidate.substr(at + BUSINESS_SEPARATOR.size()),
                        Level::Business);
    }
}

}  // namespace

std::optional<Table> ReadSkkFile(const std::filesystem::path& path, bool businesses)
{
    const std::optional<std::string> bytes = ReadWholeFile(path);
    std::optional<std::string> text = bytes ? EucJisToUtf8(*bytes) : std::nullopt;
    if (!text)
        return std::nullopt;
    Parser parser;
    parser.table.text = std::move(*text);
    parser.table.records.reserve(parser.table.text.size() / 40);
    std::string_view rest = parser.table.text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!line.starts_with(';'))
            AddLine(parser, line, businesses);
    }
    return parser.Finish();
}

}  // namespace postal
