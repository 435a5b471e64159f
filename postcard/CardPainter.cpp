#include "CardPainter.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>

#include <map>

namespace postcard {

namespace {

// Japan Post prints its boxes in red; the line lies outside the inner edge.
const QColor FRAME_COLOUR(220, 30, 40);
constexpr double FRAME_LINE = 0.3;  // mm

void DrawFrames(QPainter& painter, const std::vector<Box>& frames)
{
    painter.setPen(QPen(FRAME_COLOUR, FRAME_LINE, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    constexpr double half = FRAME_LINE / 2;
    for (const Box& box : frames)
        painter.drawRect(QRectF(box.left - half, box.top - half, box.width + FRAME_LINE, box.height + FRAME_LINE));
}

// One run of glyphs per size, so that each becomes one text object.
void DrawGlyphs(QPainter& painter, const std::vector<PlacedGlyph>& glyphs, const CardFont& font)
{
    std::map<double, QGlyphRun> runs;
    for (const PlacedGlyph& glyph : glyphs) {
        QGlyphRun& run = runs[glyph.size];
        QList<quint32> indexes = run.glyphIndexes();
        QList<QPointF> positions = run.positions();
        indexes.append(glyph.glyph);
        positions.append(QPointF(glyph.x, glyph.y));
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
    }
    painter.setPen(Qt::black);
    for (auto& [size, run] : runs) {
        QRawFont raw = font.Raw();
        raw.setPixelSize(size);
        run.setRawFont(raw);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
}

}  // namespace

void DrawCard(QPainter& painter, const CardLayout& card, const CardFont& font, const CardOptions& options)
{
    painter.save();
    // Millimetres from the page's top-left corner.
    const QPaintDevice& device = *painter.device();
    painter.scale(device.logicalDpiX() / 25.4, device.logicalDpiY() / 25.4);
    painter.translate(options.offsetX, options.offsetY);
    painter.setRenderHint(QPainter::Antialiasing);
    if (options.frames)
        DrawFrames(painter, card.frames);
    DrawGlyphs(painter, card.glyphs, font);
    painter.restore();
}

}  // namespace postcard
