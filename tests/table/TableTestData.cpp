#include "TableTestData.h"

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
    return Join({code, Sjis("とうきょう"), name, Sjis("東京都港区"), "1-2-3", "1980", "4", "1", "0", "who@example.jp",
                 "105", "0011", "1", "03", "1234", "5678", "090", "1111", "2222", "*", "*", "*", "*", "*", "*"}) +
           std::string(lineEnd);
}

namespace {
template <std::size_t N>
void Set(char (&field)[N], std::string_view text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), text.size());
}
}  // namespace

AddressRecord SampleRecord(std::string_view name)
{
    AddressRecord record{};
    Set(record.reading, Sjis("とうきょう"));
    Set(record.name, name);
    Set(record.address1, Sjis("東京都港区芝公園"));
    Set(record.address2, "4-2-8 #305 \"A\"");
    record.birthYear = 1980;
    record.birthMonth = 12;
    record.birthDay = 31;
    record.bloodType = 3;
    Set(record.email, "who@example.jp");
    Set(record.zip1, "105");
    Set(record.zip2, "0011");
    record.sex = 1;
    const char* parts[] = {"03", "1234", "5678", "090", "1111", "2222", "*", "*", "*", "*", "*", "*"};
    for (int part = 0; part < PHONE_KIND_COUNT * PHONE_PART_COUNT; ++part)
        Set(record.phones[part / PHONE_PART_COUNT][part % PHONE_PART_COUNT], parts[part]);
    return record;
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
