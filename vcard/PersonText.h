#pragma once

#include "AddressRecord.h"
#include "RecordSchema.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// One person as UTF-8 text: what a card says, before the limits of the
// data file are checked, and what a record says, before it is written as
// a card.
namespace vcard {

using PhoneParts = std::array<std::string, PHONE_PART_COUNT>;

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
    int birthMonth = DEFAULT_BIRTH_MONTH;
    int birthDay = DEFAULT_BIRTH_DAY;
    int bloodType = COLUMNS[COL_BLOOD_TYPE].startValue;
    int sex = COLUMNS[COL_SEX].startValue;  // 男, the form's start-up choice
};

// Why a person cannot be taken: shown after the person's name.
struct Refusal {
    std::string reason;
};

// The record of a person. Refused when the name or the reading cannot be
// held unchanged (too long for the form, a comma, a line break, a
// character outside code page 932); any other field that cannot is left
// empty and named in emptied, never cut.
struct MadeRecord {
    std::optional<Refusal> refusal;
    AddressRecord record{};
    std::vector<std::string> emptied;  // why each field left empty could not be held
};

[[nodiscard]] MadeRecord RecordFrom(const PersonText& person);

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
