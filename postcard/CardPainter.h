#pragma once

#include "CardLayout.h"

class QPainter;

namespace postcard {

// Draws a laid-out card on a painter whose device is one 100 × 148 mm page
// (a PDF page, a printer's postcard, a preview's page), shifted by the
// options' offset; the red boxes only when the options ask for them.
void DrawCard(QPainter& painter, const CardLayout& card, const CardFont& font, const CardOptions& options);

}  // namespace postcard
