#pragma once

#include "CardFont.h"
#include "CardText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// One person's postcard (はがき宛名), laid out: every character cell, glyph
// and box placed in millimetres on the 100 × 148 mm card, origin top-left,
// y downwards. Drawing it is a separate step (CardPainter).
namespace postcard {

inline constexpr double CARD_WIDTH = 100.0;
inline constexpr double CARD_HEIGHT = 148.0;
inline constexpr double MM_PER_POINT = 25.4 / 72.0;

enum class Honorific { Sama, Dono, Onchu, None };

// One person as the card needs them (UTF-8).
struct CardPerson {
    std::string name;
    std::string address1;
    std::string address2;  // the building, in a column of its own
    std::string zip1;      // three digits
    std::string zip2;      // four digits
};

// The sender's postal-code boxes: seven touching boxes, a gap after the third.
struct SenderBoxes {
    double left = 5.0;
    double top = 122.5;
    double width = 4.0;
    double height = 6.5;
    double gap = 1.0;
};

// Everything the user chooses for a print run.
struct CardOptions {
    Honorific honorific = Honorific::Sama;
    Numerals numerals = Numerals::Kanji;
    Typeface typeface = Typeface::Mincho;
    bool frames = false;  // draw the red boxes too, for plain paper
    double offsetX = 0;   // mm, -5 to 5: shifts everything, to correct a printer's feed
    double offsetY = 0;
    std::optional<CardPerson> sender = std::nullopt;
    SenderBoxes senderBoxes = {};
};

inline constexpr double MAX_OFFSET = 5.0;

struct Box {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    [[nodiscard]] double Right() const noexcept { return left + width; }
    [[nodiscard]] double Bottom() const noexcept { return top + height; }
    [[nodiscard]] double CentreX() const noexcept { return left + width / 2; }
    [[nodiscard]] double CentreY() const noexcept { return top + height / 2; }
    // Whether the two share any area.
    [[nodiscard]] bool Overlaps(const Box& other) const noexcept;
};

enum class Block { RecipientCode, Address, Name, SenderCode, SenderAddress, SenderName };

// One character cell: its box is the em square (or the digit's box in a
// postal-code box) as a PDF reader reports it.
struct PlacedCell {
    Block block;
    int column = 0;  // within the block, from the right
    Box box;
    std::u32string text;
    bool blank = false;
    // The font gives a vertical form (ー, 「, small kana ...) in place of the
    // character's own glyph.
    bool verticalForm = false;
};

struct PlacedGlyph {
    std::uint32_t glyph = 0;
    double size = 0;  // em in mm
    double x = 0;     // the glyph's origin on the baseline
    double y = 0;
};

struct CardLayout {
    std::vector<PlacedCell> cells;
    std::vector<PlacedGlyph> glyphs;
    std::vector<Box> frames;         // the red postal-code boxes, inner edges
    std::vector<std::string> notes;  // what the card lacks, for the summary
};

// Why a person gets no card; shown after the name.
struct Refusal {
    std::string reason;
};

// The recipient's boxes, inner edges: Japan Post's, for every card.
[[nodiscard]] const std::array<Box, 7>& RecipientCodeBoxes() noexcept;
[[nodiscard]] std::array<Box, 7> SenderCodeBoxes(const SenderBoxes& boxes) noexcept;

// The card of one person, or why it cannot be made. A sender that does not
// fit refuses every card. The notes say what the person's card lacks.
[[nodiscard]] std::variant<CardLayout, Refusal> LayOutCard(const CardPerson& person, const CardOptions& options,
                                                           const CardFont& font);

// The sender's part of every card alone (empty without a sender): its notes
// say what it lacks; a Refusal when no card can carry it.
[[nodiscard]] std::variant<CardLayout, Refusal> LayOutSender(const CardOptions& options, const CardFont& font);

}  // namespace postcard
