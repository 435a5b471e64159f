#include "CardImport.h"

#include "Kana.h"
#include "PhoneNumber.h"
#include "RecordSchema.h"
#include "SjisCodec.h"
#include "TextForms.h"
#include "Words.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <initializer_list>

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

enum NamePart { FAMILY, GIVEN, ADDITIONAL };
enum AddressPart { PO_BOX, EXTENDED, STREET, LOCALITY, REGION, POSTAL_CODE, COUNTRY, ADDRESS_PARTS };

// Countries a Japanese address goes without, as the data file's
// addresses do.
constexpr std::array<std::string_view, 5> JAPAN{"日本", "日本国", "JAPAN", "JP", "JPN"};

constexpr std::string_view IDEOGRAPHIC_SPACE = "\u3000";

using Words = std::vector<std::string>;

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

// Whether whole is exactly the words with one blank, ASCII or U+3000,
// between each two.
bool SpelledAs(std::string_view whole, const Words& words)
{
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && whole.starts_with(' '))
            whole.remove_prefix(1);
        else if (i > 0 && whole.starts_with(IDEOGRAPHIC_SPACE))
            whole.remove_prefix(IDEOGRAPHIC_SPACE.size());
        else if (i > 0)
            return false;
        if (!whole.starts_with(words[i]))
            return false;
        whole.remove_prefix(words[i].size());
    }
    return whole.empty();
}

// The words of a name or reading as one text: the card's whole form when
// it is these words (it keeps the blank the person used, even one after
// an empty second word), else the words that are not empty joined by one
// blank.
std::string Joined(const Words& words, std::string_view whole)
{
    if (!whole.empty() && SpelledAs(whole, words))
        return std::string(whole);
    std::string joined;
    for (const std::string& word : words) {
        if (!word.empty())
            joined.append(joined.empty() ? "" : " ").append(word);
    }
    return joined;
}

// Family, given and middle name of a structured value.
std::vector<std::string> FirstThree(std::vector<std::string> parts)
{
    parts.resize(std::min<std::size_t>(parts.size(), 3));
    return parts;
}

// Family and given name, then each further name that is not empty.
Words NameWords(const std::vector<std::string>& parts)
{
    Words words{parts.size() > 0 ? parts[0] : std::string(), parts.size() > 1 ? parts[1] : std::string()};
    for (std::size_t i = 2; i < parts.size(); ++i) {
        if (!parts[i].empty())
            words.push_back(parts[i]);
    }
    return words;
}

std::string NameOf(const Card& card)
{
    const std::string formatted = TextOf(card, "FN");
    const Property* n = card.Find("N");
    if (n == nullptr)
        return formatted;
    const std::vector<std::string> parts = PartsOf(*n, 3);
    if (parts[FAMILY].empty() && !formatted.empty())
        return formatted;
    // Additional names follow the given name, a blank between each: the
    // data file cannot hold the comma that lists them.
    std::vector<std::string> names{parts[FAMILY], parts[GIVEN]};
    std::string_view additional = parts[ADDITIONAL];
    while (true) {
        const std::size_t comma = additional.find(',');
        names.emplace_back(additional.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        additional.remove_prefix(comma + 1);
    }
    const Words words = NameWords(names);
    return Joined(words, formatted);
}

std::string ReadingOf(const Card& card)
{
    const std::string sortString = TextOf(card, "SORT-STRING");
    const Words phonetic = NameWords({TextOf(card, "X-PHONETIC-LAST-NAME"), TextOf(card, "X-PHONETIC-FIRST-NAME"),
                                      TextOf(card, "X-PHONETIC-MIDDLE-NAME")});
    if (std::any_of(phonetic.begin(), phonetic.end(), [](const auto& w) { return !w.empty(); }))
        return Joined(phonetic, sortString);
    if (!sortString.empty())
        return sortString;
    const Property* n = card.Find("N");
    if (n != nullptr && !n->sortAs.empty())
        return Joined(NameWords(FirstThree(n->sortAs)), {});
    for (const Property& sound : card.properties) {
        if (sound.name == "SOUND" && sound.HasType("X-IRMC-N"))
            return Joined(NameWords(FirstThree(PartsOf(sound, 3))), {});
    }
    return {};
}

bool AllDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view WithoutBlanks(std::string_view text)
{
    while (text.starts_with(' ') || text.starts_with('\t'))
        text.remove_prefix(1);
    while (text.ends_with(' ') || text.ends_with('\t'))
        text.remove_suffix(1);
    return text;
}

// 〒100-0005, １００－０００５ and 1000005 as 100 / 0005: exactly 3 + 4
// digits, after NFKC and with any hyphen; nullopt for every other code.
std::optional<std::array<std::string, 2>> PostalCodeParts(std::string_view code)
{
    constexpr std::string_view POSTAL_MARK = "〒";
    const std::string folded = FoldedForDigits(code);
    std::string_view text = WithoutBlanks(folded);
    if (text.starts_with(POSTAL_MARK))
        text = WithoutBlanks(text.substr(POSTAL_MARK.size()));
    std::string digits(text);
    if (digits.size() == 8 && digits[3] == '-')
        digits.erase(3, 1);
    if (digits.size() != 7 || !AllDigits(digits))
        return std::nullopt;
    return std::array<std::string, 2>{digits.substr(0, 3), digits.substr(3)};
}

bool IsLineBreakOrComma(char c)
{
    return c == ',' || c == '\r' || c == '\n';
}

// Commas and line breaks, with the blanks beside them, as one blank: the
// data file cannot hold them. Whether there were any.
bool Blanked(std::string& text)
{
    if (std::none_of(text.begin(), text.end(), IsLineBreakOrComma))
        return false;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsLineBreakOrComma(text[i])) {
            out += text[i];
            continue;
        }
        while (out.ends_with(' '))
            out.pop_back();
        out += ' ';
        while (i + 1 < text.size() && (text[i + 1] == ' ' || IsLineBreakOrComma(text[i + 1])))
            ++i;
    }
    text = WithoutBlanks(out);
    return true;
}

bool IsJapan(std::string_view country)
{
    std::string upper(WithoutBlanks(country));
    for (char& c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return std::find(JAPAN.begin(), JAPAN.end(), upper) != JAPAN.end();
}

std::string JoinedByBlanks(std::initializer_list<std::string_view> parts)
{
    std::string joined;
    for (const std::string_view part : parts) {
        if (!part.empty())
            joined.append(joined.empty() ? "" : " ").append(part);
    }
    return joined;
}

// A code that is no 3 + 4 digits goes at the end of the address: on line
// 2 when it fits there, else on line 1.
void PutCodeAtEnd(PersonText& person, const std::string& code)
{
    if (person.address1.empty()) {
        person.address1 = code;
        return;
    }
    const std::string line2 = JoinedByBlanks({person.address2, code});
    if (sjis::EncodedLength(line2).value_or(SIZE_MAX) <= static_cast<std::size_t>(COLUMNS[COL_ADDRESS2].TextLimit()))
        person.address2 = line2;
    else
        person.address1 = JoinedByBlanks({person.address1, code});
}

// Line 1 and 2 from an ADR: Japanese text in Japanese order without
// blanks, any other the Western way; the extended address is line 2, or
// line 1 when it is the whole address.
void FillAddressLines(std::vector<std::string>& parts, const std::string& otherCode, PersonText& person)
{
    const bool japanese = std::any_of(parts.begin(), parts.begin() + POSTAL_CODE, HasJapaneseText);
    if (japanese && IsJapan(parts[COUNTRY]))
        parts[COUNTRY].clear();
    const bool extendedOnly =
        JoinedByBlanks({parts[PO_BOX], parts[STREET], parts[LOCALITY], parts[REGION], parts[COUNTRY]}).empty();
    if (extendedOnly) {
        person.address1 = parts[EXTENDED];
    } else if (japanese) {
        person.address1 = parts[COUNTRY] + parts[REGION] + parts[LOCALITY] + parts[STREET] + parts[PO_BOX];
        person.address2 = parts[EXTENDED];
    } else {
        person.address1 =
            JoinedByBlanks({parts[PO_BOX], parts[STREET], parts[LOCALITY], parts[REGION], otherCode, parts[COUNTRY]});
        person.address2 = parts[EXTENDED];
        return;
    }
    if (!otherCode.empty())
        PutCodeAtEnd(person, otherCode);
}

// The first home (or untyped) address; work addresses and further ones
// are counted.
const Property* HomeAddress(const Card& card, CardPerson& out)
{
    const Property* home = nullptr;
    for (const Property& property : card.properties) {
        if (property.name != "ADR")
            continue;
        if (property.HasType("WORK") || home != nullptr)
            ++out.addressesNotStored;
        else
            home = &property;
    }
    return home;
}

void TakeAddress(const Card& card, CardPerson& out)
{
    const Property* adr = HomeAddress(card, out);
    if (adr == nullptr)
        return;
    std::vector<std::string> parts = PartsOf(*adr, ADDRESS_PARTS);
    bool blanked = false;
    for (std::string& part : parts)
        blanked = Blanked(part) || blanked;
    const auto postal = PostalCodeParts(parts[POSTAL_CODE]);
    if (postal) {
        out.person.zip1 = (*postal)[0];
        out.person.zip2 = (*postal)[1];
    }
    const std::string otherCode = postal ? std::string() : std::string(WithoutBlanks(parts[POSTAL_CODE]));
    FillAddressLines(parts, otherCode, out.person);
    if (!otherCode.empty())
        out.notes.push_back({Heading::CodeInAddress, words::Quoted(otherCode)});
    if (blanked)
        out.notes.push_back({Heading::AddressBlanked, COLUMNS[COL_ADDRESS1].exchangeLabel});
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
        const std::string text = Unescaped(tel.value);
        std::optional<PhoneParts> parts = SplitPhoneNumber(text);
        if (!parts && !HasDigits(text))
            continue;
        const int kind = PhoneKindOf(tel);
        if (kind != NOT_STORED && !parts) {
            out.notes.push_back(
                {Heading::PhoneUnholdable, PHONE_KIND_NAMES[static_cast<std::size_t>(kind)] + words::Quoted(text)});
            continue;
        }
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
        out.notes.push_back({Heading::DateLeftOut, words::BirthDateWithoutYear(text)});
        return;
    }
    if (date.size() == 10 && date[4] == '-' && date[7] == '-')
        date = date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2);
    const int year = NumberOf(std::string_view(date).substr(0, 4));
    const int month = date.size() == 8 ? NumberOf(std::string_view(date).substr(4, 2)) : 0;
    const int day = date.size() == 8 ? NumberOf(std::string_view(date).substr(6, 2)) : 0;
    if (date.size() != 8 || !AllDigits(date) || !IsRealDate(year, month, day)) {
        out.notes.push_back({Heading::DateLeftOut, words::BirthDateUnreadable(text)});
        return;
    }
    if (year < FIRST_YEAR || year > LAST_YEAR) {
        out.notes.push_back({Heading::DateLeftOut, words::BirthDateOutsideYears(text)});
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
        out.refusal = Refusal{words::UNFINISHED_CARD};
    return out;
}

}  // namespace vcard
