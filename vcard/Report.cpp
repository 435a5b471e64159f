#include "Report.h"

#include "Words.h"

namespace vcard {

namespace {

// The heading's count line, then its lines while room is left.
void AddHeading(std::string& text, const Report& report, const words::HeadingWords& heading, std::size_t& room)
{
    const int count = report.Count(heading.heading);
    const char* label = report.direction == Direction::Import ? heading.onImport : heading.onExport;
    if (count == 0 || *label == '\0')
        return;
    text += words::HeadingLine(label, count, heading.unit);
    std::size_t left = 0;
    for (const ReportLine& line : report.lines) {
        if (line.heading != heading.heading)
            continue;
        if (room == 0) {
            ++left;
            continue;
        }
        --room;
        text += words::LineUnder(line.who, line.what);
    }
    if (left > 0)
        text += words::MoreLines(left);
}

}  // namespace

std::string SummaryText(const Report& report, std::size_t maxLines)
{
    if (!report.ok)
        return report.failure + "\n";
    std::string text = report.direction == Direction::Import ? words::Imported(report.fileName, report.done)
                                                             : words::Exported(report.done, report.fileName);
    std::size_t room = maxLines;
    for (const words::HeadingWords& heading : words::HEADINGS)
        AddHeading(text, report, heading, room);
    return text;
}

}  // namespace vcard
