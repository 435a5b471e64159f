#include "ListOrder.h"

#include "SjisCodec.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <cstdint>

namespace {

UCollator* OpenJapaneseCollator() noexcept
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ja_JP", &status);
    return U_SUCCESS(status) ? collator : nullptr;
}

// The text as UTF-16, the form ICU's collator reads.
std::u16string Utf16Of(std::string_view sjisText)
{
    const std::string utf8 = sjis::DecodeToUtf8(sjisText);
    std::u16string units(utf8.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(units.data(), static_cast<int32_t>(units.size()), &length, utf8.data(),
                  static_cast<int32_t>(utf8.size()), &status);
    units.resize(U_SUCCESS(status) ? static_cast<size_t>(length) : 0);
    return units;
}

}  // namespace

void ListOrder::CloseCollator::operator()(UCollator* collator) const noexcept
{
    ucol_close(collator);
}

ListOrder::ListOrder() : m_collator(OpenJapaneseCollator()) {}

ListOrder::~ListOrder() noexcept = default;

void ListOrder::AppendKey(std::string& key, int group, std::string_view sjisReading, std::string_view sjisName) const
{
    // The group first, as four bytes that order as the signed number does.
    const auto groupBits = static_cast<std::uint32_t>(group) ^ 0x80000000u;
    for (int shift = 24; shift >= 0; shift -= 8)
        key.push_back(static_cast<char>(groupBits >> shift));
    if (!sjisReading.empty())
        AppendCollationKey(key, sjisReading);
    key.push_back('\0');
    AppendCollationKey(key, sjisName);
}

std::string ListOrder::Key(int group, std::string_view sjisReading, std::string_view sjisName) const
{
    std::string key;
    AppendKey(key, group, sjisReading, sjisName);
    return key;
}

// Collation keys hold no zero byte but their terminator, which is left out.
void ListOrder::AppendCollationKey(std::string& key, std::string_view sjisText) const
{
    if (!m_collator) {
        key.append(sjis::DecodeToUtf8(sjisText));
        return;
    }
    const std::u16string text = Utf16Of(sjisText);
    const auto* units = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    uint8_t buffer[256];
    int32_t needed = ucol_getSortKey(m_collator.get(), units, length, buffer, sizeof buffer);
    if (needed <= static_cast<int32_t>(sizeof buffer)) {
        key.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(needed > 0 ? needed - 1 : 0));
        return;
    }
    std::string large(static_cast<size_t>(needed), '\0');
    needed = ucol_getSortKey(m_collator.get(), units, length, reinterpret_cast<uint8_t*>(large.data()), needed);
    key.append(large.data(), static_cast<size_t>(needed > 0 ? needed - 1 : 0));
}
