#pragma once

#include "AddressRecord.h"
#include "ShiftJis.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

// The data file's 25 columns, each described once: where it stands in the
// line, what it holds, where it lives in AddressRecord and how wide it is
// there, what the form lets it hold, the form's value for it at start-up
// and after 新規, and the names users meet it by. The scanner, the append,
// the form and the exchange layers read it instead of repeating it.

enum class ColumnKind {
    RowCode,  // the kana-row code, made from the reading; not in the record
    Number,   // a decimal integer
    Text,     // Shift_JIS text, NUL-terminated within its width
};

struct Column {
    int field;  // its position in the line, from 0
    ColumnKind kind;
    std::size_t offset = 0;  // where it lives in AddressRecord
    int width = 0;           // bytes it takes there
    // Text: Shift_JIS bytes the form's edit takes; 0 when the edit takes
    // any length and only the file's width limits it.
    int editLimit = 0;
    // Number: written as 0 when it is 0 and as 1 for every other value.
    bool writtenAsFlag = false;
    // Number: the form's value at start-up and after 新規.
    int startValue = 0;
    int newValue = 0;
    // Text: the record's text before a person is read and after 新規.
    const char* emptyText = "";
    const char* label = nullptr;           // in the form's messages
    const char* exchangeLabel = nullptr;   // in the vCard summaries
    const char* accessibleName = nullptr;  // what a screen reader says for its edit
    int phoneKind = -1;                    // phone columns: the kind, 0 to 3
    int phonePart = -1;                    // and the part, 0 to 2

    // The most bytes of text the form and the exchange accept.
    [[nodiscard]] constexpr int TextLimit() const noexcept { return editLimit != 0 ? editLimit : width - 1; }
};

inline constexpr int COLUMN_COUNT = 25;

// Names of the columns, by position in the line.
enum ColumnId : int {
    COL_KANA_ROW,
    COL_READING,
    COL_NAME,
    COL_ADDRESS1,
    COL_ADDRESS2,
    COL_BIRTH_YEAR,
    COL_BIRTH_MONTH,
    COL_BIRTH_DAY,
    COL_BLOOD_TYPE,
    COL_EMAIL,
    COL_ZIP1,
    COL_ZIP2,
    COL_SEX,
    COL_FIRST_PHONE,  // then the phone parts, kind-major
};

inline constexpr std::array<const char*, PHONE_KIND_COUNT> PHONE_KIND_NAMES{"自宅", "携帯", "PHS", "ポケベル"};

[[nodiscard]] constexpr int PhoneColumn(int kind, int part) noexcept
{
    return COL_FIRST_PHONE + kind * PHONE_PART_COUNT + part;
}

inline constexpr std::array<Column, COLUMN_COUNT> COLUMNS = [] {
    constexpr auto INT = static_cast<int>(sizeof(int));
    std::array<Column, COLUMN_COUNT> columns{{
        {.field = COL_KANA_ROW, .kind = ColumnKind::RowCode},
        {.field = COL_READING,
         .kind = ColumnKind::Text,
         .offset = offsetof(AddressRecord, reading),
         .width = sizeof AddressRecord::reading,
         .editLimit = 32,
         .label = "ふりがな",
         .exchangeLabel = "ふりがな",
         .accessibleName = "ふりがな"},
        {.field = COL_NAME,
         .kind = ColumnKind::Text,
         .offset = offsetof(AddressRecord, name),
         .width = sizeof AddressRecord::name,
         .editLimit = 32,
         .label = "名前",
         .exchangeLabel = "名前",
         .accessibleName = "名前"},
        {.field = COL_ADDRESS1,
         .kind = ColumnKind::Text,
         .offset = offsetof(AddressRecord, address1),
         .width = sizeof AddressRecord::address1,
         .label = "住所",
         .exchangeLabel = "住所",
         .accessibleName = "住所 1 行目"},
        {.field = COL_ADDRESS2,
         .kind = ColumnKind::Text,
         .offset = offsetof(AddressRecord, address2),
         .width = sizeof AddressRecord::address2,
         .label = "住所",
         .exchangeLabel = "住所 (2 行目)",
         .accessibleName = "住所 2 行目"},
        {.field = COL_BIRTH_YEAR,
         .kind = ColumnKind::Number,
         .offset = offsetof(AddressRecord, birthYear),
         .width = INT,
         .startValue = 1970,
         .newValue = 1970,
         .label = "年",
         .accessibleName = "生年月日 年"},
        {.field = COL_BIRTH_MONTH,
         .kind = ColumnKind::Number,
         .offset = offsetof(AddressRecord, birthMonth),
         .width = INT,
         .startValue = 1,
         .newValue = 1,
         .label = "月",
         .accessibleName = "生年月日 月"},
        {.field = COL_BIRTH_DAY,
         .kind = ColumnKind::Number,
         .offset = offsetof(AddressRecord, birthDay),
         .width = INT,
         .startValue = 1,
         .newValue = 1,
         .label = "日",
         .accessibleName = "生年月日 日"},
        {.field = COL_BLOOD_TYPE,
         .kind = ColumnKind::Number,
         .offset = offsetof(AddressRecord, bloodType),
         .width = INT,
         .startValue = -1,
         .newValue = -1,
         .label = "血液型",
         .accessibleName = "血液型"},
        {.field = COL_EMAIL,
         .kind = ColumnKind::Text,
         .offset = offsetof(AddressRecord, email),
         .width = sizeof AddressRecord::email,
         .label = "ｅ－ｍａｉｌ",
         .exchangeLabel = "e-mail",
         .accessibleName = "ｅ－ｍａｉｌ"},
        {.field = COL_ZIP1,
         .kind = ColumnKind::Text,
         .offset = offsetof(AddressRecord, zip1),
         .width = sizeof AddressRecord::zip1,
         .editLimit = 3,
         .label = "郵便番号",
         .exchangeLabel = "郵便番号 (上 3 桁)",
         .accessibleName = "郵便番号 上 3 桁"},
        {.field = COL_ZIP2,
         .kind = ColumnKind::Text,
         .offset = offsetof(AddressRecord, zip2),
         .width = sizeof AddressRecord::zip2,
         .editLimit = 4,
         .label = "郵便番号",
         .exchangeLabel = "郵便番号 (下 4 桁)",
         .accessibleName = "郵便番号 下 4 桁"},
        // 0 at start-up (the form comes up with 男 chosen), none after 新規.
        {.field = COL_SEX,
         .kind = ColumnKind::Number,
         .offset = offsetof(AddressRecord, sex),
         .width = INT,
         .writtenAsFlag = true,
         .startValue = 0,
         .newValue = -1,
         .label = "性別",
         .accessibleName = "性別"},
    }};
    // The phone parts: the form's three boxes take 5, 4 and 4 bytes; a kind
    // without a number holds "*".
    constexpr std::array<int, PHONE_PART_COUNT> PART_LIMITS{5, 4, 4};
    constexpr std::array<const char*, PHONE_PART_COUNT> PART_LABELS{"電話番号 (1 つ目)", "電話番号 (2 つ目)",
                                                                    "電話番号 (3 つ目)"};
    constexpr std::array<const char*, PHONE_PART_COUNT> PART_NAMES{"電話番号 1", "電話番号 2", "電話番号 3"};
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        for (int part = 0; part < PHONE_PART_COUNT; ++part) {
            const int field = PhoneColumn(kind, part);
            columns[field] = {.field = field,
                              .kind = ColumnKind::Text,
                              .offset = offsetof(AddressRecord, phones)
                                        + static_cast<std::size_t>(field - COL_FIRST_PHONE) * PHONE_PART_SIZE,
                              .width = PHONE_PART_SIZE,
                              .editLimit = PART_LIMITS[part],
                              .emptyText = "*",
                              .label = "電話番号",
                              .exchangeLabel = PART_LABELS[part],
                              .accessibleName = PART_NAMES[part],
                              .phoneKind = kind,
                              .phonePart = part};
        }
    }
    return columns;
}();

// The columns of one kind, in the order of the line.
template <ColumnKind KIND>
inline constexpr auto COLUMNS_OF = [] {
    constexpr auto COUNT = [] {
        std::size_t count = 0;
        for (const Column& column : COLUMNS)
            count += column.kind == KIND ? 1 : 0;
        return count;
    }();
    std::array<Column, COUNT> found{};
    std::size_t next = 0;
    for (const Column& column : COLUMNS) {
        if (column.kind == KIND)
            found[next++] = column;
    }
    return found;
}();

inline constexpr auto& TEXT_COLUMNS = COLUMNS_OF<ColumnKind::Text>;
inline constexpr auto& NUMBER_COLUMNS = COLUMNS_OF<ColumnKind::Number>;

// The person's birth date before one is read or typed.
inline constexpr int DEFAULT_BIRTH_YEAR = COLUMNS[COL_BIRTH_YEAR].startValue;
inline constexpr int DEFAULT_BIRTH_MONTH = COLUMNS[COL_BIRTH_MONTH].startValue;
inline constexpr int DEFAULT_BIRTH_DAY = COLUMNS[COL_BIRTH_DAY].startValue;

// Where a column lives in a record.
namespace record_field {

[[nodiscard]] inline char* Text(AddressRecord& record, const Column& column) noexcept
{
    return reinterpret_cast<char*>(&record) + column.offset;
}

[[nodiscard]] inline const char* Text(const AddressRecord& record, const Column& column) noexcept
{
    return reinterpret_cast<const char*>(&record) + column.offset;
}

[[nodiscard]] inline int& Number(AddressRecord& record, const Column& column) noexcept
{
    return *reinterpret_cast<int*>(reinterpret_cast<char*>(&record) + column.offset);
}

[[nodiscard]] inline int Number(const AddressRecord& record, const Column& column) noexcept
{
    return *reinterpret_cast<const int*>(reinterpret_cast<const char*>(&record) + column.offset);
}

// The text as the file gets it: up to its NUL, and never past the width
// less one byte (nor into half a character) even when the NUL is missing.
[[nodiscard]] inline std::string_view TextView(const AddressRecord& record, const Column& column) noexcept
{
    const char* const text = Text(record, column);
    const auto width = static_cast<std::size_t>(column.width);
    return {text, sjis::FitLength(text, ::strnlen(text, width), width - 1)};
}

// Stores text, cut on a whole character to the width less one byte.
inline void SetText(AddressRecord& record, const Column& column, std::string_view text) noexcept
{
    sjis::CopyField(Text(record, column), static_cast<std::size_t>(column.width), text.data(), text.size());
}

}  // namespace record_field

// A phone kind holds a number unless its first part begins with "*".
namespace phone_slot {

[[nodiscard]] inline bool HoldsNumber(const AddressRecord& record, int kind) noexcept
{
    return record.phones[kind][0][0] != COLUMNS[static_cast<std::size_t>(PhoneColumn(kind, 0))].emptyText[0];
}

inline void MarkEmpty(AddressRecord& record, int kind) noexcept
{
    for (int part = 0; part < PHONE_PART_COUNT; ++part) {
        const Column& column = COLUMNS[static_cast<std::size_t>(PhoneColumn(kind, part))];
        record_field::SetText(record, column, column.emptyText);
    }
}

}  // namespace phone_slot
