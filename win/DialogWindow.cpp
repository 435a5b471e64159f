#include "DialogWindow.h"

#include "Dialog.h"
#include "EditBox.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace {

constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

bool IsPushButton(const ControlTemplate& control) noexcept
{
    return control.kind == ControlKind::PushButton || control.kind == ControlKind::DefPushButton;
}

// Centres a span of `length` on `area` (integer halves, as the platform
// does), then keeps it inside `limit`: first its start, then its end.
int CentredStart(int areaStart, int areaLength, int length, int limitStart, int limitLength)
{
    int start = (areaStart + areaStart + areaLength) / 2 - length / 2;
    if (start < limitStart)
        start = limitStart;
    if (start + length > limitStart + limitLength)
        start = limitStart + limitLength - length;
    return start;
}

}  // namespace

DialogWindow::DialogWindow(CDialog& dialog, const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent, kDialogFlags), m_dialog(dialog), m_units{}, m_systemMenu(new QMenu(this))
{
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    setFont(DialogFont(dialogTemplate));
    m_units = MeasureDialogUnits(font());
    setFixedSize(m_units.ToPixelsX(dialogTemplate.cx), m_units.ToPixelsY(dialogTemplate.cy));
    m_controls = BuildControls(*this, dialogTemplate, m_units);
    for (size_t index = 0; index < m_controls.size(); ++index)
        Connect(m_controls[index], index);

    m_systemMenu->addAction(QStringLiteral("閉じる"))->setData(SC_CLOSE);
    // A shortcut, so that no focused control (a button takes Space) sees
    // the key first.
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(menuKey, &QShortcut::activated, this, [this] { OpenSystemMenu(mapToGlobal(QPoint(0, 0))); });
    connect(m_systemMenu, &QMenu::triggered, this, [this](QAction* action) {
        if (action->data().isValid() && !m_finished)
            m_dialog.OnSysCommand(action->data().toUInt());
    });
}

QWidget* DialogWindow::Control(int id) const
{
    if (id == IDC_STATIC)
        return nullptr;
    for (const BuiltControl& control : m_controls) {
        if (control.source->id == id)
            return control.widget;
    }
    return nullptr;
}

std::vector<QRadioButton*> DialogWindow::RadioGroup(int firstId) const
{
    std::vector<QRadioButton*> group;
    for (size_t start = 0; start < m_controls.size(); ++start) {
        if (m_controls[start].source->id != firstId)
            continue;
        for (size_t index = start; index < GroupEnd(start); ++index) {
            if (m_controls[index].source->kind == ControlKind::AutoRadio)
                group.push_back(static_cast<QRadioButton*>(m_controls[index].widget));
        }
        break;
    }
    return group;
}

QWidget* DialogWindow::FirstTabStop() const
{
    for (const BuiltControl& control : m_controls) {
        if ((control.source->flags & CF_TABSTOP) != 0 && control.widget->isEnabled()
            && (control.widget->focusPolicy() & Qt::TabFocus) != 0)
            return control.widget;
    }
    return nullptr;
}

void DialogWindow::PlaceCentred()
{
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    QScreen* screen = owner != nullptr ? owner->screen() : this->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect work = screen->availableGeometry();
    const bool overOwner = owner != nullptr && owner->isVisible() && !owner->isMinimized();
    const QRect area = overOwner ? owner->frameGeometry() : work;
    // The frame counts as part of the window once the platform knows it.
    winId();
    const QSize size = frameGeometry().size();
    move(CentredStart(area.x(), area.width(), size.width(), work.x(), work.width()),
         CentredStart(area.y(), area.height(), size.height(), work.y(), work.height()));
}

void DialogWindow::OpenSystemMenu(const QPoint& globalPosition)
{
    if (!m_finished)
        m_systemMenu->popup(globalPosition);
}

void DialogWindow::Finish(int result)
{
    m_finished = true;
    m_ending = true;
    QDialog::done(result);
    m_ending = false;
}

void DialogWindow::done(int result)
{
    // Only EndDialog ends the dialog; Qt's own paths go through commands.
    if (m_ending)
        QDialog::done(result);
}

void DialogWindow::accept()
{
    Notify(IDOK, BN_CLICKED);
}

void DialogWindow::reject()
{
    Notify(IDCANCEL, BN_CLICKED);
}

void DialogWindow::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        Notify(IDCANCEL, BN_CLICKED);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int id = EnterCommand(); id != IDC_STATIC)
            Notify(id, BN_CLICKED);
        return;
    case Qt::Key_F1:
        m_dialog.OnHelp();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void DialogWindow::closeEvent(QCloseEvent* event)
{
    // The close box is a command like any other; the dialog decides.
    event->ignore();
    if (!m_finished)
        m_dialog.OnSysCommand(SC_CLOSE);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event)
{
    const QWidget* target = childAt(event->pos());
    const bool background = target == nullptr || qobject_cast<const QLabel*>(target) != nullptr
                            || qobject_cast<const QGroupBox*>(target) != nullptr;
    if (!background) {
        event->ignore();
        return;
    }
    OpenSystemMenu(event->globalPos());
    event->accept();
}

// The QDialog base hides the window as it is destroyed, and the focused
// edit then loses the focus; this object is gone by then, so the edits
// must not call back into it.
DialogWindow::~DialogWindow()
{
    for (const BuiltControl& control : m_controls) {
        if (control.source->kind == ControlKind::Edit)
            static_cast<EditBox*>(control.widget)->SetFocusLostHandler(nullptr);
    }
}

void DialogWindow::Connect(const BuiltControl& control, size_t index)
{
    const int id = control.source->id;
    if (id == IDC_STATIC)
        return;
    switch (control.source->kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
        connect(static_cast<QPushButton*>(control.widget), &QPushButton::clicked, this,
                [this, id] { Notify(id, BN_CLICKED); });
        break;
    case ControlKind::AutoRadio:
        connect(static_cast<QRadioButton*>(control.widget), &QRadioButton::clicked, this, [this, id, index] {
            CheckRadio(index);
            Notify(id, BN_CLICKED);
        });
        break;
    case ControlKind::ListBox:
        connect(static_cast<QListView*>(control.widget), &QListView::doubleClicked, this,
                [this, id] { Notify(id, LBN_DBLCLK); });
        break;
    case ControlKind::Edit:
        static_cast<EditBox*>(control.widget)->SetFocusLostHandler([this, id] { Notify(id, EN_KILLFOCUS); });
        break;
    default:
        break;
    }
}

void DialogWindow::CheckRadio(size_t index)
{
    const size_t start = GroupStart(index);
    for (size_t other = start; other < GroupEnd(start); ++other) {
        if (other != index && m_controls[other].source->kind == ControlKind::AutoRadio)
            static_cast<QRadioButton*>(m_controls[other].widget)->setChecked(false);
    }
}

size_t DialogWindow::GroupStart(size_t index) const
{
    for (size_t start = index + 1; start-- > 0;) {
        if ((m_controls[start].source->flags & CF_GROUP) != 0)
            return start;
    }
    return 0;
}

size_t DialogWindow::GroupEnd(size_t start) const
{
    for (size_t end = start + 1; end < m_controls.size(); ++end) {
        if ((m_controls[end].source->flags & CF_GROUP) != 0)
            return end;
    }
    return m_controls.size();
}

int DialogWindow::EnterCommand() const
{
    for (const BuiltControl& control : m_controls) {
        if (control.widget == focusWidget() && IsPushButton(*control.source))
            return control.source->id;
    }
    return DefaultButtonId();
}

// The button with the OK command when there is one, else the first button
// drawn as default.
int DialogWindow::DefaultButtonId() const
{
    if (const QWidget* ok = Control(IDOK); ok != nullptr && qobject_cast<const QPushButton*>(ok) != nullptr)
        return ok->isEnabled() ? IDOK : IDC_STATIC;
    for (const BuiltControl& control : m_controls) {
        if (control.source->kind == ControlKind::DefPushButton)
            return control.widget->isEnabled() ? control.source->id : IDC_STATIC;
    }
    return IDC_STATIC;
}

void DialogWindow::Notify(int id, int code)
{
    m_dialog.Dispatch(id, code);
}
