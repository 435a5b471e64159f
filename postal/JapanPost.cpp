#include "JapanPost.h"

#include "AddressKey.h"
#include "DictionaryFiles.h"
#include "SjisCodec.h"

#include <zip.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace postal {
namespace {

using Fields = std::vector<std::string>;

// Where each file keeps what we take from it.
struct Layout {
    std::size_t columns;
    std::size_t code;
    std::size_t prefecture;
    std::size_t city;
    std::size_t town;
    std::size_t rest;  // 小字名、丁目、番地等 (businesses only)
};
constexpr Layout TOWNS{15, 2, 6, 7, 8, 0};
constexpr Layout BUSINESSES{13, 7, 3, 4, 5, 6};

constexpr std::string_view NOT_LISTED = "以下に掲載がない場合";
constexpr std::string_view NEXT_COMES = "の次に";
constexpr std::string_view CASE_END = "がくる場合";
constexpr std::string_view WHOLE_AREA = "一円";
constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";
constexpr std::string_view ZIP_MAGIC = "PK\x03\x04";

std::string LineText(std::size_t line)
{
    return std::to_string(line) + " 行目";
}

// One CSV record; Japan Post quotes text and leaves numbers bare.
Fields SplitRecord(std::string_view line)
{
    Fields fields(1);
    bool quoted = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '"' && quoted && at + 1 < line.size() && line[at + 1] == '"') {
            fields.back() += '"';
            ++at;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::size_t Count(std::string_view text, std::string_view what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

// A 町域 split over several rows leaves a note open.
bool NoteOpen(std::string_view town)
{
    return Count(town, "（") > Count(town, "）");
}

Entry TownEntry(const std::string& code, const std::string& place, std::string_view town)
{
    const bool cityNote =
        town == NOT_LISTED || (town.find(NEXT_COMES) != std::string_view::npos && town.ends_with(CASE_END));
    if (cityNote)
        return {code, place, Level::City};
    if (town.ends_with(WHOLE_AREA) && town != WHOLE_AREA)  // 青ヶ島村一円: the whole village, one code
        return {code, place, Level::Town};
    const std::string name = WithoutNotes(town);
    return {code, place + name, name.empty() ? Level::City : Level::Town};
}

struct Row {
    std::size_t line;
    Fields fields;
};

std::optional<std::string> CheckRow(const Row& row, const Layout& layout)
{
    const Fields& f = row.fields;
    if (f.size() != layout.columns)
        return LineText(row.line) + "の列の数が " + std::to_string(f.size()) + " です（この形のファイルでは "
               + std::to_string(layout.columns) + "）。";
    if (!ParseCode(f[layout.code]) || f[layout.code].size() != 7)
        return LineText(row.line) + "の郵便番号「" + f[layout.code] + "」が 7 桁の数字ではありません。";
    if (PrefectureAt(f[layout.prefecture]) == NO_PREFECTURE || f[layout.city].empty())
        return LineText(row.line) + "の都道府県名・市区町村名「" + f[layout.prefecture] + f[layout.city]
               + "」が住所ではありません。";
    return std::nullopt;
}

Entries TownEntries(const std::vector<Row>& rows)
{
    Entries entries;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Fields& f = rows[i].fields;
        std::string town = f[TOWNS.town];
        while (NoteOpen(town) && i + 1 < rows.size() && rows[i + 1].fields[TOWNS.code] == f[TOWNS.code])
            town += rows[++i].fields[TOWNS.town];
        entries.push_back(TownEntry(f[TOWNS.code], f[TOWNS.prefecture] + f[TOWNS.city], town));
    }
    return entries;
}

Entries BusinessEntries(const std::vector<Row>& rows)
{
    const Layout& l = BUSINESSES;
    Entries entries;
    for (const Row& row : rows) {
        const Fields& f = row.fields;
        entries.push_back({f[l.code], f[l.prefecture] + f[l.city] + f[l.town] + f[l.rest], Level::Business});
    }
    return entries;
}

// By code, each address once a code.
void SortAndMerge(Entries& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.code < b.code; });
    std::set<std::pair<std::string, std::string>> seen;
    std::erase_if(entries, [&seen](const Entry& e) { return !seen.emplace(e.code, e.address).second; });
}

std::variant<std::string, std::string> DecodedText(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    std::string text = sjis::LooksLikeUtf8(bytes) ? std::string(bytes) : sjis::DecodeToUtf8(bytes);
    const std::size_t bad = text.find(REPLACEMENT);
    if (bad != std::string::npos)
        return std::variant<std::string, std::string>(
            std::in_place_index<1>, LineText(static_cast<std::size_t>(std::count(
                                                 text.begin(), text.begin() + static_cast<std::ptrdiff_t>(bad), '\n'))
                                             + 1)
                                        + "に UTF-8 としても Shift_JIS としても読めない文字があります。");
    return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(text));
}

std::vector<Row> Rows(std::string_view text)
{
    std::vector<Row> rows;
    for (std::size_t line = 1; !text.empty(); ++line) {
        const std::size_t end = text.find('\n');
        std::string_view record = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (record.ends_with('\r'))
            record.remove_suffix(1);
        if (!record.empty())
            rows.push_back({line, SplitRecord(record)});
    }
    return rows;
}

// libzip's archive, closed without writing.
struct ZipDiscard {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
struct ZipFileClose {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};

bool IsCsvName(std::string_view name)
{
    if (name.size() < 4 || name.ends_with('/'))
        return false;
    std::string suffix(name.substr(name.size() - 4));
    std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
    return suffix == ".csv";
}

// The one CSV file inside the zip.
std::variant<std::string, std::string> CsvInZip(const std::filesystem::path& file)
{
    using Result = std::variant<std::string, std::string>;
    int error = 0;
    const std::unique_ptr<zip_t, ZipDiscard> archive(zip_open(file.c_str(), ZIP_RDONLY, &error));
    if (!archive)
        return Result(std::in_place_index<1>, "zip ファイルとして読めません。");
    std::vector<zip_uint64_t> csvs;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
        if (name != nullptr && IsCsvName(name))
            csvs.push_back(static_cast<zip_uint64_t>(i));
    }
    if (csvs.size() != 1)
        return Result(std::in_place_index<1>, csvs.empty() ? "zip ファイルの中に CSV ファイルがありません。"
                                                           : "zip ファイルの中に CSV ファイルが二つ以上あります。");
    const std::unique_ptr<zip_file_t, ZipFileClose> csv(zip_fopen_index(archive.get(), csvs.front(), 0));
    std::string bytes;
    char buffer[1 << 16];
    zip_int64_t read = 0;
    while (csv && (read = zip_fread(csv.get(), buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<std::size_t>(read));
    if (!csv || read < 0)
        return Result(std::in_place_index<1>, "zip ファイルの中の CSV ファイルが読めません（壊れています）。");
    return Result(std::in_place_index<0>, std::move(bytes));
}

std::variant<std::string, std::string> FileBytes(const std::filesystem::path& file)
{
    using Result = std::variant<std::string, std::string>;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Result(std::in_place_index<1>, "ファイルが開けません。");
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return Result(std::in_place_index<1>, "ファイルが読めません。");
    if (std::string_view(bytes).starts_with(ZIP_MAGIC))
        return CsvInZip(file);
    return Result(std::in_place_index<0>, std::move(bytes));
}

}  // namespace

std::variant<ParsedFile, std::string> ParseJapanPostCsv(std::string_view bytes)
{
    auto text = DecodedText(bytes);
    if (text.index() == 1)
        return std::get<1>(std::move(text));
    const std::vector<Row> rows = Rows(std::get<0>(text));
    if (rows.empty())
        return std::string("郵便番号が一つもありません。");
    const bool businesses = rows.front().fields.size() == BUSINESSES.columns;
    const Layout& layout = businesses ? BUSINESSES : TOWNS;
    for (const Row& row : rows) {
        if (auto problem = CheckRow(row, layout))
            return std::move(*problem);
    }
    ParsedFile parsed{businesses ? BusinessEntries(rows) : TownEntries(rows), businesses};
    SortAndMerge(parsed.entries);
    return parsed;
}

ImportResult ImportJapanPostFile(const std::filesystem::path& file, const std::filesystem::path& dataDir)
{
    const std::string name = file.string() + ": ";
    const std::string refused = "日本郵便の郵便番号データとして取り込めません。辞書は変わっていません。\n";
    auto bytes = FileBytes(file);
    if (bytes.index() == 1)
        return {false, name + std::get<1>(bytes) + "\n" + refused};
    auto parsed = ParseJapanPostCsv(std::get<0>(bytes));
    if (parsed.index() == 1)
        return {false, name + std::get<1>(parsed) + "\n" + refused};
    const ParsedFile& result = std::get<0>(parsed);
    const std::filesystem::path target = dataDir / (result.businesses ? IMPORTED_OFFICE : IMPORTED_GENERAL);
    const std::string error = WriteImportedFile(target, result.entries);
    if (!error.empty())
        return {false, error + "\n辞書を書けませんでした。辞書は変わっていません。\n"};
    const char* kind = result.businesses ? "事業所の郵便番号" : "住所の郵便番号";
    return {true, name + kind + " " + std::to_string(result.entries.size()) + " 件を " + target.string()
                      + " に書きました。\n"};
}

}  // namespace postal
