#pragma once

#include "AddressTable.h"
#include "Report.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The vCard layer's words (UTF-8), each stated once: the summary's
// headings and lines, why a person or a field was not taken, and why an
// import or export failed. The columns' names come from the record schema.
namespace vcard::words {

// What the counts count.
inline constexpr const char* PEOPLE = "人";
inline constexpr const char* ITEMS = "件";

// Each heading's words for import and for export (empty: never counted
// that way), and what it counts.
struct HeadingWords {
    Heading heading;
    const char* onImport;
    const char* onExport;
    const char* unit;
};

inline constexpr std::array<HeadingWords, HEADING_COUNT> HEADINGS{{
    {Heading::Skipped, "取り込まなかった人", "書き出さなかった人", PEOPLE},
    {Heading::ReadingFromName, "ふりがながなく、名前をふりがなにした人", "", PEOPLE},
    {Heading::FieldLeftEmpty, "そのままでは入らないため空欄にした項目", "", ITEMS},
    {Heading::PhoneUnholdable, "3 つの欄に分けられず取り込まなかった電話番号", "", ITEMS},
    {Heading::PhoneNotStored, "取り込まなかった電話番号 (勤務先、FAX、同じ種類の 2 つ目)", "", ITEMS},
    {Heading::AddressNotStored, "取り込まなかった住所 (勤務先、2 つ目)", "", ITEMS},
    {Heading::CodeInAddress, "3 桁と 4 桁にならず住所に入れた郵便番号", "", ITEMS},
    {Heading::AddressBlanked, "カンマや改行を空白にした住所", "", ITEMS},
    {Heading::DateLeftOut, "誕生日を取り込まなかった人", "暦にない誕生日を書き出さなかった人", PEOPLE},
}};

// The summary's lines, each ending in a line break.
[[nodiscard]] std::string Imported(const std::string& fileName, int people);
[[nodiscard]] std::string Exported(int people, const std::string& fileName);
[[nodiscard]] std::string HeadingLine(const char* heading, int count, const char* unit);
[[nodiscard]] std::string LineUnder(const std::string& who, const std::string& what);
// The lines of a heading that did not fit.
[[nodiscard]] std::string MoreLines(std::size_t left);

// Why an import or export did not happen.
[[nodiscard]] std::string CannotOpenDataFile();
// A malformed line stops the scan: names the file, the line and what is
// wrong with it (the form says the same).
[[nodiscard]] std::string MalformedLine(const ScanStatus& status);
[[nodiscard]] std::string ExportOntoDataFile(const std::string& fileName);
[[nodiscard]] std::string NoDataFileHere();
// error: the errno of the failed call, told in the system's words.
[[nodiscard]] std::string CannotWrite(const std::string& fileName, int error);
[[nodiscard]] std::string CannotRead(const std::string& fileName, int error);
[[nodiscard]] std::string NoCards(const std::string& fileName);
[[nodiscard]] std::string AppendFailed(bool unfinishedLineLeft);

// Why a person was not taken or not written.
inline constexpr const char* NO_NAME = "名前がありません";
inline constexpr const char* UNFINISHED_CARD = "END:VCARD がなく、カードが途中で切れています";
inline constexpr const char* SAME_NAME_IN_FILE = "同じ名前の人がすでにファイルにいます";
inline constexpr const char* SAME_NAME_EARLIER_IN_CARDS = "同じ名前の人が vCard ファイルの前の方にいます";
[[nodiscard]] std::string UnreadableBytes(std::string_view label);
// A card without a name, by its place in the file.
[[nodiscard]] std::string CardNumbered(int number);

// Why a field's text cannot stand in the data file as it is.
[[nodiscard]] std::string CommaIn(std::string_view label);
[[nodiscard]] std::string ControlCharacterIn(std::string_view label);
[[nodiscard]] std::string NotInShiftJis(std::string_view label);
[[nodiscard]] std::string OverLimit(std::string_view label, std::size_t limit);

// What was taken otherwise or left out, as written in the card.
[[nodiscard]] std::string Quoted(std::string_view text);
[[nodiscard]] std::string BirthDateWithoutYear(std::string_view text);
[[nodiscard]] std::string BirthDateUnreadable(std::string_view text);
[[nodiscard]] std::string BirthDateOutsideYears(std::string_view text);
inline constexpr const char* BIRTH_DATE_NOT_WRITTEN = "暦にない誕生日は書き出しませんでした";

// The command line's help.
[[nodiscard]] std::string Usage();

}  // namespace vcard::words
