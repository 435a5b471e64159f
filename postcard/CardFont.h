#pragma once

#include <QRawFont>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct hb_blob_t;
struct hb_buffer_t;
struct hb_face_t;
struct hb_font_t;

// The font a card is set in: the font Qt draws with, and HarfBuzz shaping
// over the very same font tables, so that the glyphs shaped are the glyphs
// drawn. All measures are in ems.
namespace postcard {

enum class Typeface { Mincho, Gothic };

struct ShapedGlyph {
    std::uint32_t glyph = 0;
    std::uint32_t cluster = 0;  // the index given with the character
    // Where to draw the glyph (its horizontal origin, y downwards) from the
    // pen, and how far the pen then moves: down a column, or along a line.
    double x = 0;
    double y = 0;
    double advance = 0;
};

class CardFont {
public:
    // nullptr when the typeface is not installed.
    [[nodiscard]] static std::unique_ptr<CardFont> Load(Typeface typeface);
    CardFont(QRawFont raw, std::string name);
    ~CardFont() noexcept;
    CardFont(const CardFont&) = delete;
    CardFont& operator=(const CardFont&) = delete;

    // The family's name, as the user knows it (IPAex明朝).
    [[nodiscard]] const std::string& Name() const noexcept { return m_name; }
    [[nodiscard]] const QRawFont& Raw() const noexcept { return m_raw; }

    // Characters with their clusters, shaped top to bottom (HarfBuzz applies
    // the vertical forms) or left to right. The pen starts at the column's
    // centre line, at the top of the first character.
    [[nodiscard]] std::vector<ShapedGlyph> ShapeVertical(std::u32string_view text,
                                                         const std::vector<std::uint32_t>& clusters) const;
    [[nodiscard]] std::vector<ShapedGlyph> ShapeHorizontal(std::u32string_view text) const;

    // The glyph the character map gives a character; 0 for none.
    [[nodiscard]] std::uint32_t NominalGlyph(char32_t c) const;
    // Above and below the baseline, as PDF readers measure a line.
    [[nodiscard]] double Ascent() const noexcept { return m_ascent; }
    [[nodiscard]] double Descent() const noexcept { return m_descent; }

private:
    static hb_blob_t* ReferenceTable(hb_face_t* face, std::uint32_t tag, void* userData);
    [[nodiscard]] std::vector<ShapedGlyph> Shape(std::u32string_view text, const std::vector<std::uint32_t>* clusters,
                                                 bool vertical) const;

    struct HbDeleter {
        void operator()(hb_font_t* font) const noexcept;
        void operator()(hb_buffer_t* buffer) const noexcept;
    };
    QRawFont m_raw;
    std::string m_name;
    std::map<std::uint32_t, QByteArray> m_tables;  // outlives the HarfBuzz font below
    std::unique_ptr<hb_font_t, HbDeleter> m_font;
    std::unique_ptr<hb_buffer_t, HbDeleter> m_buffer;
    double m_unitsPerEm = 1000;
    double m_ascent = 0.88;
    double m_descent = 0.12;
};

}  // namespace postcard
