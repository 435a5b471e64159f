#include "TableTestData.h"

#include "ShiftJis.h"

#include <cstring>
#include <iconv.h>
#include <stdexcept>

std::string Sjis(std::string_view utf8)
{
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv_open CP932 failed");
    std::string in(utf8);
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t result = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (result == static_cast<size_t>(-1))
        throw std::runtime_error("cannot convert to CP932: " + in);
    out.resize(out.size() - outLeft);
    return out;
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
    const char* parts[PHONE_KIND_COUNT][PHONE_PART_COUNT] = {
        {"03", "1234", "5678"}, {"090", "1111", "2222"}, {"*", "*", "*"}, {"*", "*", "*"}};
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        for (int part = 0; part < PHONE_PART_COUNT; ++part)
            Set(record.phones[kind][part], parts[kind][part]);
    }
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

bool EndsOnCharacterBoundary(const char* text)
{
    const std::size_t length = std::strlen(text);
    std::size_t i = 0;
    while (i < length)
        i += sjis::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    return i == length;
}
