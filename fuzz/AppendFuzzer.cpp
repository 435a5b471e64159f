// Append then read back: a record of fuzz bytes appended to a file of fuzz
// bytes (or to no file, or with a scan open). It is refused, the file as
// it was, exactly when a text field as written holds a byte the line
// cannot carry; otherwise the file gains a line end when its last line
// lacked one and one line, which the reference reader reads back as the
// record, and every scan of the new file agrees with the reference.
#include "FuzzSupport.h"
#include "LineIndex.h"
#include "TableCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr std::size_t MAX_OLD_BYTES = 2048;

// Fuzz bytes up to the field's width, without a NUL when they fill it;
// bytes after a NUL are left dirty, as they must never be written. In
// expected, the text as it must be written: cut to the width minus one
// between characters.
template <std::size_t N>
bool FillText(char (&field)[N], char (&expected)[N], FuzzedDataProvider& input)
{
    const std::string bytes = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, N));
    std::memset(field, 'G', N);
    std::memcpy(field, bytes.data(), bytes.size());
    if (bytes.size() < N)
        field[bytes.size()] = '\0';
    const std::string text = reference::CutToCharacters(std::string(field, ::strnlen(field, N)), N - 1);
    std::memset(expected, 0, N);
    std::memcpy(expected, text.data(), text.size());
    return text.find_first_of(",\r\n\x1A") == std::string::npos;
}

struct Person {
    AddressRecord record;
    AddressRecord expected;  // as a scan must deliver it back
    bool carried = true;     // whether the line format can carry it
};

Person MakePerson(FuzzedDataProvider& input)
{
    Person p{};
    AddressRecord& r = p.record;
    AddressRecord& e = p.expected;
    const auto text = [&](auto& field, auto& expected) { p.carried &= FillText(field, expected, input); };
    text(r.reading, e.reading);
    text(r.name, e.name);
    text(r.address1, e.address1);
    text(r.address2, e.address2);
    e.birthYear = r.birthYear = input.ConsumeIntegral<int>();
    e.birthMonth = r.birthMonth = input.ConsumeIntegral<int>();
    e.birthDay = r.birthDay = input.ConsumeIntegral<int>();
    e.bloodType = r.bloodType = input.ConsumeIntegral<int>();
    text(r.email, e.email);
    text(r.zip1, e.zip1);
    text(r.zip2, e.zip2);
    r.sex = input.ConsumeIntegral<int>();
    e.sex = r.sex == 0 ? 0 : 1;
    for (int part = 0; part < PHONE_KIND_COUNT * PHONE_PART_COUNT; ++part)
        text(r.phones[part / PHONE_PART_COUNT][part % PHONE_PART_COUNT],
             e.phones[part / PHONE_PART_COUNT][part % PHONE_PART_COUNT]);
    return p;
}

void CheckAppend(const std::string& old, bool fileExists, bool scanOpen, const Person& person)
{
    if (fileExists)
        fuzz::WriteDataFile(old);
    else
        fuzz::RemoveDataFile();
    std::string before = fileExists ? old : std::string();
    const auto table = std::make_unique<CAddressTable>();
    AddressRecord ignored{};
    if (scanOpen)
        (void)table->GetFirst(ignored, KANAROW_ALL);
    // Every open takes a 0x1A that ends the file off it.
    const bool opened = scanOpen || person.carried;
    if (opened && !before.empty() && before.back() == '\x1A')
        before.pop_back();

    const int result = table->AddRecord(person.record);
    FUZZ_CHECK(result == (person.carried ? 1 : 0));
    FUZZ_CHECK(table->LastAppend() == (person.carried ? AppendEnd::Written : AppendEnd::Refused));
    FUZZ_CHECK(fuzz::DataFileExists() == (fileExists || opened));
    const std::string now = fuzz::ReadDataFile();
    if (!person.carried) {
        FUZZ_CHECK(now == before);
        return;
    }
    const std::string lineEnd = !before.empty() && before.back() != '\n' ? "\r\n" : "";
    FUZZ_CHECK(now.compare(0, before.size() + lineEnd.size(), before + lineEnd) == 0);
    const std::string line = now.substr(before.size() + lineEnd.size());
    FUZZ_CHECK(line.size() >= 2 && line.find_first_of("\n\x1A") == line.size() - 1 && line.ends_with("\r\n"));
    const auto read = reference::ReadDataLines(line);
    FUZZ_CHECK(read.size() == 1 && read[0].wellFormed && read[0].fieldCount == reference::FIELD_COUNT);
    FUZZ_CHECK(reference::CodeOf(read[0]) == CAddressTable::ClassifyReading(person.record.reading));
    const AddressRecord back = reference::RecordOf(read[0]);
    FUZZ_CHECK(std::memcmp(&back, &person.expected, sizeof back) == 0);
    const std::string difference = reference::CompareScans(now, LineKernels::Avx2());
    if (!difference.empty())
        fuzz::Fail(difference.c_str(), __FILE__, __LINE__);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterPrivateWorkDir();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<std::uint8_t>();
    const std::string old = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, MAX_OLD_BYTES));
    CheckAppend(old, (flags & 1) != 0, (flags & 2) != 0, MakePerson(input));
    return 0;
}
