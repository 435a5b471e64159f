#include "PersonText.h"

#include "RecordSchema.h"
#include "ShiftJis.h"
#include "SjisCodec.h"
#include "Words.h"

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

// The text columns a person's text fields fill, by member.
struct TextSlot {
    int column;
    std::string PersonText::*member;
};

constexpr std::array<TextSlot, 7> TEXT_SLOTS{{
    {COL_NAME, &PersonText::name},
    {COL_READING, &PersonText::reading},
    {COL_ADDRESS1, &PersonText::address1},
    {COL_ADDRESS2, &PersonText::address2},
    {COL_EMAIL, &PersonText::email},
    {COL_ZIP1, &PersonText::zip1},
    {COL_ZIP2, &PersonText::zip2},
}};

const Column& ColumnOf(int column)
{
    return COLUMNS[static_cast<std::size_t>(column)];
}

// How the summary names a column: a phone part after its kind.
std::string LabelOf(const Column& column)
{
    const std::string kind = column.phoneKind < 0 ? "" : PHONE_KIND_NAMES[static_cast<std::size_t>(column.phoneKind)];
    return kind + column.exchangeLabel;
}

constexpr std::string_view REPLACEMENT = "\xEF\xBF\xBD";

// Why the text cannot stand in a field of the data file as it is, or
// nullopt when it can; the field's bytes are in encoded then.
std::optional<std::string> WhyNotHeld(std::string_view utf8, const Column& column, std::string& encoded)
{
    const std::string label = LabelOf(column);
    if (utf8.find(',') != std::string_view::npos)
        return words::CommaIn(label);
    if (utf8.find_first_of(std::string_view("\r\n\0\x1A", 4)) != std::string_view::npos)
        return words::ControlCharacterIn(label);
    std::optional<std::string> bytes = sjis::EncodeFromUtf8(utf8);
    if (!bytes)
        return words::NotInShiftJis(label);
    const auto limit = static_cast<std::size_t>(column.TextLimit());
    if (bytes->size() > limit)
        return words::OverLimit(label, limit);
    encoded = std::move(*bytes);
    return std::nullopt;
}

std::optional<std::string> Put(AddressRecord& record, int columnId, std::string_view utf8)
{
    const Column& column = ColumnOf(columnId);
    std::string bytes;
    std::optional<std::string> why = WhyNotHeld(utf8, column, bytes);
    if (!why)
        record_field::SetText(record, column, bytes);
    return why;
}

// A field that cannot be held stays empty (zeroed) and is named.
void PutOrLeaveEmpty(MadeRecord& made, int column, std::string_view utf8)
{
    if (std::optional<std::string> why = Put(made.record, column, utf8))
        made.emptied.push_back(std::move(*why));
}

// All parts of a kind, or none: the kind then holds no number.
void PutPhone(MadeRecord& made, int kind, const std::optional<PhoneParts>& parts)
{
    if (!parts)
        return phone_slot::MarkEmpty(made.record, kind);
    for (int part = 0; part < PHONE_PART_COUNT; ++part) {
        if (std::optional<std::string> why = Put(made.record, PhoneColumn(kind, part), (*parts)[part])) {
            made.emptied.push_back(std::move(*why));
            return phone_slot::MarkEmpty(made.record, kind);
        }
    }
}

// Reads record fields back as text; the first field whose bytes are no
// Shift_JIS is remembered.
class TextReader {
public:
    std::string Get(const AddressRecord& record, int column, const char* label)
    {
        std::string text = sjis::DecodeToUtf8(record_field::TextView(record, ColumnOf(column)));
        if (!m_refusal && text.find(REPLACEMENT) != std::string::npos)
            m_refusal = Refusal{words::UnreadableBytes(label)};
        return text;
    }

    [[nodiscard]] const std::optional<Refusal>& Refused() const noexcept { return m_refusal; }

private:
    std::optional<Refusal> m_refusal;
};

}  // namespace

MadeRecord RecordFrom(const PersonText& person)
{
    MadeRecord made;
    if (person.name.empty())
        made.refusal = Refusal{words::NO_NAME};
    else if (std::optional<std::string> why = Put(made.record, COL_NAME, person.name))
        made.refusal = Refusal{std::move(*why)};
    else if (std::optional<std::string> why = Put(made.record, COL_READING, person.reading))
        made.refusal = Refusal{std::move(*why)};
    if (made.refusal)
        return made;
    PutOrLeaveEmpty(made, COL_ADDRESS1, person.address1);
    PutOrLeaveEmpty(made, COL_ADDRESS2, person.address2);
    PutOrLeaveEmpty(made, COL_EMAIL, person.email);
    // The two parts of a postal code stand or fall together.
    const std::size_t emptiedBefore = made.emptied.size();
    PutOrLeaveEmpty(made, COL_ZIP1, person.zip1);
    PutOrLeaveEmpty(made, COL_ZIP2, person.zip2);
    if (made.emptied.size() != emptiedBefore) {
        record_field::SetText(made.record, ColumnOf(COL_ZIP1), "");
        record_field::SetText(made.record, ColumnOf(COL_ZIP2), "");
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
    for (const TextSlot& slot : TEXT_SLOTS)
        person.*slot.member = read.Get(record, slot.column, ColumnOf(slot.column).exchangeLabel);
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        if (!phone_slot::HoldsNumber(record, kind))
            continue;
        PhoneParts parts;
        for (int part = 0; part < PHONE_PART_COUNT; ++part)
            parts[part] = read.Get(record, PhoneColumn(kind, part), PHONE_KIND_NAMES[static_cast<std::size_t>(kind)]);
        person.phones[kind] = parts;
    }
    if (read.Refused())
        return *read.Refused();
    CopyNumbers(record, person);
    return person;
}

std::string NameForSummary(const AddressRecord& record)
{
    return sjis::DecodeToUtf8(record_field::TextView(record, ColumnOf(COL_NAME)));
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
