#include "TableTestData.h"

#include "ReferenceReader.h"
#include "SjisCodec.h"

#include <cstring>
#include <stdexcept>

std::string Sjis(std::string_view utf8)
{
    const auto bytes = sjis::EncodeFromUtf8(utf8);
    if (!bytes)
        throw std::runtime_error("cannot convert to CP932: " + std::string(utf8));
    return *bytes;
}

std::string Join(std::initializer_list<std::string_view> fields)
{
    std::string line;
    for (std::string_view field : fields)
        (line += field) += ',';
    if (!line.empty())
        line.pop_back();
    return line;
}

std::string PersonLine(std::string_view code, std::string_view name, std::string_view lineEnd)
{
    return Join({code,
                 Sjis("とうきょう"),
                 name,
                 Sjis("東京都港区"),
                 "1-2-3 \"A\"",
                 "1980",
                 "4",
                 "1",
                 "0",
                 "who@example.jp",
                 "105",
                 "0011",
                 "1",
                 "03",
                 "1234",
                 "5678",
                 "090",
                 "1111",
                 "2222",
                 "*",
                 "*",
                 "*",
                 "*",
                 "*",
                 "*"})
           + std::string(lineEnd);
}

AddressRecord SampleRecord(std::string_view name)
{
    return reference::RecordOf(reference::ReadDataLines(PersonLine("3", name)).at(0));
}

AddressRecord PoisonedRecord()
{
    AddressRecord record;
    std::memset(&record, 0xEE, sizeof record);
    return record;
}

std::vector<std::string> ScanNames(CAddressTable& table, KanaRow kanaRow)
{
    std::vector<std::string> names;
    AddressRecord record{};
    for (int found = table.GetFirst(record, kanaRow); found; found = table.GetNext(record, kanaRow))
        names.emplace_back(record.name);
    return names;
}
