#pragma once

#include "DialogTemplate.h"

#include <QFont>
#include <QRect>

#include <vector>

class QWidget;

// The pixel size of a dialog unit: a quarter of the font's average character
// width across, an eighth of its character height down.
struct DialogUnits {
    int charWidth;
    int charHeight;

    [[nodiscard]] int ToPixelsX(int units) const noexcept;
    [[nodiscard]] int ToPixelsY(int units) const noexcept;
    [[nodiscard]] QRect ToPixels(int x, int y, int cx, int cy) const noexcept;
};

// The font's character size as dialog templates measure it: the average
// width of the 52 Latin letters, rounded, and the font's height.
[[nodiscard]] DialogUnits MeasureDialogUnits(const QFont& font);

// The template's font, or the closest Japanese gothic that is installed.
[[nodiscard]] QFont DialogFont(const DialogTemplate& dialogTemplate);

struct BuiltControl {
    const ControlTemplate* source;
    QWidget* widget;
};

// Creates the template's controls as children of the window, at the places
// and in the order the template gives; the order is also the tab order.
[[nodiscard]] std::vector<BuiltControl> BuildControls(QWidget& window, const DialogTemplate& dialogTemplate,
                                                      const DialogUnits& units);
