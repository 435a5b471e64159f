#include "CardImport.h"

#include "Kana.h"
#include "PhoneNumber.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace vcard {

namespace {

constexpr int HOME = 0;
constexpr int MOBILE = 1;
constexpr int PHS = 2;
constexpr int PAGER = 3;
constexpr int NOT_STORED = -1;

// TEL types and the kind they go to; the first that a number has wins,
// and a number with none of them is a home number (VOICE, HOME, none).
struct TypeKind {
    std::string_view type;
    int kind;
};

constexpr std::array<TypeKind, 6> PHONE_TYPE_KINDS{{
    {"FAX", NOT_STORED},
    {"WORK", NOT_STORED},
    {"X-KANAROKU-PHS", PHS},
    {"CELL", MOBILE},
    {"IPHONE", MOBILE},
    {"PAGER", PAGER},
}};

constexpr std::array<std::string_view, 4> BLOOD_TYPES{"A", "B", "O", "AB"};

constexpr int FIRST_YEAR = 1900;
constexpr int LAST_YEAR = 2099;
constexpr std::string_view DATE_KEPT = "、1970年1月1日のままにしました";

enum Address { PO_BOX, EXTENDED, STREET, LOCALITY, REGION, POSTAL_CODE, ADDRESS_PARTS };

std::string TextOf(const Card& card, std::string_view name)
{
    const Property* property = card.Find(name);
    return property ? Unescaped(property->value) : std::string();
}

std::vector<std::string> PartsOf(const Property& property, std::size_t count)
{
    std::vector<std::string> parts = Components(property.value);
    parts.resize(std::max(parts.size(), count));
    return parts;
}

// Two parts of a name or reading as one text: the card's whole form when
// it splits into exactly these parts (it keeps the blank the person
// used), else the parts joined by one blank.
std::string Joined(const std::string& first, const std::string& second, std::string_view whole)
{
    const auto split = SplitAtFirstBlank(whole);
    if (!whole.empty() && split[0] == first && split[1] == second)
        return std::string(whole);
    if (first.empty() || second.empty())
        return first + second;
    return first + " " + second;
}

std::string NameOf(const Card& card)
{
    const std::string formatted = TextOf(card, "FN");
    const Property* n = card.Find("N");
    if (n == nullptr)
        return formatted;
    const std::vector<std::string> parts = PartsOf(*n, 2);
    if (!parts[0].empty())
        return Joined(parts[0], parts[1], formatted);
    return formatted.empty() ? parts[1] : formatted;
}

std::string ReadingOf(const Card& card)
{
    const std::string sortString = TextOf(card, "SORT-STRING");
    const std::string last = TextOf(card, "X-PHONETIC-LAST-NAME");
    const std::string first = TextOf(card, "X-PHONETIC-FIRST-NAME");
    if (!last.empty() || !first.empty())
        return Joined(last, first, sortString);
    if (!sortString.empty())
        return sortString;
    const Property* n = card.Find("N");
    if (n != nullptr && !n->sortAs.empty())
        return Joined(n->sortAs[0], n->sortAs.size() > 1 ? n->sortAs[1] : std::string(), {});
    for (const Property& sound : card.properties) {
        if (sound.name == "SOUND" && sound.HasType("X-IRMC-N")) {
            const std::vector<std::string> parts = PartsOf(sound, 2);
            return Joined(parts[0], parts[1], {});
        }
    }
    return {};
}

bool AllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// 〒123-4567, 123-4567 and 1234567 as 123 / 4567; any other code with
// one hyphen splits there as written, a short one is the first part.
std::optional<std::array<std::string, 2>> PostalCodeParts(std::string_view code)
{
    constexpr std::string_view POSTAL_MARK = "〒";
    std::string_view digits = code;
    while (digits.starts_with(POSTAL_MARK) || digits.starts_with(' '))
        digits.remove_prefix(digits.starts_with(' ') ? 1 : POSTAL_MARK.size());
    if (digits.size() == 8 && digits[3] == '-' && AllDigits(digits.substr(0, 3)) && AllDigits(digits.substr(4)))
        return std::array<std::string, 2>{std::string(digits.substr(0, 3)), std::string(digits.substr(4))};
    if (digits.size() == 7 && AllDigits(digits))
        return std::array<std::string, 2>{std::string(digits.substr(0, 3)), std::string(digits.substr(3))};
    const std::size_t hyphen = code.find('-');
    if (hyphen != std::string_view::npos && code.find('-', hyphen + 1) == std::string_view::npos)
        return std::array<std::string, 2>{std::string(code.substr(0, hyphen)), std::string(code.substr(hyphen + 1))};
    if (hyphen == std::string_view::npos && code.size() <= 3)
        return std::array<std::string, 2>{std::string(code), {}};
    return std::nullopt;
}

const Property* HomeAddress(const Card& card)
{
    for (const Property& property : card.properties) {
        if (property.name == "ADR" && !property.HasType("WORK"))
            return &property;
    }
    return nullptr;
}

void TakeAddress(const Card& card, CardPerson& out)
{
    const Property* adr = HomeAddress(card);
    if (adr == nullptr)
        return;
    const std::vector<std::string> parts = PartsOf(*adr, ADDRESS_PARTS);
    // Japanese order: prefecture, city, then the street.
    out.person.address1 = parts[REGION] + parts[LOCALITY] + parts[STREET];
    out.person.address2 = parts[EXTENDED];
    const auto postal = PostalCodeParts(parts[POSTAL_CODE]);
    if (!postal) {
        out.refusal = Refusal{"郵便番号「" + parts[POSTAL_CODE] + "」を 3 桁と 4 桁に分けられません"};
        return;
    }
    out.person.zip1 = (*postal)[0];
    out.person.zip2 = (*postal)[1];
}

int PhoneKindOf(const Property& tel)
{
    for (const TypeKind& entry : PHONE_TYPE_KINDS) {
        if (tel.HasType(entry.type))
            return entry.kind;
    }
    return HOME;
}

void TakePhones(const Card& card, CardPerson& out)
{
    for (const Property& tel : card.properties) {
        if (tel.name != "TEL")
            continue;
        std::optional<PhoneParts> parts = SplitPhoneNumber(Unescaped(tel.value));
        if (!parts)
            continue;
        const int kind = PhoneKindOf(tel);
        if (kind == NOT_STORED || out.person.phones[kind]) {
            ++out.phonesNotStored;
            continue;
        }
        out.person.phones[kind] = std::move(*parts);
    }
}

int NumberOf(std::string_view digits)
{
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// BDAY as YYYY-MM-DD or YYYYMMDD (a time after it is ignored); a date
// without a year, outside the form's years or unreadable leaves the
// defaults and a note.
void TakeBirthDate(const Card& card, CardPerson& out)
{
    const std::string text = TextOf(card, "BDAY");
    if (text.empty())
        return;
    std::string date = text.substr(0, text.find('T'));
    if (date.starts_with("--")) {
        out.notes.push_back("誕生日「" + text + "」に年がないため" + std::string(DATE_KEPT));
        return;
    }
    if (date.size() == 10 && date[4] == '-' && date[7] == '-')
        date = date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2);
    const int year = NumberOf(std::string_view(date).substr(0, 4));
    const int month = date.size() == 8 ? NumberOf(std::string_view(date).substr(4, 2)) : 0;
    const int day = date.size() == 8 ? NumberOf(std::string_view(date).substr(6, 2)) : 0;
    if (date.size() != 8 || !AllDigits(date) || !IsRealDate(year, month, day)) {
        out.notes.push_back("誕生日「" + text + "」が読めないため" + std::string(DATE_KEPT));
        return;
    }
    if (year < FIRST_YEAR || year > LAST_YEAR) {
        out.notes.push_back("誕生日「" + text + "」が 1900〜2099 年の外にあるため" + std::string(DATE_KEPT));
        return;
    }
    out.person.birthYear = year;
    out.person.birthMonth = month;
    out.person.birthDay = day;
}

void TakeSexAndBloodType(const Card& card, CardPerson& out)
{
    std::string gender = TextOf(card, "GENDER");
    if (gender.empty())
        gender = TextOf(card, "X-GENDER");
    if (!gender.empty() && (gender[0] == 'M' || gender[0] == 'm'))
        out.person.sex = 0;
    else if (!gender.empty() && (gender[0] == 'F' || gender[0] == 'f'))
        out.person.sex = 1;
    const std::string blood = TextOf(card, "X-KANAROKU-BLOOD-TYPE");
    const auto found = std::find(BLOOD_TYPES.begin(), BLOOD_TYPES.end(), blood);
    if (found != BLOOD_TYPES.end())
        out.person.bloodType = static_cast<int>(found - BLOOD_TYPES.begin());
}

}  // namespace

CardPerson PersonFromCard(const Card& card)
{
    CardPerson out;
    out.person.name = NameOf(card);
    out.person.reading = KatakanaToHiragana(ReadingOf(card));
    if (out.person.reading.empty()) {
        out.person.reading = out.person.name;
        out.readingFromName = true;
    }
    out.person.email = TextOf(card, "EMAIL");
    TakeAddress(card, out);
    TakePhones(card, out);
    TakeBirthDate(card, out);
    TakeSexAndBloodType(card, out);
    if (!card.ended)
        out.refusal = Refusal{"END:VCARD がなく、カードが途中で切れています"};
    return out;
}

}  // namespace vcard
