#include "CardFont.h"

#include <QFont>

#include <hb-ot.h>
#include <hb.h>

#include <array>

namespace postcard {

namespace {

struct Family {
    Typeface typeface;
    const char* family;  // as fontconfig names it
    const char* name;    // as the user knows it
};

constexpr std::array<Family, 2> FAMILIES{{
    {Typeface::Mincho, "IPAexMincho", "IPAex明朝"},
    {Typeface::Gothic, "IPAexGothic", "IPAexゴシック"},
}};

}  // namespace

void CardFont::HbDeleter::operator()(hb_font_t* font) const noexcept
{
    hb_font_destroy(font);
}

void CardFont::HbDeleter::operator()(hb_buffer_t* buffer) const noexcept
{
    hb_buffer_destroy(buffer);
}

std::unique_ptr<CardFont> CardFont::Load(Typeface typeface)
{
    for (const Family& family : FAMILIES) {
        if (family.typeface != typeface)
            continue;
        QFont font(QString::fromLatin1(family.family));
        font.setPixelSize(100);
        QRawFont raw = QRawFont::fromFont(font);
        // Qt falls back to another family silently.
        if (!raw.isValid() || raw.familyName() != QString::fromLatin1(family.family))
            return nullptr;
        return std::make_unique<CardFont>(std::move(raw), family.name);
    }
    return nullptr;
}

CardFont::CardFont(QRawFont raw, std::string name)
    : m_raw(std::move(raw)), m_name(std::move(name)), m_buffer(hb_buffer_create())
{
    hb_face_t* face = hb_face_create_for_tables(ReferenceTable, this, nullptr);
    m_font.reset(hb_font_create(face));
    hb_face_destroy(face);
    m_unitsPerEm = hb_face_get_upem(hb_font_get_face(m_font.get()));
    const int scale = static_cast<int>(m_unitsPerEm);
    hb_font_set_scale(m_font.get(), scale, scale);
    hb_font_extents_t extents{};
    if (hb_font_get_h_extents(m_font.get(), &extents)) {
        m_ascent = extents.ascender / m_unitsPerEm;
        m_descent = -extents.descender / m_unitsPerEm;
    }
}

CardFont::~CardFont() noexcept = default;

// HarfBuzz asks for one table at a time; each is copied out of Qt's font
// once and kept as long as the font.
hb_blob_t* CardFont::ReferenceTable(hb_face_t*, hb_tag_t tag, void* userData)
{
    auto& font = *static_cast<CardFont*>(userData);
    auto [table, added] = font.m_tables.try_emplace(tag);
    if (added) {
        const char name[4] = {static_cast<char>(tag >> 24), static_cast<char>(tag >> 16), static_cast<char>(tag >> 8),
                              static_cast<char>(tag)};
        table->second = font.m_raw.fontTable(name);
    }
    if (table->second.isEmpty())
        return nullptr;
    return hb_blob_create(table->second.constData(), static_cast<unsigned>(table->second.size()),
                          HB_MEMORY_MODE_READONLY, nullptr, nullptr);
}

std::vector<ShapedGlyph> CardFont::ShapeVertical(std::u32string_view text,
                                                 const std::vector<std::uint32_t>& clusters) const
{
    return Shape(text, &clusters, true);
}

std::vector<ShapedGlyph> CardFont::ShapeHorizontal(std::u32string_view text) const
{
    return Shape(text, nullptr, false);
}

std::vector<ShapedGlyph> CardFont::Shape(std::u32string_view text, const std::vector<std::uint32_t>* clusters,
                                         bool vertical) const
{
    hb_buffer_t* buffer = m_buffer.get();
    hb_buffer_clear_contents(buffer);
    for (std::size_t i = 0; i < text.size(); ++i)
        hb_buffer_add(buffer, text[i], clusters ? (*clusters)[i] : static_cast<std::uint32_t>(i));
    hb_buffer_set_content_type(buffer, HB_BUFFER_CONTENT_TYPE_UNICODE);
    hb_buffer_set_direction(buffer, vertical ? HB_DIRECTION_TTB : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, HB_SCRIPT_HAN);
    hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
    hb_shape(m_font.get(), buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    std::vector<ShapedGlyph> glyphs(count);
    for (unsigned i = 0; i < count; ++i) {
        // HarfBuzz measures y upwards and moves the pen down with a negative advance.
        glyphs[i] = ShapedGlyph{infos[i].codepoint, infos[i].cluster, positions[i].x_offset / m_unitsPerEm,
                                -positions[i].y_offset / m_unitsPerEm,
                                (vertical ? -positions[i].y_advance : positions[i].x_advance) / m_unitsPerEm};
    }
    return glyphs;
}

std::uint32_t CardFont::NominalGlyph(char32_t c) const
{
    hb_codepoint_t glyph = 0;
    return hb_font_get_nominal_glyph(m_font.get(), c, &glyph) ? glyph : 0;
}

}  // namespace postcard
