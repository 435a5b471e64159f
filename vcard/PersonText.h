#pragma once

#include "AddressRecord.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// One person as UTF-8 text: what a card says, before the limits of the
// data file are checked, and what a record says, before it is written as
// a card.
namespace vcard {

using PhoneParts = std::array<std::string, PHONE_PART_COUNT>;

// The bytes the form lets each part of a phone number hold.
inline constexpr std::array<std::size_t, PHONE_PART_COUNT> PHONE_PART_LIMITS{5, 4, 4};

inline constexpr int DEFAULT_BIRTH_YEAR = 1970;
inline constexpr int DEFAULT_SEX = 0;  // 男, the form's start-up choice
inline constexpr int NO_BLOOD_TYPE = -1;

struct PersonText {
    std::string name;
    std::string reading;
    std::string address1;
    std::string address2;
    std::string email;
    std::string zip1;
    std::string zip2;
    // 自宅, 携帯, PHS, ポケベル; nullopt where the kind holds no number.
    std::array<std::optional<PhoneParts>, PHONE_KIND_COUNT> phones;
    int birthYear = DEFAULT_BIRTH_YEAR;
    int birthMonth = 1;
    int birthDay = 1;
    int bloodType = NO_BLOOD_TYPE;
    int sex = DEFAULT_SEX;
};

// Why a person cannot be taken: shown after the person's name.
struct Refusal {
    std::string reason;
};

// The record of the person when every field fits the form's limits and
// the data file can hold its text unchanged.
[[nodiscard]] std::variant<AddressRecord, Refusal> RecordFrom(const PersonText& person);

// The record as text; a Refusal when a field holds bytes that are no
// Shift_JIS.
[[nodiscard]] std::variant<PersonText, Refusal> TextFrom(const AddressRecord& record);

// The name as UTF-8 for the summary, whatever its bytes.
[[nodiscard]] std::string NameForSummary(const AddressRecord& record);

// Whether a date is one a calendar has.
[[nodiscard]] bool IsRealDate(int year, int month, int day) noexcept;

// Splits a name or reading at its first blank (ASCII or U+3000): the part
// before it, and all after it.
[[nodiscard]] std::array<std::string_view, 2> SplitAtFirstBlank(std::string_view text) noexcept;

}  // namespace vcard
