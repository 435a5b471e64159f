#include "CardLayout.h"

#include <algorithm>
#include <numeric>

namespace postcard {

namespace {

// A block of vertical columns: where its first column stands, how far it
// may reach, and the sizes it may take (points), largest first.
struct ColumnArea {
    double right;      // the first column's right edge
    double top;        // the first column's top; later ones start a character lower
    double bottom;     // no column reaches below
    double leftLimit;  // no column reaches left of this
    double largest;
    double smallest;
    std::size_t columns;  // at most
};

// The recipient's address stays right of the widest name column.
constexpr ColumnArea ADDRESS_AREA{92.0, 26.0, 124.0, 56.6, 14.0, 9.0, 3};
// The sender's block is moved to the middle of x 4-40 once laid out.
constexpr ColumnArea SENDER_ADDRESS_AREA{40.0, 62.0, 120.0, 14.0, 9.0, 7.0, 3};
constexpr double SIZE_STEP = 0.5;     // points
constexpr double COLUMN_PITCH = 1.5;  // column to column, in the columns' size

struct NameArea {
    double centreX;
    double top;
    double bottom;
    double largest;
    double smallest;
};
constexpr NameArea NAME_AREA{50.0, 30.0, 130.0, 26.0, 16.0};
constexpr double NAME_BELOW_ADDRESS = 2.0;  // mm the name column ends below the address
constexpr double NAME_PREFERRED_END = 112.0;
constexpr double NAME_MAX_GAP = 1.0;  // letters spread at most a character apart, unless the address is longer
constexpr double SENDER_NAME_LARGEST = 12.0;
constexpr double SENDER_NAME_SMALLEST = 7.0;
constexpr double SENDER_NAME_BLANK = 0.5;  // ems between family and given name
constexpr double SENDER_LEFT = 5.5;        // stays on the card with the largest offset
constexpr double SENDER_RIGHT = 38.5;
constexpr double SENDER_CENTRE = 22.0;

constexpr double RECIPIENT_DIGIT_SIZE = 14.0;
constexpr double SENDER_DIGIT_SIZE = 10.0;

// Japan Post's boxes: 5.7 × 8.0 mm, top 12.0, the gaps between them.
constexpr double CODE_BOX_WIDTH = 5.7;
constexpr double CODE_BOX_HEIGHT = 8.0;
constexpr double CODE_BOX_TOP = 12.0;
constexpr double CODE_BOX_LEFT = 44.3;
constexpr std::array<double, 6> CODE_BOX_GAPS{1.3, 1.3, 1.9, 1.1, 1.1, 1.1};

constexpr double Mm(double points) noexcept
{
    return points * MM_PER_POINT;
}

// A glyph of a cell, from the cell's top centre, in ems of the cell.
struct CellGlyph {
    std::uint32_t glyph;
    double x;
    double y;
    double scale;  // of the cell's size: side-by-side digits may be set smaller
};

struct ShapedCell {
    Cell cell;
    double height = 1.0;  // ems
    std::vector<CellGlyph> glyphs;
    bool verticalForm = false;
};

using Line = std::vector<ShapedCell>;

double Length(const Line& line, std::size_t begin, std::size_t end)
{
    return std::accumulate(line.begin() + static_cast<std::ptrdiff_t>(begin),
                           line.begin() + static_cast<std::ptrdiff_t>(end), 0.0,
                           [](double sum, const ShapedCell& cell) { return sum + cell.height; });
}

// Digits set side by side, centred in one em cell on the baseline a full
// cell would have; narrowed to the cell when wider.
void ShapeSideways(ShapedCell& shaped, const CardFont& font)
{
    const std::vector<ShapedGlyph> glyphs = font.ShapeHorizontal(shaped.cell.text);
    const double width = std::accumulate(glyphs.begin(), glyphs.end(), 0.0,
                                         [](double sum, const ShapedGlyph& glyph) { return sum + glyph.advance; });
    const double scale = width > 1.0 ? 1.0 / width : 1.0;
    const double baseline = font.Ascent() - (font.Ascent() + font.Descent()) * (1.0 - scale) / 2;
    double pen = -width * scale / 2;
    for (const ShapedGlyph& glyph : glyphs) {
        shaped.glyphs.push_back(CellGlyph{glyph.glyph, pen + glyph.x * scale, baseline + glyph.y * scale, scale});
        pen += glyph.advance * scale;
    }
}

// The cells of a line shaped top to bottom in one run, so that HarfBuzz
// sees the whole line; the cluster of each glyph is its cell.
Line ShapeLine(const std::vector<Cell>& cells, const CardFont& font)
{
    Line line(cells.size());
    std::u32string upright;
    std::vector<std::uint32_t> clusters;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line[i].cell = cells[i];
        if (cells[i].sideways) {
            ShapeSideways(line[i], font);
        } else if (!cells[i].blank) {
            upright += cells[i].text;
            clusters.insert(clusters.end(), cells[i].text.size(), static_cast<std::uint32_t>(i));
        }
    }
    if (upright.empty())
        return line;
    // Each glyph from its cell's top: the pen within the cell so far.
    for (const ShapedGlyph& glyph : font.ShapeVertical(upright, clusters)) {
        ShapedCell& cell = line[glyph.cluster];
        const double pen = cell.glyphs.empty() ? 0.0 : cell.height;
        cell.glyphs.push_back(CellGlyph{glyph.glyph, glyph.x, pen + glyph.y, 1.0});
        cell.height = pen + glyph.advance;
    }
    for (ShapedCell& cell : line) {
        if (cell.glyphs.size() == 1 && !cell.cell.sideways && cell.cell.text.size() == 1)
            cell.verticalForm = cell.glyphs[0].glyph != font.NominalGlyph(cell.cell.text[0]);
    }
    return line;
}

// A column: cells [begin, end) of one line.
struct Column {
    std::size_t line;
    std::size_t begin;
    std::size_t end;
};

// Characters that belong to the number before them (1丁目, 3番地).
bool FollowsNumber(const Cell& cell) noexcept
{
    return cell.text.size() == 1 && std::u32string_view(U"丁目番地号条線").find(cell.text[0]) != std::u32string::npos;
}

// How good a place a break before line[at] is: 0 at a blank, 1 after a
// number (before the building), 2 elsewhere; -1 inside a number.
int BreakClass(const Line& line, std::size_t at)
{
    const Cell& before = line[at - 1].cell;
    const Cell& after = line[at].cell;
    if (after.number >= 0 && after.number == before.number)
        return -1;
    if (before.blank || after.blank)
        return 0;
    return before.number >= 0 && !FollowsNumber(after) ? 1 : 2;
}

// How far the breaks of a line may go.
enum class Breaks { None, Good, Any };

// Where to break a line whose cells [begin, fits) fit a column: the best
// class of break allowed in the column's second half, else anywhere; the
// latest of that class. begin when there is no such place.
std::size_t BreakBefore(const Line& line, std::size_t begin, std::size_t fits, Breaks breaks)
{
    const int worst = breaks == Breaks::Good ? 1 : breaks == Breaks::Any ? 2 : -1;
    for (const std::size_t from : {begin + (fits - begin + 1) / 2, begin + 1}) {
        std::size_t best = begin;
        int bestClass = worst + 1;
        for (std::size_t at = std::max(from, begin + 1); at <= fits && at < line.size(); ++at) {
            const int breakClass = BreakClass(line, at);
            if (breakClass >= 0 && breakClass <= bestClass && breakClass <= worst) {
                best = at;
                bestClass = breakClass;
            }
        }
        if (best > begin)
            return best;
    }
    return begin;
}

double ColumnTop(const ColumnArea& area, std::size_t column, double size)
{
    return area.top + (column > 0 ? size : 0.0);
}

double ColumnCentre(const ColumnArea& area, std::size_t column, double size)
{
    return area.right - static_cast<double>(column) * COLUMN_PITCH * size - size / 2;
}

// The columns the lines take at this size: each line a column of its own,
// broken into more where allowed; nullopt when they do not fit the area.
std::optional<std::vector<Column>> PlanColumns(const std::vector<Line>& lines, const ColumnArea& area, double size,
                                               Breaks breaks)
{
    std::vector<Column> columns;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const Line& line = lines[index];
        std::size_t begin = 0;
        while (begin < line.size()) {
            const std::size_t column = columns.size();
            if (column == area.columns || ColumnCentre(area, column, size) - size / 2 < area.leftLimit)
                return std::nullopt;
            const double room = (area.bottom - ColumnTop(area, column, size)) / size;
            std::size_t fits = begin;
            while (fits < line.size() && Length(line, begin, fits + 1) <= room)
                ++fits;
            if (fits == line.size()) {
                columns.push_back(Column{index, begin, fits});
                break;
            }
            const std::size_t at = BreakBefore(line, begin, fits, breaks);
            if (at == begin)
                return std::nullopt;
            columns.push_back(Column{index, begin, at});
            begin = at;
            while (begin < line.size() && line[begin].cell.blank)
                ++begin;
        }
    }
    return columns;
}

// Places cells [begin, end) down a column from top, gap mm between them;
// where the last one ends.
double PlaceCells(CardLayout& card, Block block, int column, const Line& line, std::size_t begin, std::size_t end,
                  double centreX, double top, double size, double gap)
{
    double y = top;
    for (std::size_t i = begin; i < end; ++i) {
        const ShapedCell& cell = line[i];
        const double height = cell.height * size;
        if (!cell.cell.blank)
            card.cells.push_back(PlacedCell{block, column, Box{centreX - size / 2, y, size, height}, cell.cell.text,
                                            false, cell.verticalForm});
        for (const CellGlyph& glyph : cell.glyphs)
            card.glyphs.push_back(
                PlacedGlyph{glyph.glyph, size * glyph.scale, centreX + glyph.x * size, y + glyph.y * size});
        y += height + gap;
    }
    return y - gap;
}

// The largest size at which the lines fit the area: unbroken if they can
// be, else broken at a blank or before the building, else between any two
// characters outside a number. Where the lowest column ends; nullopt when
// they do not fit.
std::optional<double> PlaceColumns(CardLayout& card, Block block, const std::vector<Line>& lines,
                                   const ColumnArea& area)
{
    for (const Breaks breaks : {Breaks::None, Breaks::Good, Breaks::Any}) {
        for (double points = area.largest; points >= area.smallest; points -= SIZE_STEP) {
            const double size = Mm(points);
            const auto plan = PlanColumns(lines, area, size, breaks);
            if (!plan)
                continue;
            double end = 0;
            for (std::size_t column = 0; column < plan->size(); ++column) {
                const Column& at = (*plan)[column];
                end = std::max(end,
                               PlaceCells(card, block, static_cast<int>(column), lines[at.line], at.begin, at.end,
                                          ColumnCentre(area, column, size), ColumnTop(area, column, size), size, 0.0));
            }
            return end;
        }
    }
    return std::nullopt;
}

// The name's letters spread evenly down the column, the honorific after
// them, its end below the address's end.
bool PlaceName(CardLayout& card, const Line& name, const Line& honorific, double addressEnd)
{
    const NameArea& area = NAME_AREA;
    for (double points = area.largest; points >= area.smallest; points -= 1.0) {
        const double size = Mm(points);
        const double solid = size * (Length(name, 0, name.size()) + Length(honorific, 0, honorific.size()));
        const std::size_t gaps = name.size() - 1 + (honorific.empty() ? 0 : 1);
        const double widest = area.top + solid + static_cast<double>(gaps) * NAME_MAX_GAP * size;
        const double end =
            std::max({area.top + solid, std::min(NAME_PREFERRED_END, widest), addressEnd + NAME_BELOW_ADDRESS});
        if (end > area.bottom)
            continue;
        const double gap = gaps > 0 ? (end - area.top - solid) / static_cast<double>(gaps) : 0.0;
        const double nameEnd =
            PlaceCells(card, Block::Name, 0, name, 0, name.size(), area.centreX, area.top, size, gap);
        PlaceCells(card, Block::Name, 0, honorific, 0, honorific.size(), area.centreX, nameEnd + gap, size, 0.0);
        return true;
    }
    return false;
}

// The sender's name, one solid column left of the sender's address, ending
// at the bottom of the area.
bool PlaceSenderName(CardLayout& card, const Line& name, double addressLeft)
{
    const ColumnArea& area = SENDER_ADDRESS_AREA;
    for (double points = SENDER_NAME_LARGEST; points >= SENDER_NAME_SMALLEST; points -= SIZE_STEP) {
        const double size = Mm(points);
        const double length = size * Length(name, 0, name.size());
        const double centreX = addressLeft - size;
        if (area.bottom - length < area.top || centreX - size / 2 < SENDER_LEFT)
            continue;
        PlaceCells(card, Block::SenderName, 0, name, 0, name.size(), centreX, area.bottom - length, size, 0.0);
        return true;
    }
    return false;
}

// The digits of a postal code, each centred in its box.
void PlaceCode(CardLayout& card, Block block, std::u32string_view digits, const std::array<Box, 7>& boxes,
               double points, const CardFont& font)
{
    const double size = Mm(points);
    for (std::size_t i = 0; i < digits.size() && i < boxes.size(); ++i) {
        const std::vector<ShapedGlyph> glyphs = font.ShapeHorizontal(digits.substr(i, 1));
        const double width = glyphs.empty() ? 0.0 : glyphs[0].advance * size;
        const double height = (font.Ascent() + font.Descent()) * size;
        const Box box{boxes[i].CentreX() - width / 2, boxes[i].CentreY() - height / 2, width, height};
        card.cells.push_back(PlacedCell{block, static_cast<int>(i), box, std::u32string(1, digits[i]), false, false});
        for (const ShapedGlyph& glyph : glyphs)
            card.glyphs.push_back(
                PlacedGlyph{glyph.glyph, size, box.left + glyph.x * size, box.top + font.Ascent() * size});
    }
}

// A name's line: the blank between family and given name as high as given.
Line NameLine(const std::string& text, Numerals numerals, const CardFont& font, double blankHeight)
{
    Line line = ShapeLine(VerticalCells(text, numerals), font);
    for (ShapedCell& cell : line) {
        if (cell.cell.blank)
            cell.height = blankHeight;
    }
    return line;
}

std::vector<Line> AddressLines(const CardPerson& person, Numerals numerals, const CardFont& font)
{
    std::vector<Line> lines;
    for (const std::string* text : {&person.address1, &person.address2}) {
        Line line = ShapeLine(VerticalCells(*text, numerals), font);
        if (!line.empty())
            lines.push_back(std::move(line));
    }
    return lines;
}

std::u32string_view HonorificText(Honorific honorific) noexcept
{
    switch (honorific) {
    case Honorific::Sama:
        return U"様";
    case Honorific::Dono:
        return U"殿";
    case Honorific::Onchu:
        return U"御中";
    case Honorific::None:
        break;
    }
    return U"";
}

std::string CodePoint(char32_t c)
{
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string text = "U+";
    for (int shift = c > 0xFFFF ? 16 : 12; shift >= 0; shift -= 4)
        text.push_back(HEX[(c >> shift) & 0xF]);
    return text;
}

// Why text cannot be set: a byte that was no character, or a character the
// font lacks. Empty when it can.
std::string Unprintable(const std::vector<Line>& lines, const CardFont& font)
{
    for (const Line& line : lines) {
        for (const ShapedCell& cell : line) {
            if (cell.cell.text.find(U'\uFFFD') != std::u32string::npos)
                return "Shift_JIS として読めない文字があります";
            for (std::size_t i = 0; i < cell.glyphs.size(); ++i) {
                if (cell.glyphs[i].glyph == 0) {
                    const char32_t c = cell.cell.text[std::min(i, cell.cell.text.size() - 1)];
                    return "文字 " + CodePoint(c) + " の字形が " + font.Name() + " にありません";
                }
            }
        }
    }
    return {};
}

void AddFrames(CardLayout& card, const std::array<Box, 7>& boxes)
{
    card.frames.insert(card.frames.end(), boxes.begin(), boxes.end());
}

// The postal code in its boxes, or a note for the summary.
void PlacePostalCode(CardLayout& card, Block block, const CardPerson& person, const std::array<Box, 7>& boxes,
                     double points, const CardFont& font)
{
    const std::u32string digits = PostalDigits(person.zip1, person.zip2);
    if (!digits.empty())
        return PlaceCode(card, block, digits, boxes, points, font);
    const bool none = Normalized(person.zip1 + person.zip2).find_first_not_of(U' ') == std::u32string::npos;
    card.notes.push_back(std::string(block == Block::SenderCode ? "差出人の" : "")
                         + (none ? "郵便番号がないので、郵便番号なしで書きました"
                                 : "郵便番号が 3 桁と 4 桁の数字ではないので、郵便番号なしで書きました"));
}

// Why the person's address cannot be set vertically; empty when it can.
std::string AddressRefusal(const CardPerson& person, const std::vector<Line>& lines)
{
    if (lines.empty())
        return "住所がありません";
    if (!HasJapanese(Normalized(person.address1 + person.address2)))
        return "住所に日本語の文字がありません (縦書きの宛名にしない外国の住所です)";
    return {};
}

void MoveHorizontally(CardLayout& card, std::size_t firstCell, std::size_t firstGlyph, double by)
{
    for (std::size_t i = firstCell; i < card.cells.size(); ++i)
        card.cells[i].box.left += by;
    for (std::size_t i = firstGlyph; i < card.glyphs.size(); ++i)
        card.glyphs[i].x += by;
}

// The sender's address and name, as one block in the middle of the
// sender's area.
std::string PlaceSenderText(CardLayout& card, const CardPerson& sender, Numerals numerals, const CardFont& font)
{
    const std::size_t firstCell = card.cells.size();
    const std::size_t firstGlyph = card.glyphs.size();
    const std::vector<Line> lines = AddressLines(sender, numerals, font);
    const std::vector<Line> name{NameLine(sender.name, numerals, font, SENDER_NAME_BLANK)};
    if (std::string refusal = AddressRefusal(sender, lines); !refusal.empty())
        return "差出人の" + refusal;
    if (std::string refusal = Unprintable(lines, font) + Unprintable(name, font); !refusal.empty())
        return "差出人の" + refusal;
    if (!PlaceColumns(card, Block::SenderAddress, lines, SENDER_ADDRESS_AREA))
        return "差出人の住所が長すぎて、はがきに収まりません";
    const auto left =
        std::min_element(card.cells.begin() + static_cast<std::ptrdiff_t>(firstCell), card.cells.end(),
                         [](const PlacedCell& a, const PlacedCell& b) { return a.box.left < b.box.left; });
    if (name[0].empty() || !PlaceSenderName(card, name[0], left->box.left))
        return "差出人の名前が長すぎて、はがきに収まりません";
    double leftmost = CARD_WIDTH;
    double rightmost = 0;
    for (std::size_t i = firstCell; i < card.cells.size(); ++i) {
        leftmost = std::min(leftmost, card.cells[i].box.left);
        rightmost = std::max(rightmost, card.cells[i].box.Right());
    }
    if (rightmost - leftmost > SENDER_RIGHT - SENDER_LEFT)
        return "差出人の住所が長すぎて、はがきに収まりません";
    MoveHorizontally(card, firstCell, firstGlyph, SENDER_CENTRE - (leftmost + rightmost) / 2);
    return {};
}

}  // namespace

bool Box::Overlaps(const Box& other) const noexcept
{
    return left < other.Right() && other.left < Right() && top < other.Bottom() && other.top < Bottom();
}

const std::array<Box, 7>& RecipientCodeBoxes() noexcept
{
    static const std::array<Box, 7> boxes = [] {
        std::array<Box, 7> placed{};
        double left = CODE_BOX_LEFT;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            placed[i] = Box{left, CODE_BOX_TOP, CODE_BOX_WIDTH, CODE_BOX_HEIGHT};
            left += CODE_BOX_WIDTH + (i < CODE_BOX_GAPS.size() ? CODE_BOX_GAPS[i] : 0.0);
        }
        return placed;
    }();
    return boxes;
}

std::array<Box, 7> SenderCodeBoxes(const SenderBoxes& boxes) noexcept
{
    std::array<Box, 7> placed{};
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const double left = boxes.left + static_cast<double>(i) * boxes.width + (i >= 3 ? boxes.gap : 0.0);
        placed[i] = Box{left, boxes.top, boxes.width, boxes.height};
    }
    return placed;
}

std::variant<CardLayout, Refusal> LayOutCard(const CardPerson& person, const CardOptions& options, const CardFont& font)
{
    CardLayout card;
    const std::vector<Line> address = AddressLines(person, options.numerals, font);
    // The blank in the name becomes one more of the gaps between its letters.
    const std::vector<Line> name{NameLine(person.name, options.numerals, font, 0.0),
                                 NameLine(ToUtf8(HonorificText(options.honorific)), options.numerals, font, 0.0)};
    if (name[0].empty())
        return Refusal{"名前がありません"};
    if (std::string refusal = AddressRefusal(person, address); !refusal.empty())
        return Refusal{refusal};
    if (std::string refusal = Unprintable(address, font) + Unprintable(name, font); !refusal.empty())
        return Refusal{refusal};
    const std::optional<double> addressEnd = PlaceColumns(card, Block::Address, address, ADDRESS_AREA);
    if (!addressEnd)
        return Refusal{"住所が長すぎて、はがきに収まりません"};
    if (!PlaceName(card, name[0], name[1], *addressEnd))
        return Refusal{"名前が長すぎて、はがきに収まりません"};
    AddFrames(card, RecipientCodeBoxes());
    PlacePostalCode(card, Block::RecipientCode, person, RecipientCodeBoxes(), RECIPIENT_DIGIT_SIZE, font);
    if (!options.sender)
        return card;
    auto sender = LayOutSender(options, font);
    if (const Refusal* refusal = std::get_if<Refusal>(&sender))
        return *refusal;
    CardLayout& senderPart = std::get<CardLayout>(sender);
    card.cells.insert(card.cells.end(), senderPart.cells.begin(), senderPart.cells.end());
    card.glyphs.insert(card.glyphs.end(), senderPart.glyphs.begin(), senderPart.glyphs.end());
    card.frames.insert(card.frames.end(), senderPart.frames.begin(), senderPart.frames.end());
    return card;
}

std::variant<CardLayout, Refusal> LayOutSender(const CardOptions& options, const CardFont& font)
{
    CardLayout card;
    if (!options.sender)
        return card;
    if (std::string refusal = PlaceSenderText(card, *options.sender, options.numerals, font); !refusal.empty())
        return Refusal{refusal};
    const std::array<Box, 7> boxes = SenderCodeBoxes(options.senderBoxes);
    AddFrames(card, boxes);
    PlacePostalCode(card, Block::SenderCode, *options.sender, boxes, SENDER_DIGIT_SIZE, font);
    return card;
}

}  // namespace postcard
