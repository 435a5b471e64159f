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

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

std::vector<std::pair<char*, std::size_t>> TextFields(AddressRecord& r)
{
    std::vector<std::pair<char*, std::size_t>> fields = {
        {r.reading, sizeof r.reading},   {r.name, sizeof r.name},   {r.address1, sizeof r.address1},
        {r.address2, sizeof r.address2}, {r.email, sizeof r.email}, {r.zip1, sizeof r.zip1},
        {r.zip2, sizeof r.zip2}};
    for (auto& kind : r.phones) {
        for (auto& part : kind)
            fields.emplace_back(part, sizeof part);
    }
    return fields;
}

void CheckAppend(FuzzedDataProvider& input)
{
    const auto flags = input.ConsumeIntegral<std::uint8_t>();
    std::string before = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, 2048));
    // Text fields of fuzz bytes, without a NUL when they fill the field;
    // the bytes after a NUL stay dirty, as they must never be written.
    AddressRecord record;
    std::memset(&record, 'G', sizeof record);
    for (auto [field, width] : TextFields(record)) {
        const std::string bytes = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, width));
        std::memcpy(field, bytes.c_str(), std::min(bytes.size() + 1, width));
    }
    for (int* number : {&record.birthYear, &record.birthMonth, &record.birthDay, &record.bloodType, &record.sex})
        *number = input.ConsumeIntegral<int>();
    // As a scan must deliver it back: text cut to its width minus one
    // between characters, sex 0 or 1.
    AddressRecord expected = record;
    expected.sex = record.sex == 0 ? 0 : 1;
    bool carried = true;
    for (auto [field, width] : TextFields(expected)) {
        const std::string text = reference::CutToCharacters({field, ::strnlen(field, width)}, width - 1);
        std::memset(field, 0, width);
        std::memcpy(field, text.data(), text.size());
        carried = carried && text.find_first_of(",\r\n\x1A") == std::string::npos;
    }

    if (!(flags & 1))
        before.clear();
    reference::WriteDataFile(before);
    if (!(flags & 1))
        (void)::unlink(ADDRESS_TABLE_FILE);
    CAddressTable table;
    AddressRecord ignored{};
    if (flags & 2)
        (void)table.GetFirst(ignored, KANAROW_ALL);
    // Every open takes a 0x1A that ends the file off it: the scan's open
    // and the append's open take one each.
    const bool opened = (flags & 2) || carried;
    for (int opens = ((flags & 2) ? 1 : 0) + (carried ? 1 : 0); opens > 0 && before.ends_with('\x1A'); --opens)
        before.pop_back();
    FUZZ_CHECK(table.AddRecord(record) == (carried ? 1 : 0));
    FUZZ_CHECK(table.LastAppend() == (carried ? AppendEnd::Written : AppendEnd::Refused));
    FUZZ_CHECK((::access(ADDRESS_TABLE_FILE, F_OK) == 0) == ((flags & 1) || opened));
    const std::string now = reference::ReadDataFile();
    if (!carried) {
        FUZZ_CHECK(now == before);
        return;
    }
    const std::string kept = before + (before.empty() || before.ends_with('\n') ? "" : "\r\n");
    FUZZ_CHECK(now.starts_with(kept));
    const std::string line = now.substr(kept.size());
    FUZZ_CHECK(line.ends_with("\r\n") && line.find_first_of("\n\x1A") == line.size() - 1);
    const auto read = reference::ReadDataLines(line);
    FUZZ_CHECK(read.size() == 1 && read[0].fieldCount == reference::FIELD_COUNT);
    FUZZ_CHECK(reference::CodeOf(read[0]) == CAddressTable::ClassifyReading(record.reading));
    const AddressRecord back = reference::RecordOf(read[0]);
    FUZZ_CHECK(std::memcmp(&back, &expected, sizeof back) == 0);
    for (const LineKernels* kernels : LineKernels::Supported()) {
        const std::string difference = reference::CompareScans(now, kernels);
        if (!difference.empty())
            fuzz::Fail((difference + ", kernels " + kernels->name).c_str(), __FILE__, __LINE__);
    }
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
    CheckAppend(input);
    return 0;
}
