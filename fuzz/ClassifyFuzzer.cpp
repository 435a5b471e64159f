// ClassifyReading on arbitrary bytes. The reading is copied into a heap
// block that ends right at its NUL, so AddressSanitizer catches any read
// past it. The result must be a row code, and a row code only for the
// hiragana that have one: 829F to 82F1 less the ten small kana.
#include "AddressTable.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

bool IsSmallKana(unsigned char trail)
{
    constexpr unsigned char SMALL[] = {0x9F, 0xA1, 0xA3, 0xA5, 0xA7, 0xC1, 0xE1, 0xE3, 0xE5, 0xEC};
    return std::memchr(SMALL, trail, sizeof SMALL) != nullptr;
}

bool HasRow(const char* reading)
{
    const auto lead = static_cast<unsigned char>(reading[0]);
    const auto trail = static_cast<unsigned char>(reading[1]);
    return lead == 0x82 && trail >= 0x9F && trail <= 0xF1 && !IsSmallKana(trail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::size_t length = ::strnlen(reinterpret_cast<const char*>(data), size);
    const auto reading = std::make_unique<char[]>(length + 1);
    std::memcpy(reading.get(), data, length);
    reading[length] = '\0';

    const KanaRow code = CAddressTable::ClassifyReading(reading.get());
    FUZZ_CHECK((code >= 0 && code <= 9) || code == KANAROW_OTHER);
    FUZZ_CHECK((code != KANAROW_OTHER) == (length >= 2 && HasRow(reading.get())));
    return 0;
}
