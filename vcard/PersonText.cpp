#include "PersonText.h"

#include "ShiftJis.h"
#include "SjisCodec.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace vcard {

namespace {

// The numbers a person has, the same in the record and in the text form.
template <typename From, typename To>
void CopyNumbers(const From& from, To& to)
{
    to.birthYear = from.birthYear;
    to.birthMonth = from.birthMonth;
    to.birthDay = from.birthDay;
    to.bloodType = from.bloodType;
    to.sex = from.sex;
}

// A field's name in messages and the most bytes the form lets it hold.
struct FieldLimit {
    const char* label;
    std::size_t maxBytes;
};

constexpr FieldLimit NAME{"名前", 32};
constexpr FieldLimit READING{"ふりがな", 32};
constexpr FieldLimit ADDRESS1{"住所", ADDRESS_LINE_LIMIT};
constexpr FieldLimit ADDRESS2{"住所 (2 行目)", ADDRESS_LINE_LIMIT};
constexpr FieldLimit EMAIL{"e-mail", 63};
constexpr FieldLimit ZIP1{"郵便番号 (上 3 桁)", 3};
constexpr FieldLimit ZIP2{"郵便番号 (下 4 桁)", 4};
constexpr std::array<FieldLimit, PHONE_PART_COUNT> PHONE_PARTS{{
    {"電話番号 (1 つ目)", PHONE_PART_LIMITS[0]},
    {"電話番号 (2 つ目)", PHONE_PART_LIMITS[1]},
    {"電話番号 (3 つ目)", PHONE_PART_LIMITS[2]},
}};

constexpr const char* EMPTY_PHONE_PART = "*";
constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";

// Why the text cannot stand in a field of the data file as it is, or
// nullopt when it can; the field's bytes are in encoded then.
std::optional<std::string> WhyNotHeld(std::string_view utf8, const FieldLimit& limit, std::string_view prefix,
                                      std::string& encoded)
{
    const std::string label = std::string(prefix) + limit.label;
    if (utf8.find(',') != std::string_view::npos)
        return "「" + label + "」にカンマ (,) があります";
    if (utf8.find_first_of(std::string_view("\r\n\0\x1A", 4)) != std::string_view::npos)
        return "「" + label + "」に改行か制御文字があります";
    std::optional<std::string> bytes = sjis::EncodeFromUtf8(utf8);
    if (!bytes)
        return "「" + label + "」に Shift_JIS にない文字があります";
    if (bytes->size() > limit.maxBytes)
        return "「" + label + "」が " + std::to_string(limit.maxBytes) + " バイトを超えています";
    encoded = std::move(*bytes);
    return std::nullopt;
}

template <std::size_t N>
std::optional<std::string> Put(char (&field)[N], std::string_view utf8, const FieldLimit& limit,
                               std::string_view prefix = {})
{
    static_assert(N > 1);
    std::string bytes;
    std::optional<std::string> why = WhyNotHeld(utf8, limit, prefix, bytes);
    if (!why)
        sjis::CopyField(field, N, bytes.data(), bytes.size());
    return why;
}

// A field that cannot be held stays empty (zeroed) and is named.
template <std::size_t N>
void PutOrLeaveEmpty(MadeRecord& made, char (&field)[N], std::string_view utf8, const FieldLimit& limit)
{
    if (std::optional<std::string> why = Put(field, utf8, limit))
        made.emptied.push_back(std::move(*why));
}

// All parts of a kind, or none: the kind then holds no number.
void PutPhone(MadeRecord& made, int kind, const std::optional<PhoneParts>& parts)
{
    auto& slot = made.record.phones[kind];
    for (int part = 0; part < PHONE_PART_COUNT; ++part) {
        const std::string_view text = parts ? std::string_view((*parts)[part]) : EMPTY_PHONE_PART;
        std::optional<std::string> why = Put(slot[part], text, PHONE_PARTS[part], PHONE_KIND_LABELS[kind]);
        if (why) {
            made.emptied.push_back(std::move(*why));
            for (int clear = 0; clear < PHONE_PART_COUNT; ++clear)
                (void)Put(slot[clear], EMPTY_PHONE_PART, PHONE_PARTS[clear]);
            return;
        }
    }
}

// Reads record fields back as text; the first field whose bytes are no
// Shift_JIS is remembered.
class TextReader {
public:
    template <std::size_t N>
    std::string Get(const char (&field)[N], const char* label)
    {
        std::string text = sjis::DecodeToUtf8({field, ::strnlen(field, N)});
        if (!m_refusal && text.find(REPLACEMENT) != std::string::npos)
            m_refusal = Refusal{std::string("「") + label + "」に Shift_JIS として読めないバイトがあります"};
        return text;
    }

    [[nodiscard]] const std::optional<Refusal>& Refused() const noexcept { return m_refusal; }

private:
    std::optional<Refusal> m_refusal;
};

// The form's rule: a kind holds a number unless its first part is "*".
bool SlotHoldsNumber(const AddressRecord& record, int kind)
{
    return record.phones[kind][0][0] != '*';
}

}  // namespace

MadeRecord RecordFrom(const PersonText& person)
{
    MadeRecord made;
    if (person.name.empty())
        made.refusal = Refusal{"名前がありません"};
    else if (std::optional<std::string> why = Put(made.record.name, person.name, NAME))
        made.refusal = Refusal{std::move(*why)};
    else if (std::optional<std::string> why = Put(made.record.reading, person.reading, READING))
        made.refusal = Refusal{std::move(*why)};
    if (made.refusal)
        return made;
    PutOrLeaveEmpty(made, made.record.address1, person.address1, ADDRESS1);
    PutOrLeaveEmpty(made, made.record.address2, person.address2, ADDRESS2);
    PutOrLeaveEmpty(made, made.record.email, person.email, EMAIL);
    // The two parts of a postal code stand or fall together.
    const std::size_t emptiedBefore = made.emptied.size();
    PutOrLeaveEmpty(made, made.record.zip1, person.zip1, ZIP1);
    PutOrLeaveEmpty(made, made.record.zip2, person.zip2, ZIP2);
    if (made.emptied.size() != emptiedBefore) {
        std::fill(std::begin(made.record.zip1), std::end(made.record.zip1), '\0');
        std::fill(std::begin(made.record.zip2), std::end(made.record.zip2), '\0');
    }
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind)
        PutPhone(made, kind, person.phones[kind]);
    CopyNumbers(person, made.record);
    return made;
}

std::variant<PersonText, Refusal> TextFrom(const AddressRecord& record)
{
    PersonText person;
    TextReader read;
    person.name = read.Get(record.name, NAME.label);
    person.reading = read.Get(record.reading, READING.label);
    person.address1 = read.Get(record.address1, ADDRESS1.label);
    person.address2 = read.Get(record.address2, ADDRESS2.label);
    person.email = read.Get(record.email, EMAIL.label);
    person.zip1 = read.Get(record.zip1, ZIP1.label);
    person.zip2 = read.Get(record.zip2, ZIP2.label);
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        if (!SlotHoldsNumber(record, kind))
            continue;
        PhoneParts parts;
        for (int part = 0; part < PHONE_PART_COUNT; ++part)
            parts[part] = read.Get(record.phones[kind][part], PHONE_KIND_LABELS[kind]);
        person.phones[kind] = parts;
    }
    if (read.Refused())
        return *read.Refused();
    CopyNumbers(record, person);
    return person;
}

std::string NameForSummary(const AddressRecord& record)
{
    return sjis::DecodeToUtf8({record.name, ::strnlen(record.name, sizeof record.name)});
}

bool IsRealDate(int year, int month, int day) noexcept
{
    constexpr int DAYS_IN_MONTH[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= DAYS_IN_MONTH[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::array<std::string_view, 2> SplitAtFirstBlank(std::string_view text) noexcept
{
    constexpr std::string_view IDEOGRAPHIC_SPACE = "\u3000";
    const std::size_t ascii = text.find(' ');
    const std::size_t wide = text.find(IDEOGRAPHIC_SPACE);
    if (ascii == std::string_view::npos && wide == std::string_view::npos)
        return {text, {}};
    if (ascii < wide)
        return {text.substr(0, ascii), text.substr(ascii + 1)};
    return {text.substr(0, wide), text.substr(wide + IDEOGRAPHIC_SPACE.size())};
}

}  // namespace vcard
