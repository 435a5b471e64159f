// The record schema against the record it describes: every reader of the
// file walks it, so a column out of place would move a field everywhere.
#include "RecordSchema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The columns stand in the order of the line, and the ones the record holds
// tile it exactly: no byte of AddressRecord is left out or shared.
TEST(RecordSchemaTest, ColumnsFollowTheLineAndTileTheRecord)
{
    std::vector<Column> held;
    for (int i = 0; i < COLUMN_COUNT; ++i) {
        const Column& column = COLUMNS[static_cast<std::size_t>(i)];
        EXPECT_EQ(column.field, i);
        if (column.kind == ColumnKind::RowCode)
            continue;
        EXPECT_EQ(column.kind == ColumnKind::Number, column.width == static_cast<int>(sizeof(int))) << i;
        EXPECT_NE(column.label, nullptr) << i;
        if (column.kind == ColumnKind::Text) {
            EXPECT_LT(column.TextLimit(), column.width) << i;  // room for the NUL
        }
        held.push_back(column);
    }
    std::sort(held.begin(), held.end(), [](const Column& a, const Column& b) { return a.offset < b.offset; });
    std::size_t next = 0;
    for (const Column& column : held) {
        EXPECT_EQ(column.offset, next) << "column " << column.field;
        next = column.offset + static_cast<std::size_t>(column.width);
    }
    EXPECT_EQ(next, sizeof(AddressRecord));
}

// Phone columns run kind-major from the 14th field, three parts a kind.
TEST(RecordSchemaTest, PhonePartsAreKindMajor)
{
    for (int kind = 0; kind < PHONE_KIND_COUNT; ++kind) {
        for (int part = 0; part < PHONE_PART_COUNT; ++part) {
            const Column& column = COLUMNS[static_cast<std::size_t>(PhoneColumn(kind, part))];
            EXPECT_EQ(column.offset, offsetof(AddressRecord, phones) + sizeof AddressRecord::phones[0] * kind
                                         + sizeof AddressRecord::phones[0][0] * part);
            EXPECT_EQ(column.phoneKind, kind);
            EXPECT_EQ(column.phonePart, part);
        }
    }
}

}  // namespace
