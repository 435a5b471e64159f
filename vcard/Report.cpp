#include "Report.h"

namespace vcard {

namespace {

std::string Count(int value, const char* unit)
{
    return std::to_string(value) + " " + unit;
}

// A count line, only when there is something to count.
void AddCount(std::string& text, int value, const char* label, const char* unit)
{
    if (value > 0)
        text += std::string(label) + ": " + Count(value, unit) + "\n";
}

std::string Outcome(const Report& report)
{
    if (report.direction == Direction::Import)
        return report.fileName + " から " + Count(report.done, "人") + "を取り込みました。\n";
    return Count(report.done, "人") + "を " + report.fileName + " に書き出しました。\n";
}

}  // namespace

std::string SummaryText(const Report& report, std::size_t maxLines)
{
    if (!report.ok)
        return report.failure + "\n";
    const bool import = report.direction == Direction::Import;
    std::string text = Outcome(report);
    if (import && report.cardsRead == 0)
        text += "vCard のカード (BEGIN:VCARD) が見つかりませんでした\n";
    AddCount(text, report.skipped, import ? "取り込まなかった人" : "書き出さなかった人", "人");
    AddCount(text, report.readingsFromName, "ふりがながなく、名前をふりがなにした人", "人");
    AddCount(text, report.phonesNotStored, "取り込まなかった電話番号 (勤務先、FAX、同じ種類の 2 つ目)", "件");
    AddCount(text, report.datesLeftOut, import ? "誕生日を取り込まなかった人" : "暦にない誕生日を書き出さなかった人",
             "人");
    std::size_t shown = 0;
    for (const ReportLine& line : report.lines) {
        if (shown++ == maxLines)
            break;
        text += "・" + line.who + ": " + line.what + "\n";
    }
    if (report.lines.size() > maxLines)
        text += "他 " + std::to_string(report.lines.size() - maxLines) + " 件\n";
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
