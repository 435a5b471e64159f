#include "CardExport.h"

#include "PhoneNumber.h"
#include "Utf8.h"

#include <array>
#include <cstdio>
#include <initializer_list>

namespace vcard {

namespace {

constexpr std::size_t FOLD_OCTETS = 75;
constexpr std::string_view LINE_END = "\r\n";

// The property that carries each phone kind, in the record's order:
// 自宅, 携帯, PHS (a cell number to others), ポケベル.
constexpr std::array<std::string_view, PHONE_KIND_COUNT> PHONE_PROPERTIES{
    "TEL;TYPE=HOME,VOICE",
    "TEL;TYPE=CELL",
    "TEL;TYPE=CELL,X-KANAROKU-PHS",
    "TEL;TYPE=PAGER",
};

constexpr std::array<std::string_view, 4> BLOOD_TYPES{"A", "B", "O", "AB"};

std::string Escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\' || c == ',' || c == ';')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::string EscapedParts(std::initializer_list<std::string_view> parts)
{
    std::string out;
    bool first = true;
    for (const std::string_view part : parts) {
        if (!first)
            out += ';';
        out += Escaped(part);
        first = false;
    }
    return out;
}

// One content line, folded: every physical line at most 75 octets, the
// continuations starting with a blank.
void AppendLine(std::string& out, std::string_view head, std::string_view value)
{
    std::string line(head);
    line += ':';
    line += value;
    std::string_view rest = line;
    std::size_t room = FOLD_OCTETS;
    while (true) {
        const std::size_t cut = utf8::BoundaryBefore(rest, room);
        out += rest.substr(0, cut);
        out += LINE_END;
        rest.remove_prefix(cut);
        if (rest.empty() || cut == 0)
            return;
        out += ' ';
        room = FOLD_OCTETS - 1;
    }
}

void AppendIfAny(std::string& out, std::string_view head, std::string_view text)
{
    if (!text.empty())
        AppendLine(out, head, Escaped(text));
}

void AppendNameAndReading(std::string& out, const PersonText& person)
{
    const auto name = SplitAtFirstBlank(person.name);
    AppendLine(out, "FN", Escaped(person.name));
    AppendLine(out, "N", EscapedParts({name[0], name[1], "", "", ""}));
    const auto reading = SplitAtFirstBlank(person.reading);
    AppendIfAny(out, "X-PHONETIC-LAST-NAME", reading[0]);
    AppendIfAny(out, "X-PHONETIC-FIRST-NAME", reading[1]);
    // The whole reading keeps the blank that the two parts lose.
    AppendIfAny(out, "SORT-STRING", person.reading);
}

void AppendAddress(std::string& out, const PersonText& person)
{
    const bool hasZip = !person.zip1.empty() || !person.zip2.empty();
    if (person.address1.empty() && person.address2.empty() && !hasZip)
        return;
    std::string zip = person.zip1;
    if (!person.zip1.empty() && !person.zip2.empty())
        zip += '-';
    zip += person.zip2;
    AppendLine(out, "ADR;TYPE=HOME", EscapedParts({"", person.address2, person.address1, "", "", zip, ""}));
}

bool AppendBirthDate(std::string& out, const PersonText& person)
{
    // The form's default date: every card without a birthday comes in with
    // it, so it stands for no birthday at all.
    if (person.birthYear == DEFAULT_BIRTH_YEAR && person.birthMonth == DEFAULT_BIRTH_MONTH
        && person.birthDay == DEFAULT_BIRTH_DAY)
        return true;
    if (!IsRealDate(person.birthYear, person.birthMonth, person.birthDay))
        return false;
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", person.birthYear, person.birthMonth, person.birthDay);
    AppendLine(out, "BDAY", date);
    return true;
}

}  // namespace

bool AppendCard(std::string& out, const PersonText& person)
{
    AppendLine(out, "BEGIN", "VCARD");
    AppendLine(out, "VERSION", "3.0");
    AppendNameAndReading(out, person);
    AppendAddress(out, person);
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        if (person.phones[kind])
            AppendLine(out, PHONE_PROPERTIES[kind], Escaped(JoinPhoneNumber(*person.phones[kind])));
    }
    AppendIfAny(out, "EMAIL;TYPE=INTERNET", person.email);
    const bool dateWritten = AppendBirthDate(out, person);
    AppendLine(out, "X-GENDER", person.sex == 0 ? "M" : "F");
    if (person.bloodType >= 0 && person.bloodType < static_cast<int>(BLOOD_TYPES.size()))
        AppendLine(out, "X-KANAROKU-BLOOD-TYPE", BLOOD_TYPES[person.bloodType]);
    AppendLine(out, "END", "VCARD");
    return dateWritten;
}

}  // namespace vcard
