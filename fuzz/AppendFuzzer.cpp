// Append then read back: a record made of fuzz bytes, appended to a file
// that already holds fuzz bytes (or to no file). The record is refused,
// leaving the file as it was, exactly when a text field holds a byte the
// line cannot carry; otherwise the file grows by the one line and nothing
// else, and a scan delivers the record back.
#include "AddressTable.h"
#include "FuzzSupport.h"
#include "ReferenceReader.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t MAX_OLD_BYTES = 2048;

// Text of fuzz bytes within the field's width, ending on a whole character
// so that nothing needs cutting; the bytes after its NUL are left dirty to
// show that they are never written.
template <std::size_t N>
void FillText(char (&field)[N], FuzzedDataProvider& input)
{
    const std::string bytes = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, N - 1));
    std::memset(field, 'G', N);
    std::memcpy(field, bytes.data(), bytes.size());
    field[bytes.size()] = '\0';
    const std::size_t length = std::strlen(field);
    if (!reference::EndsOnWholeCharacter({field, length}))
        field[length - 1] = '\0';
}

AddressRecord MakeRecord(FuzzedDataProvider& input)
{
    AddressRecord r;
    FillText(r.reading, input);
    FillText(r.name, input);
    FillText(r.address1, input);
    FillText(r.address2, input);
    r.birthYear = input.ConsumeIntegral<int>();
    r.birthMonth = input.ConsumeIntegral<int>();
    r.birthDay = input.ConsumeIntegral<int>();
    r.bloodType = input.ConsumeIntegral<int>();
    FillText(r.email, input);
    FillText(r.zip1, input);
    FillText(r.zip2, input);
    r.sex = input.ConsumeIntegral<int>();
    for (auto& kind : r.phones) {
        for (auto& part : kind)
            FillText(part, input);
    }
    return r;
}

template <typename Visit>
void ForEachText(const AddressRecord& r, Visit visit)
{
    visit(r.reading);
    visit(r.name);
    visit(r.address1);
    visit(r.address2);
    visit(r.email);
    visit(r.zip1);
    visit(r.zip2);
    for (const auto& kind : r.phones) {
        for (const auto& part : kind)
            visit(part);
    }
}

bool LineCannotCarry(const AddressRecord& r)
{
    bool found = false;
    ForEachText(r, [&found](const char* text) { found = found || std::strpbrk(text, ",\r\n\x1A") != nullptr; });
    return found;
}

// The line as the file format describes it, line end not included.
std::string ExpectedLine(const AddressRecord& r)
{
    const KanaRow code = CAddressTable::ClassifyReading(r.reading);
    FUZZ_CHECK((code >= 0 && code <= 9) || code == KANAROW_OTHER);
    std::string line = std::to_string(code);
    const auto text = [&line](const char* field) { line += ','; line += field; };
    const auto number = [&line](int value) { line += ','; line += std::to_string(value); };
    text(r.reading);
    text(r.name);
    text(r.address1);
    text(r.address2);
    number(r.birthYear);
    number(r.birthMonth);
    number(r.birthDay);
    number(r.bloodType);
    text(r.email);
    text(r.zip1);
    text(r.zip2);
    number(r.sex == 0 ? 0 : 1);
    for (const auto& kind : r.phones) {
        for (const auto& part : kind)
            text(part);
    }
    return line;
}

template <std::size_t N>
void CheckSameText(const char (&delivered)[N], const char (&written)[N])
{
    const char* nul = static_cast<const char*>(std::memchr(delivered, '\0', N));
    FUZZ_CHECK(nul != nullptr);
    for (const char* p = nul; p < delivered + N; ++p)
        FUZZ_CHECK(*p == '\0');
    FUZZ_CHECK(std::strcmp(delivered, written) == 0);
}

void CheckDeliveredBack(const AddressRecord& got, const AddressRecord& r)
{
    CheckSameText(got.reading, r.reading);
    CheckSameText(got.name, r.name);
    CheckSameText(got.address1, r.address1);
    CheckSameText(got.address2, r.address2);
    FUZZ_CHECK(got.birthYear == r.birthYear);
    FUZZ_CHECK(got.birthMonth == r.birthMonth);
    FUZZ_CHECK(got.birthDay == r.birthDay);
    FUZZ_CHECK(got.bloodType == r.bloodType);
    CheckSameText(got.email, r.email);
    CheckSameText(got.zip1, r.zip1);
    CheckSameText(got.zip2, r.zip2);
    FUZZ_CHECK(got.sex == (r.sex == 0 ? 0 : 1));
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        for (int part = 0; part < PHONE_PART_COUNT; ++part)
            CheckSameText(got.phones[kind][part], r.phones[kind][part]);
    }
}

// Every open removes a 0x1A that is the last byte of the file.
void Opened(std::string& bytes)
{
    if (!bytes.empty() && bytes.back() == '\x1A')
        bytes.pop_back();
}

// The bytes after an append to `old`: a line end if its last line lacked
// one, then the new line.
std::string Appended(std::string old, const std::string& line)
{
    if (!old.empty() && old.back() != '\n')
        old += "\r\n";
    return old + line + "\r\n";
}

// Whether every line of the file is reachable by a scan with 98.
bool WholeFileReadable(const std::string& bytes)
{
    if (bytes.find('\x1A') != std::string::npos)
        return false;
    for (const reference::DataLine& line : reference::ReadDataLines(bytes)) {
        if (!line.wellFormed)
            return false;
    }
    return true;
}

void CheckLastDelivered(CAddressTable& table, const AddressRecord& r, KanaRow query, std::size_t count)
{
    AddressRecord got{};
    std::size_t delivered = 0;
    for (int found = table.GetFirst(got, query); found; found = table.GetNext(got, query))
        ++delivered;
    FUZZ_CHECK(delivered == count);
    CheckDeliveredBack(got, r);
}

void AppendToExistingFile(const std::string& old, bool fileExists, bool scanOpen, const AddressRecord& r)
{
    if (fileExists)
        fuzz::WriteDataFile(old);
    else
        fuzz::RemoveDataFile();
    std::string expected = fileExists ? old : std::string();
    const auto table = std::make_unique<CAddressTable>();
    if (scanOpen) {
        AddressRecord ignored{};
        (void)table->GetFirst(ignored, KANAROW_ALL);
        Opened(expected);
    }
    const int result = table->AddRecord(r);
    if (LineCannotCarry(r)) {
        FUZZ_CHECK(result == 0);
        FUZZ_CHECK(fuzz::DataFileExists() == (fileExists || scanOpen));
        FUZZ_CHECK(fuzz::ReadDataFile() == expected);
        return;
    }
    FUZZ_CHECK(result == 1);
    Opened(expected);
    const std::string now = fuzz::ReadDataFile();
    FUZZ_CHECK(now == Appended(expected, ExpectedLine(r)));
    if (WholeFileReadable(now))
        CheckLastDelivered(*table, r, KANAROW_ALL, reference::ReadDataLines(now).size());
}

void AppendToNewFile(const AddressRecord& r)
{
    if (LineCannotCarry(r))
        return;
    fuzz::RemoveDataFile();
    const auto table = std::make_unique<CAddressTable>();
    FUZZ_CHECK(table->AddRecord(r) == 1);
    FUZZ_CHECK(fuzz::ReadDataFile() == ExpectedLine(r) + "\r\n");
    CheckLastDelivered(*table, r, KANAROW_ALL, 1);
    CheckLastDelivered(*table, r, CAddressTable::ClassifyReading(r.reading), 1);
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
    const AddressRecord record = MakeRecord(input);
    AppendToExistingFile(old, (flags & 1) != 0, (flags & 2) != 0, record);
    AppendToNewFile(record);
    return 0;
}
