// The real kanaroku-hagaki on a real book, its PDF read back with poppler:
// every glyph poppler finds against the card's layout (the oracle) and the
// card's fixed geometry, the fonts embedded, the ink of the rendered page
// only where the blocks may be, a vertical ー taller than wide; then every
// failure with its exit status and no file left behind.
#include "AddressTable.h"
#include "CardBook.h"
#include "CardLayout.h"
#include "SjisCodec.h"
#include "TestFiles.h"

#include <QImage>
#include <QString>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <sys/wait.h>

namespace {

using namespace postcard;
namespace fs = std::filesystem;

constexpr double MM_PER_PDF_POINT = 25.4 / 72.0;

struct Person {
    const char* reading;
    const char* name;
    const char* address1;
    const char* address2;
    const char* zip1;
    const char* zip2;
};

// In file order; the list shows them by reading.
const Person BOOK[] = {
    {"わたなべ おさむ", "渡辺　修", "", "", "100", "0001"},
    {"すずき いちろう", "鈴木　一郎", "神奈川県横浜市西区みなとみらい二丁目3-1 ABCマンション1001号室", "", "220",
     "0012"},
    {"やまだ たろう", "山田　太郎", "東京都千代田区丸の内1-2-3", "", "100", "0005"},
    {"john smith", "John Smith", "1600 Pennsylvania Ave NW", "Washington DC", "", ""},
    {"さとう はなこ", "佐藤　花子", "大阪府大阪市北区梅田3-12-1", "梅田ハイツ205", "530", "0001"},
    {"はせがわ はじめ", "長谷川　一", "北海道札幌市中央区北一条西二十丁目大通公園1-2-3", "", "060", "0001"},
    {"さしで はなこ", "差出　花子", "京都府京都市左京区岩倉1-2-3", "", "606", "0001"},
};

std::string BookLine(const Person& p)
{
    return std::to_string(CAddressTable::ClassifyReading(sjis::EncodeFromUtf8(p.reading)->c_str())) + "," + p.reading
           + "," + p.name + "," + p.address1 + "," + p.address2 + ",1980,1,1,0,," + p.zip1 + "," + p.zip2
           + ",0,*,*,*,*,*,*,*,*,*,*,*,*\r\n";
}

void WriteBook(const std::string& extraLines = "")
{
    std::string text = "# test\r\n";
    for (const Person& person : BOOK)
        text += BookLine(person);
    WriteFileBytes(ADDRESS_TABLE_FILE, *sjis::EncodeFromUtf8(text + extraLines));
}

struct Ran {
    int status;
    std::string out;
    std::string err;
};

Ran RunHagaki(const std::string& arguments)
{
    const int raw =
        std::system((std::string("'") + KANAROKU_HAGAKI + "' " + arguments + " >out.txt 2>err.txt").c_str());
    Ran ran{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFileBytes("out.txt"), ReadFileBytes("err.txt")};
    fs::remove("out.txt");
    fs::remove("err.txt");
    return ran;
}

std::string Command(const std::string& command)
{
    std::string output;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    ::pclose(pipe);
    return output;
}

struct Word {
    std::u32string text;  // after NFKC
    Box box;              // mm
};

// pdftotext -bbox: the glyphs of each page, in millimetres.
std::vector<std::vector<Word>> PageWords(const std::string& pdf)
{
    QXmlStreamReader xml(QString::fromStdString(Command("pdftotext -bbox '" + pdf + "' -")));
    std::vector<std::vector<Word>> pages;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"page")
            pages.emplace_back();
        if (xml.name() != u"word")
            continue;
        const auto at = [&](const char* name) { return xml.attributes().value(name).toDouble() * MM_PER_PDF_POINT; };
        const Box box{at("xMin"), at("yMin"), at("xMax") - at("xMin"), at("yMax") - at("yMin")};
        pages.back().push_back(Word{Normalized(xml.readElementText().toStdString()), box});
    }
    return pages;
}

// The cells poppler reports: those drawn with a character's own glyph.
std::vector<const PlacedCell*> TextCells(const CardLayout& card)
{
    std::vector<const PlacedCell*> cells;
    for (const PlacedCell& cell : card.cells) {
        if (!cell.verticalForm)
            cells.push_back(&cell);
    }
    return cells;
}

// Poppler names a glyph by a character the font maps to it, not always the
// one set (a CJK radical for 西): the same glyph counts as the same text.
bool SameText(std::u32string_view found, std::u32string_view set, const CardFont& font)
{
    return found == set
           || (found.size() == 1 && set.size() == 1 && font.NominalGlyph(found[0]) == font.NominalGlyph(set[0]));
}

// Every cell with text has its word at its place, and nothing else is there.
void CheckWords(const std::vector<Word>& words, const CardLayout& card, double dx, double dy, const CardFont& font)
{
    const auto cells = TextCells(card);
    ASSERT_EQ(words.size(), cells.size());
    for (const PlacedCell* cell : cells) {
        const auto word = std::find_if(words.begin(), words.end(), [&](const Word& w) {
            return SameText(w.text, Normalized(ToUtf8(cell->text)), font)
                   && std::abs(w.box.CentreX() - cell->box.CentreX() - dx) < 0.3
                   && std::abs(w.box.CentreY() - cell->box.CentreY() - dy) < 0.3;
        });
        EXPECT_NE(word, words.end()) << ToUtf8(cell->text) << " at " << cell->box.left << "," << cell->box.top;
    }
    // Against the card's own table too: postal digits centred in Japan
    // Post's boxes, the name column centred at x 50.
    int digits = 0;
    for (const Word& word : words) {
        const double x = word.box.CentreX() - dx, y = word.box.CentreY() - dy;
        if (y < 21) {
            const Box& box = RecipientCodeBoxes()[static_cast<std::size_t>(digits++)];
            EXPECT_NEAR(x, box.CentreX(), 0.3);
            EXPECT_NEAR(y, box.CentreY(), 0.3);
        }
        if (x > 45 && x < 55 && y > 21) {
            EXPECT_NEAR(x, 50.0, 1.0);
        }
    }
    EXPECT_EQ(digits, 7);
    for (const Word& word : words) {
        EXPECT_TRUE(word.box.left >= 0 && word.box.Right() <= CARD_WIDTH && word.box.Bottom() <= CARD_HEIGHT);
        EXPECT_FALSE(word.box.Overlaps(Box{0, 0, 38, 38}));
    }
}

// The page as grey pixels, 10 per millimetre.
QImage Rendered(const std::string& pdf, int page)
{
    const std::string base = "page" + std::to_string(page);
    Command("pdftoppm -gray -r 254 -f " + std::to_string(page) + " -l " + std::to_string(page) + " -singlefile '" + pdf
            + "' " + base);
    return QImage(QString::fromStdString(base + ".pgm"));
}

bool Ink(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 160;
}

// Ink only where a block may be: the code boxes, the address and name, the
// sender's area and boxes.
void CheckInk(const QImage& image)
{
    const Box allowed[] = {
        {44.0, 11.5, 48.5, 9.0}, {44.0, 25.0, 49.0, 106.0}, {4.0, 60.0, 36.0, 61.0}, {4.5, 122.0, 30.0, 7.5}};
    int stray = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double mmX = x / 10.0, mmY = y / 10.0;
            const bool inside = std::any_of(std::begin(allowed), std::end(allowed), [&](const Box& box) {
                return mmX >= box.left && mmX <= box.Right() && mmY >= box.top && mmY <= box.Bottom();
            });
            stray += !inside && Ink(image, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(stray, 0);
}

// The ink's extent within a box, in pixels: width, height.
std::pair<int, int> InkExtent(const QImage& image, const Box& box)
{
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = static_cast<int>(box.top * 10); y < static_cast<int>(box.Bottom() * 10); ++y) {
        for (int x = static_cast<int>(box.left * 10); x < static_cast<int>(box.Right() * 10); ++x) {
            if (Ink(image, x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    }
    return {right - left + 1, bottom - top + 1};
}

// The printable people in the list's order, laid out as the command does.
std::vector<CardLayout> Expected(const CardOptions& options, const CardFont& font)
{
    std::vector<CardLayout> cards;
    const auto book = ReadBook();
    for (const BookPerson& person : std::get<std::vector<BookPerson>>(book)) {
        auto card = LayOutCard(PersonOf(person.record), options, font);
        if (auto* layout = std::get_if<CardLayout>(&card))
            cards.push_back(std::move(*layout));
    }
    return cards;
}

const struct {
    const char* arguments;
    CardOptions options;
    double dx, dy;
} RUNS[] = {
    {"--sender '差出　花子' cards.pdf",
     {.sender = CardPerson{"差出　花子", "京都府京都市左京区岩倉1-2-3", "", "606", "0001"}},
     0,
     0},
    {"--numerals arabic --font gothic --frames --offset 1.5,-1 --honorific 殿 cards.pdf",
     {.honorific = Honorific::Dono, .numerals = Numerals::Arabic, .typeface = Typeface::Gothic, .frames = true},
     1.5,
     -1},
};

TEST(HagakiCommand, PagesMeasuredAgainstTheLayout)
{
    for (const auto& [arguments, options, dx, dy] : RUNS) {
        SCOPED_TRACE(arguments);
        TempWorkDir dir;
        WriteBook();
        const Ran ran = RunHagaki(arguments);
        ASSERT_EQ(ran.status, 0) << ran.err;
        EXPECT_NE(ran.out.find("cards.pdf にはがき 5 枚を書きました"), std::string::npos) << ran.out;
        EXPECT_NE(ran.out.find("渡辺　修: 住所がありません"), std::string::npos);
        EXPECT_NE(ran.out.find("John Smith: 住所に日本語の文字がありません"), std::string::npos);
        // Every font embedded: the fifth column from the end.
        const std::string fonts = Command("pdffonts cards.pdf | tail -n +3 | awk '{print $1, $(NF-4)}'");
        EXPECT_EQ(fonts, options.typeface == Typeface::Gothic ? "IPAexGothic yes\n" : "IPAexMincho yes\n");
        EXPECT_NE(Command("pdfinfo cards.pdf").find("284 x 419 pts"), std::string::npos);

        const auto font = CardFont::Load(options.typeface);
        const std::vector<CardLayout> cards = Expected(options, *font);
        const auto pages = PageWords("cards.pdf");
        ASSERT_EQ(pages.size(), cards.size());
        for (std::size_t page = 0; page < pages.size(); ++page) {
            SCOPED_TRACE(page + 1);
            CheckWords(pages[page], cards[page], dx, dy, *font);
            const QImage image = Rendered("cards.pdf", static_cast<int>(page + 1));
            if (dx == 0 && dy == 0)
                CheckInk(image);
            for (const PlacedCell& cell : cards[page].cells) {
                if (cell.text == U"ー") {
                    const Box at{cell.box.left + dx, cell.box.top + dy, cell.box.width, cell.box.height};
                    const auto [width, height] = InkExtent(image, at);
                    EXPECT_GT(height, 2 * width);
                }
            }
        }
    }
}

TEST(HagakiCommand, FailuresLeaveNoFile)
{
    const struct {
        const char* arguments;
        std::string extraLines;
        int status;
        const char* message;
    } FAILURES[] = {
        {"", "", 2, "usage:"},
        {"--honorific さん out.pdf", "", 2, "usage:"},
        {"--offset 6,0 out.pdf", "", 2, "usage:"},
        {"--font", "", 2, "usage:"},
        {"out.pdf 誰も知らない人", "", 1, "誰も知らない人 という名前の人は"},
        {"--sender 誰か out.pdf", "", 1, "差出人 誰か は"},
        {"out.pdf 渡辺　修", "", 1, "はがきにできる人がいません"},
        {"no/such/folder/out.pdf", "", 1, "no/such/folder/out.pdf に書き込めません"},
        {"out.pdf", "0,bad,line\r\n" + BookLine(BOOK[2]), 1, "行目の形式が正しくないため"},
    };
    for (const auto& [arguments, extraLines, status, message] : FAILURES) {
        SCOPED_TRACE(arguments);
        TempWorkDir dir;
        WriteBook(extraLines);
        const Ran ran = RunHagaki(arguments);
        EXPECT_EQ(ran.status, status);
        EXPECT_NE(ran.err.find(message), std::string::npos) << ran.err;
        std::vector<std::string> left;
        for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{ADDRESS_TABLE_FILE});
    }
}

// Named people in the list's order whatever the order named; over twenty
// lines the summary ends with "他 M 件".
TEST(HagakiCommand, NamedPeopleAndALongSummary)
{
    TempWorkDir dir;
    std::string unprintable;
    for (int i = 0; i < 22; ++i)
        unprintable += "0,あ,住所なし" + std::to_string(i) + ",,,1980,1,1,0,,,,0,*,*,*,*,*,*,*,*,*,*,*,*\r\n";
    WriteBook(unprintable);
    Ran ran = RunHagaki("named.pdf '長谷川　一' '山田　太郎' 'さ'");
    EXPECT_EQ(ran.status, 1);
    ran = RunHagaki("named.pdf '山田　太郎' '佐藤　花子'");
    ASSERT_EQ(ran.status, 0) << ran.err;
    const auto pages = PageWords("named.pdf");
    ASSERT_EQ(pages.size(), 2u);
    const auto has = [](const std::vector<Word>& words, char32_t c) {
        return std::any_of(words.begin(), words.end(),
                           [&](const Word& w) { return w.text.find(c) != std::u32string::npos; });
    };
    EXPECT_TRUE(has(pages[0], U'佐'));
    EXPECT_TRUE(has(pages[1], U'太'));
    ran = RunHagaki("all.pdf");
    ASSERT_EQ(ran.status, 0);
    EXPECT_NE(ran.out.find("はがきにしなかった人: 24 人"), std::string::npos) << ran.out;
    EXPECT_NE(ran.out.find("  他 4 件\n"), std::string::npos) << ran.out;
}

}  // namespace
