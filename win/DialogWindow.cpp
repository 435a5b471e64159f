#include "DialogWindow.h"

#include "Dialog.h"
#include "EditBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>

namespace {

constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// The property of a radio group that holds the static naming it.
constexpr char kGroupLabel[] = "groupLabel";

// A radio button as assistive technology sees it: the role, check state and
// toggle action Qt gives one, plus a labelled-by relation to the static that
// names its group, which is where screen readers look for a group's name.
class RadioAccessible final : public QAccessibleWidget {
public:
    explicit RadioAccessible(QRadioButton& button) : QAccessibleWidget(&button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(kind);
        // A lone & marks the mnemonic; && is a shown &.
        QString name = Button().text();
        for (qsizetype at = name.indexOf(u'&'); at >= 0; at = name.indexOf(u'&', at + 1))
            name.remove(at, 1);
        return name;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button().isChecked();
        state.pressed = Button().isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(toggleAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (action != toggleAction())
            QAccessibleWidget::doAction(action);
        else if (widget()->isEnabled())
            Button().animateClick();
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto relations = QAccessibleWidget::relations(match);
        // Looked up now: Qt may make this interface before the group exists.
        const QButtonGroup* group = Button().group();
        auto* label = group != nullptr ? group->property(kGroupLabel).value<QWidget*>() : nullptr;
        if (match.testFlag(QAccessible::Label) && label != nullptr)
            relations.append({QAccessible::queryAccessibleInterface(label), QAccessible::Label});
        return relations;
    }

private:
    [[nodiscard]] QRadioButton& Button() const { return *static_cast<QRadioButton*>(widget()); }
};

QAccessibleInterface* MakeRadioAccessible(const QString& className, QObject* object)
{
    auto* button = qobject_cast<QRadioButton*>(object);
    if (button == nullptr || className != QLatin1String("QRadioButton"))
        return nullptr;
    return new RadioAccessible(*button);  // Qt's accessibility cache owns it
}

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
    // Once, and before any radio button exists: Qt keeps the first
    // interface it makes for a control.
    [[maybe_unused]] static const bool radiosNamed = (QAccessible::installFactory(&MakeRadioAccessible), true);
    m_controls = BuildControls(*this, dialogTemplate, m_units);
    BuildRadioGroups();
    // The default button while no push button has the focus; a focused
    // push button takes that part until it loses the focus.
    if (const BuiltControl* button = DefaultButton())
        static_cast<QPushButton*>(button->widget)->setDefault(true);
    for (const BuiltControl& control : m_controls)
        Connect(control);

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
    std::vector<QRadioButton*> buttons;
    if (const QButtonGroup* group = GroupOf(firstId)) {
        for (QAbstractButton* button : group->buttons())
            buttons.push_back(static_cast<QRadioButton*>(button));
    }
    return buttons;
}

void DialogWindow::CheckRadio(int firstId, int index)
{
    QButtonGroup* group = GroupOf(firstId);
    if (group == nullptr)
        return;
    // An exclusive group never lets its checked button go; clearing the
    // group needs exclusivity off for a moment.
    group->setExclusive(false);
    const QList<QAbstractButton*> buttons = group->buttons();
    for (qsizetype button = 0; button < buttons.size(); ++button)
        buttons[button]->setChecked(button == index);
    group->setExclusive(true);
    UpdateTabStop(*group);
}

// A template group (from one control with the group flag to the next) holds
// one exclusive group of its radio buttons. The static just before the
// group names it.
void DialogWindow::BuildRadioGroups()
{
    QButtonGroup* current = nullptr;
    const BuiltControl* previous = nullptr;
    for (const BuiltControl& control : m_controls) {
        if ((control.source->flags & CF_GROUP) != 0)
            current = nullptr;
        if (control.source->kind != ControlKind::AutoRadio) {
            previous = &control;
            continue;
        }
        if (current == nullptr) {
            current = new QButtonGroup(this);
            m_radioGroups.push_back(current);
            QButtonGroup* group = current;
            connect(group, &QButtonGroup::buttonToggled, this, [group] { UpdateTabStop(*group); });
            if (previous != nullptr && previous->source->kind == ControlKind::Static)
                group->setProperty(kGroupLabel, QVariant::fromValue(previous->widget));
        }
        current->addButton(static_cast<QRadioButton*>(control.widget));
        control.widget->installEventFilter(this);
        previous = &control;
    }
    for (QButtonGroup* group : m_radioGroups)
        UpdateTabStop(*group);
}

QButtonGroup* DialogWindow::GroupOf(int firstId) const
{
    const auto* first = qobject_cast<const QRadioButton*>(Control(firstId));
    for (QButtonGroup* group : m_radioGroups) {
        if (!group->buttons().isEmpty() && group->buttons().front() == first)
            return group;
    }
    return nullptr;
}

// Tab reaches a group once: at its checked button, or at its first while
// none is checked.
void DialogWindow::UpdateTabStop(QButtonGroup& group)
{
    const QList<QAbstractButton*> buttons = group.buttons();
    QAbstractButton* stop = group.checkedButton() != nullptr ? group.checkedButton() : buttons.front();
    for (QAbstractButton* button : buttons)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

// The arrow keys walk a group round and check the button they reach, as a
// click would.
bool DialogWindow::MoveInGroup(QRadioButton& from, int key)
{
    const QList<QAbstractButton*> buttons = from.group()->buttons();
    const qsizetype count = buttons.size();
    const qsizetype step = key == Qt::Key_Up || key == Qt::Key_Left ? count - 1 : 1;
    QAbstractButton* next = buttons[(buttons.indexOf(&from) + step) % count];
    for (qsizetype tried = 1; tried < count && !next->isEnabled(); ++tried)
        next = buttons[(buttons.indexOf(next) + step) % count];
    if (!next->isEnabled() || next == &from)
        return true;
    next->setFocus(Qt::OtherFocusReason);
    next->click();
    return true;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* radio = qobject_cast<QRadioButton*>(watched);
    const bool arrow = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_Left
                       || key->key() == Qt::Key_Right;
    if (radio == nullptr || radio->group() == nullptr || !arrow
        || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QDialog::eventFilter(watched, event);
    return MoveInGroup(*radio, key->key());
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
        if (control.source->kind != ControlKind::Edit)
            continue;
        // Losing the focus, the edit may also have the input method commit its pre-edit text.
        static_cast<EditBox*>(control.widget)->SetFocusLostHandler(nullptr);
        static_cast<EditBox*>(control.widget)->SetCompositionHandler(nullptr);
    }
}

void DialogWindow::Connect(const BuiltControl& control)
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
        connect(static_cast<QRadioButton*>(control.widget), &QRadioButton::clicked, this,
                [this, id] { Notify(id, BN_CLICKED); });
        break;
    case ControlKind::ListBox:
        connect(static_cast<QListView*>(control.widget), &QListView::doubleClicked, this,
                [this, id] { Notify(id, LBN_DBLCLK); });
        break;
    case ControlKind::Edit: {
        auto* edit = static_cast<EditBox*>(control.widget);
        edit->SetFocusLostHandler([this, id] { Notify(id, EN_KILLFOCUS); });
        edit->SetCompositionHandler([this, id] { Notify(id, EN_COMPOSITION); });
        break;
    }
    default:
        break;
    }
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
const BuiltControl* DialogWindow::DefaultButton() const
{
    const BuiltControl* firstDefault = nullptr;
    for (const BuiltControl& control : m_controls) {
        if (IsPushButton(*control.source) && control.source->id == IDOK)
            return &control;
        if (firstDefault == nullptr && control.source->kind == ControlKind::DefPushButton)
            firstDefault = &control;
    }
    return firstDefault;
}

int DialogWindow::DefaultButtonId() const
{
    const BuiltControl* button = DefaultButton();
    return button != nullptr && button->widget->isEnabled() ? button->source->id : IDC_STATIC;
}

void DialogWindow::Notify(int id, int code)
{
    m_dialog.Dispatch(id, code);
}
