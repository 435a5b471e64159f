#include "DialogBuilder.h"

#include "EditBox.h"
#include "ListBoxModel.h"
#include "SpinButton.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

// Rounds as the platform's dialog-unit conversion does (half away from 0).
int ScaleRounded(int value, int numerator, int denominator) noexcept
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

constexpr int kIconSize = 32;

// A list item is one line of the dialog's font, as on the platform the
// templates come from.
int ListRowHeight(const QWidget& widget)
{
    return QFontMetrics(widget.font()).height();
}

QString ControlText(const ControlTemplate& control)
{
    return QString::fromUtf8(control.text != nullptr ? control.text : "");
}

QWidget* MakePushButton(const ControlTemplate& control, QWidget& window)
{
    auto* button = new QPushButton(ControlText(control), &window);
    // While it has the focus the button is the dialog's default one, drawn
    // and announced as such, as Enter presses it then.
    button->setAutoDefault(true);
    return button;
}

QWidget* MakeStatic(const ControlTemplate& control, QWidget& window)
{
    auto* label = new QLabel(ControlText(control), &window);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* MakeIcon(QWidget& window)
{
    auto* label = new QLabel(&window);
    label->setPixmap(QGuiApplication::windowIcon().pixmap(kIconSize, kIconSize));
    return label;
}

// The frame runs through the middle of the title, as the templates expect:
// the control's top is the title's top, not the frame's.
QWidget* MakeGroupBox(const ControlTemplate& control, QWidget& window)
{
    auto* box = new QGroupBox(ControlText(control), &window);
    const int half = QFontMetrics(window.font()).height() / 2;
    box->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: %1px; }"
                                      "QGroupBox::title { subcontrol-origin: margin; left: %2px; padding: 0 1px; }")
                           .arg(half)
                           .arg(half));
    return box;
}

QWidget* MakeListBox(QWidget& window)
{
    auto* view = new QListView(&window);
    new ListBoxModel(ListRowHeight(window), *view);
    view->setUniformItemSizes(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Shown even when every item fits, but disabled then.
    QScrollBar* bar = view->verticalScrollBar();
    bar->setEnabled(false);
    QObject::connect(bar, &QScrollBar::rangeChanged, bar, [bar](int low, int high) { bar->setEnabled(high > low); });
    return view;
}

QWidget* MakeWidget(const ControlTemplate& control, QWidget& window)
{
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
        return MakePushButton(control, window);
    case ControlKind::Static:
        return MakeStatic(control, window);
    case ControlKind::Icon:
        return MakeIcon(window);
    case ControlKind::GroupBox:
        return MakeGroupBox(control, window);
    case ControlKind::ListBox:
        return MakeListBox(window);
    case ControlKind::Edit:
        return new EditBox(&window);
    case ControlKind::AutoRadio:
        return new QRadioButton(ControlText(control), &window);
    case ControlKind::UpDown:
        return new SpinButton(&window);
    }
    return new QWidget(&window);
}

bool TakesFocus(ControlKind kind) noexcept
{
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::ListBox:
    case ControlKind::Edit:
    case ControlKind::AutoRadio:
        return true;
    default:
        return false;
    }
}

// A list box is as high as a whole number of its items (plus its frame).
QRect TrimmedToWholeItems(QListView& view, QRect area)
{
    const int rowHeight = ListRowHeight(view);
    const int frame = 2 * view.frameWidth();
    const int rows = std::max(1, (area.height() - frame) / rowHeight);
    area.setHeight(rows * rowHeight + frame);
    return area;
}

// Our font runs wider than the one the templates were drawn with. A label
// of several lines wraps its words; a one-line label whose text does not fit
// takes a slightly smaller size (down to two points less), and grows to the
// right only if even that is too wide, so that no text is cut off.
QRect FittedLabel(QLabel& label, QRect area)
{
    if (area.height() >= 2 * label.fontMetrics().height()) {
        label.setWordWrap(true);
        return area;
    }
    QFont font = label.font();
    const qreal smallest = font.pointSizeF() - 2;
    while (QFontMetrics(font).horizontalAdvance(label.text()) >= area.width() && font.pointSizeF() > smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != label.font())
        label.setFont(font);
    area.setWidth(std::max(area.width(), QFontMetrics(font).horizontalAdvance(label.text()) + 1));
    return area;
}

QRect PlaceOf(const ControlTemplate& control, QWidget& widget, const DialogUnits& units)
{
    const QRect area = units.ToPixels(control.x, control.y, control.cx, control.cy);
    if (control.kind == ControlKind::Static)
        return FittedLabel(static_cast<QLabel&>(widget), area);
    if (control.kind == ControlKind::Icon)
        return QRect(area.topLeft(), QSize(kIconSize, kIconSize));
    if (control.kind == ControlKind::ListBox)
        return TrimmedToWholeItems(static_cast<QListView&>(widget), area);
    return area;
}

void ApplyFlags(const ControlTemplate& control, QWidget& widget)
{
    if (TakesFocus(control.kind))
        widget.setFocusPolicy((control.flags & CF_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    else
        widget.setFocusPolicy(Qt::NoFocus);
    if ((control.flags & CF_READONLY) != 0) {
        if (auto* edit = dynamic_cast<QLineEdit*>(&widget)) {
            edit->setReadOnly(true);
            // Drawn on the window's grey, as the platform draws read-only edits.
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            edit->setPalette(palette);
        }
    }
    if ((control.flags & CF_DISABLED) != 0)
        widget.setEnabled(false);
}

}  // namespace

int DialogUnits::ToPixelsX(int units) const noexcept
{
    return ScaleRounded(units, charWidth, 4);
}

int DialogUnits::ToPixelsY(int units) const noexcept
{
    return ScaleRounded(units, charHeight, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const noexcept
{
    return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(cx), ToPixelsY(cy));
}

DialogUnits MeasureDialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int lettersWidth =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits{ScaleRounded(lettersWidth, 1, 52), metrics.height()};
}

QFont DialogFont(const DialogTemplate& dialogTemplate)
{
    QFont font;
    // Fontconfig picks another Japanese gothic when the first is missing.
    font.setFamilies({QString::fromUtf8(dialogTemplate.fontFamily), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                      QStringLiteral("TakaoPGothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(dialogTemplate.pointSize);
    return font;
}

std::vector<BuiltControl> BuildControls(QWidget& window, const DialogTemplate& dialogTemplate, const DialogUnits& units)
{
    std::vector<BuiltControl> built;
    built.reserve(dialogTemplate.controls.size());
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = MakeWidget(control, window);
        ApplyFlags(control, *widget);
        if (control.accessibleName != nullptr)
            widget->setAccessibleName(QString::fromUtf8(control.accessibleName));
        widget->setGeometry(PlaceOf(control, *widget, units));
        built.push_back(BuiltControl{&control, widget});
    }
    return built;
}
