// The layout of a card is the oracle for everything drawn: a table of
// people, each laid out with the real IPAex fonts, and every placed box
// checked in millimetres against the card's fixed geometry (Japan Post's
// boxes, the stamp corner, the bottom band, the blocks' places), plus what
// each case is about: the columns, the numerals, the refusals.
#include "CardLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

using namespace postcard;

struct Expected {
    std::vector<std::string> columns;  // the address columns' text, right to left
    double points = 0;                 // the address's size
    std::string refusal = {};          // part of the reason, when refused
    std::string note = {};
};

const CardPerson SENDER{"差出 花子", "京都府京都市左京区岩倉1-2-3", "", "606", "0001"};

const struct {
    const char* what;
    CardPerson person;
    CardOptions options;
    Expected expected;
} PEOPLE[] = {
    {"short",
     {"山田　太郎", "東京都千代田区丸の内1-2-3", "", "100", "0005"},
     {},
     {{"東京都千代田区丸の内一ー二ー三"}, 14}},
    {"long shrinks",
     {"長谷川　一", "北海道札幌市中央区北一条西二十丁目大通公園1-2-3", "", "060", "0001"},
     {},
     {{"北海道札幌市中央区北一条西二十丁目大通公園一ー二ー三"}, 10.5}},
    {"two lines",
     {"佐藤　花子", "大阪府大阪市北区梅田3-1-1", "梅田ハイツ205", "530", "0001"},
     {},
     {{"大阪府大阪市北区梅田三ー一ー一", "梅田ハイツ二〇五"}, 14}},
    {"building breaks off",
     {"鈴木　一郎", "神奈川県横浜市西区みなとみらい二丁目3-1 ABCマンション1001号室", "", "220", "0012"},
     {},
     {{"神奈川県横浜市西区みなとみらい二丁目三ー一", "ＡＢＣマンション一〇〇一号室"}, 13}},
    {"building without a blank",
     {"鈴木　二郎", "神奈川県横浜市西区みなとみらい二丁目3-1ABCマンション1001号室ノース", "", "220", "0012"},
     {},
     {{"神奈川県横浜市西区みなとみらい二丁目三ー一", "ＡＢＣマンション一〇〇一号室ノース"}, 13}},
    {"arabic, side by side",
     {"田中　実", "福岡県福岡市博多区博多駅前3-12-1", "博多ビル1001", "812", "0011"},
     {.numerals = Numerals::Arabic},
     {{"福岡県福岡市博多区博多駅前3ー[12]ー1", "博多ビル１００１"}, 14}},
    {"with a sender",
     {"高橋　健", "愛知県名古屋市中村区名駅1-1-4", "", "450", "0002"},
     {.sender = SENDER},
     {{"愛知県名古屋市中村区名駅一ー一ー四"}, 14}},
    {"honorific 御中",
     {"株式会社かなろく", "宮城県仙台市青葉区一番町4-6-1", "", "980", "0811"},
     {.honorific = Honorific::Onchu},
     {{"宮城県仙台市青葉区一番町四ー六ー一"}, 14}},
    {"bad postal code",
     {"伊藤　誠", "千葉県千葉市中央区1-1", "", "26O", "0001"},
     {},
     {{"千葉県千葉市中央区一ー一"}, 14, "", "郵便番号が 3 桁と 4 桁の数字ではない"}},
    {"no address", {"渡辺　修", "", "", "100", "0001"}, {}, {{}, 0, "住所がありません"}},
    {"Latin address",
     {"John Smith", "1600 Pennsylvania Ave NW", "Washington DC", "", ""},
     {},
     {{}, 0, "日本語の文字がありません"}},
    {"user-defined character", {"小林　\uE000", "東京都港区1-1", "", "105", "0001"}, {}, {{}, 0, "U+E000 の字形"}},
    {"sender without address",
     {"山本　茂", "東京都港区1-1", "", "105", "0001"},
     {.sender = CardPerson{"差出 人", "", "", "", ""}},
     {{}, 0, "差出人の住所がありません"}},
    {"address too long",
     {"中村　明",
      "東京都千代田区丸の内一丁目大手町ビル前通り角の先の二番目の路地を入って右側の三軒目の家の奥の離れの"
      "二階の奥の部屋の押し入れの中の箱の中の更に小さな箱の中",
      "東京都千代田区丸の内一丁目大手町ビル前通り角の先の二番目の路地を入って右側の三軒目の家の奥の離れの"
      "二階の奥の部屋の押し入れの中の箱の中の更に小さな箱の中",
      "100", "0005"},
     {},
     {{}, 0, "住所が長すぎて"}},
};

std::map<Typeface, std::unique_ptr<CardFont>>& Fonts()
{
    static std::map<Typeface, std::unique_ptr<CardFont>> fonts;
    return fonts;
}

const CardFont& FontFor(Typeface typeface)
{
    auto& font = Fonts()[typeface];
    if (!font)
        font = CardFont::Load(typeface);
    if (!font)
        throw std::runtime_error("IPAex fonts are not installed");
    return *font;
}

std::vector<const PlacedCell*> CellsOf(const CardLayout& card, Block block)
{
    std::vector<const PlacedCell*> cells;
    for (const PlacedCell& cell : card.cells) {
        if (cell.block == block)
            cells.push_back(&cell);
    }
    return cells;
}

std::vector<std::string> ColumnTexts(const CardLayout& card)
{
    std::vector<std::u32string> columns;
    for (const PlacedCell* cell : CellsOf(card, Block::Address)) {
        columns.resize(std::max<std::size_t>(columns.size(), cell->column + 1));
        columns[cell->column] += cell->text.size() > 1 ? U"[" + cell->text + U"]" : cell->text;
    }
    std::vector<std::string> texts;
    for (const auto& column : columns)
        texts.push_back(ToUtf8(column));
    return texts;
}

bool Inside(const Box& inner, const Box& outer)
{
    return inner.left >= outer.left && inner.Right() <= outer.Right() && inner.top >= outer.top
           && inner.Bottom() <= outer.Bottom();
}

constexpr Box STAMP_CORNER{0, 0, 38, 38};
constexpr Box SENDER_AREA{4, 60, 36, 61};

// The card's fixed geometry, whoever it is for.
void CheckGeometry(const CardLayout& card, const CardOptions& options, double expectedPoints)
{
    for (std::size_t i = 0; i < card.cells.size(); ++i) {
        const PlacedCell& cell = card.cells[i];
        const bool code = cell.block == Block::RecipientCode || cell.block == Block::SenderCode;
        EXPECT_TRUE(Inside(cell.box, Box{0, 0, CARD_WIDTH, CARD_HEIGHT}));
        EXPECT_FALSE(cell.box.Overlaps(STAMP_CORNER));
        EXPECT_TRUE(cell.block == Block::SenderCode || cell.box.Bottom() <= 131.0);
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(cell.box.Overlaps(card.cells[j].box)) << ToUtf8(cell.text) << ToUtf8(card.cells[j].text);
        }
        for (const Box& frame : card.frames) {
            EXPECT_TRUE(code ? !cell.box.Overlaps(frame) || Inside(cell.box, frame) : !cell.box.Overlaps(frame));
        }
        if (cell.block == Block::SenderAddress || cell.block == Block::SenderName) {
            EXPECT_TRUE(Inside(cell.box, SENDER_AREA));
        }
    }
    const auto digits = CellsOf(card, Block::RecipientCode);
    for (const PlacedCell* digit : digits) {
        const Box& box = RecipientCodeBoxes()[static_cast<std::size_t>(digit->column)];
        EXPECT_NEAR(digit->box.CentreX(), box.CentreX(), 0.3);
        EXPECT_NEAR(digit->box.CentreY(), box.CentreY(), 0.3);
        EXPECT_TRUE(Inside(digit->box, box));
    }
    for (const PlacedCell* digit : CellsOf(card, Block::SenderCode))
        EXPECT_TRUE(Inside(digit->box, SenderCodeBoxes(options.senderBoxes)[static_cast<std::size_t>(digit->column)]));
    EXPECT_EQ(CellsOf(card, Block::SenderCode).size(), options.sender ? 7u : 0u);
    EXPECT_EQ(card.frames.size(), options.sender ? 14u : 7u);

    double addressEnd = 0;
    for (const PlacedCell* cell : CellsOf(card, Block::Address)) {
        addressEnd = std::max(addressEnd, cell->box.Bottom());
        if (cell->column == 0) {
            EXPECT_NEAR(cell->box.Right(), 92.0, 1.0);
        }
    }
    const auto address = CellsOf(card, Block::Address);
    ASSERT_FALSE(address.empty());
    EXPECT_NEAR(address.front()->box.top, 26.0, 2.0);
    // Later columns start one character lower.
    std::map<int, double> tops;
    for (const PlacedCell* cell : address) {
        EXPECT_NEAR(cell->box.width, expectedPoints * MM_PER_POINT, 0.01);
        tops.try_emplace(cell->column, cell->box.top);
    }
    for (const auto& [column, top] : tops)
        EXPECT_NEAR(top, address.front()->box.top + (column > 0 ? address.front()->box.width : 0.0), 0.01);
    const auto name = CellsOf(card, Block::Name);
    ASSERT_FALSE(name.empty());
    EXPECT_NEAR(name.front()->box.top, 30.0, 3.0);
    EXPECT_GT(name.back()->box.Bottom(), addressEnd);
    for (const PlacedCell* cell : name)
        EXPECT_NEAR(cell->box.CentreX(), 50.0, 1.0);
    // Letters spaced evenly: one step from letter to letter, the honorific
    // included; twice the gap between family and given name.
    const std::size_t letters = name.size() - (options.honorific == Honorific::Onchu ? 1 : 0);
    std::vector<double> steps;
    for (std::size_t i = 1; i < letters; ++i)
        steps.push_back(name[i]->box.top - name[i - 1]->box.top);
    std::sort(steps.begin(), steps.end());
    const double gap = steps.front() - name[0]->box.height;
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_NEAR(steps[i], steps.front() + (i + 1 == steps.size() && steps.size() > 2 ? gap : 0.0), 0.01);
}

// Cells as text: side-by-side digits in brackets, a blank as "_".
std::string Joined(const std::vector<Cell>& cells)
{
    std::u32string text;
    for (const Cell& cell : cells)
        text += cell.blank ? U"_" : cell.sideways ? U"[" + cell.text + U"]" : cell.text;
    return ToUtf8(text);
}

TEST(CardText, RulesAfterNfkc)
{
    const struct {
        const char* text;
        Numerals numerals;
        const char* cells;
    } LINES[] = {
        {"1-2-3", Numerals::Kanji, "一ー二ー三"},
        {"１－２－３", Numerals::Kanji, "一ー二ー三"},
        {"1‐2−3ｰ4—5", Numerals::Kanji, "一ー二ー三ー四ー五"},
        {"101号", Numerals::Kanji, "一〇一号"},
        {"ｶﾅﾛｸ ﾋﾞﾙ", Numerals::Kanji, "カナロク_ビル"},
        {"ABC-mansion #5", Numerals::Kanji, "ＡＢＣーｍａｎｓｉｏｎ_＃五"},
        {"  東京　 都  ", Numerals::Kanji, "東京_都"},
        {"3-12-101", Numerals::Arabic, "[3]ー[12]ー１０１"},
        {"センター７", Numerals::Arabic, "センター[7]"},
    };
    for (const auto& [text, numerals, cells] : LINES)
        EXPECT_EQ(Joined(VerticalCells(text, numerals)), cells) << text;
    const std::vector<Cell> cells = VerticalCells("1-23A4", Numerals::Kanji);
    std::string breaks;
    for (std::size_t at = 1; at < cells.size(); ++at)
        breaks += BreaksNoNumber(cells, at) ? '|' : '.';
    EXPECT_EQ(breaks, "...||");
    EXPECT_EQ(ToUtf8(PostalDigits("１００", "0005")), "1000005");
    EXPECT_EQ(PostalDigits("100", "005"), U"");
    EXPECT_EQ(PostalDigits("1000005", ""), U"");
}

TEST(CardLayout, PeopleAgainstTheCardsGeometry)
{
    for (const auto& [what, person, options, expected] : PEOPLE) {
        SCOPED_TRACE(what);
        const auto laidOut = LayOutCard(person, options, FontFor(options.typeface));
        if (const Refusal* refusal = std::get_if<Refusal>(&laidOut)) {
            EXPECT_NE(expected.refusal, "");
            EXPECT_NE(refusal->reason.find(expected.refusal), std::string::npos) << refusal->reason;
            continue;
        }
        ASSERT_EQ(expected.refusal, "");
        const CardLayout& card = std::get<CardLayout>(laidOut);
        EXPECT_EQ(ColumnTexts(card), expected.columns);
        CheckGeometry(card, options, expected.points);
        const std::string notes = card.notes.empty() ? "" : card.notes.front();
        EXPECT_EQ(notes.find(expected.note), expected.note.empty() ? 0u : notes.find(expected.note));
        EXPECT_EQ(card.notes.empty(), expected.note.empty());
    }
}

}  // namespace
