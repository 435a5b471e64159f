#include "Report.h"

#include <array>

namespace vcard {

namespace {

// Each heading's words for import and for export (empty: never counted
// that way), and what it counts.
struct HeadingText {
    Heading heading;
    const char* onImport;
    const char* onExport;
    const char* unit;
};

constexpr std::array<HeadingText, HEADING_COUNT> HEADINGS{{
    {Heading::Skipped, "取り込まなかった人", "書き出さなかった人", "人"},
    {Heading::ReadingFromName, "ふりがながなく、名前をふりがなにした人", "", "人"},
    {Heading::FieldLeftEmpty, "そのままでは入らないため空欄にした項目", "", "件"},
    {Heading::PhoneUnholdable, "3 つの欄に分けられず取り込まなかった電話番号", "", "件"},
    {Heading::PhoneNotStored, "取り込まなかった電話番号 (勤務先、FAX、同じ種類の 2 つ目)", "", "件"},
    {Heading::AddressNotStored, "取り込まなかった住所 (勤務先、2 つ目)", "", "件"},
    {Heading::CodeInAddress, "3 桁と 4 桁にならず住所に入れた郵便番号", "", "件"},
    {Heading::AddressBlanked, "カンマや改行を空白にした住所", "", "件"},
    {Heading::DateLeftOut, "誕生日を取り込まなかった人", "暦にない誕生日を書き出さなかった人", "人"},
}};

std::string Count(int value, const char* unit)
{
    return std::to_string(value) + " " + unit;
}

std::string Outcome(const Report& report)
{
    if (report.direction == Direction::Import)
        return report.fileName + " から " + Count(report.done, "人") + "を取り込みました。\n";
    return Count(report.done, "人") + "を " + report.fileName + " に書き出しました。\n";
}

// The heading's count line, then its lines while room is left.
void AddHeading(std::string& text, const Report& report, const HeadingText& heading, std::size_t& room)
{
    const int count = report.Count(heading.heading);
    const char* label = report.direction == Direction::Import ? heading.onImport : heading.onExport;
    if (count == 0 || *label == '\0')
        return;
    text += std::string(label) + ": " + Count(count, heading.unit) + "\n";
    std::size_t left = 0;
    for (const ReportLine& line : report.lines) {
        if (line.heading != heading.heading)
            continue;
        if (room == 0) {
            ++left;
            continue;
        }
        --room;
        text += "・" + line.who + ": " + line.what + "\n";
    }
    if (left > 0)
        text += "他 " + std::to_string(left) + " 件\n";
}

}  // namespace

std::string SummaryText(const Report& report, std::size_t maxLines)
{
    if (!report.ok)
        return report.failure + "\n";
    std::string text = Outcome(report);
    std::size_t room = maxLines;
    for (const HeadingText& heading : HEADINGS)
        AddHeading(text, report, heading, room);
    return text;
}

std::string MalformedLineMessage(const ScanStatus& status)
{
    const std::string line = std::string(ADDRESS_TABLE_FILE) + " の " + std::to_string(status.lineNumber) + " 行目";
    const std::string rest = "、それ以降のデータを読み込めません";
    switch (status.malformed) {
    case MalformedLine::TooLong:
        return line + "が長すぎるため（1 行 4095 バイトまで）" + rest;
    case MalformedLine::Nul:
        return line + "に NUL 文字があるため" + rest;
    case MalformedLine::Empty:
        return line + "の形式が正しくないため（空行です）" + rest;
    case MalformedLine::TooFewFields:
        break;
    }
    return line + "の形式が正しくないため（項目が 25 個必要ですが " + std::to_string(status.fieldCount)
           + " 個しかありません）" + rest;
}

}  // namespace vcard
