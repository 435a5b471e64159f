#include "SpinButton.h"

#include "EditBox.h"

#include <QKeyEvent>
#include <QToolButton>

#include <algorithm>
#include <charconv>
#include <optional>

namespace {

// An arrow shows no text, so a screen reader needs its name.
QToolButton* MakeArrow(Qt::ArrowType arrow, const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAccessibleName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    return button;
}

// A whole decimal number, optionally signed, with blanks around it; nothing
// else.
std::optional<long long> ReadNumber(const QString& text)
{
    const std::string digits = text.trimmed().toStdString();
    if (digits.empty())
        return std::nullopt;
    const char* first = digits.data();
    const char* last = first + digits.size();
    if (*first == '+')
        ++first;
    long long value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

}  // namespace

SpinButton::SpinButton(QWidget* parent)
    : QWidget(parent), m_up(MakeArrow(Qt::UpArrow, QStringLiteral("増やす"), this)),
      m_down(MakeArrow(Qt::DownArrow, QStringLiteral("減らす"), this))
{
    setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
    // A click hands the keyboard focus to the buddy, so that leaving the
    // buddy afterwards is noticed (the age follows the date that way).
    for (QToolButton* arrow : {m_up, m_down}) {
        connect(arrow, &QToolButton::pressed, this, [this] {
            if (m_buddy && m_buddy->isEnabled())
                m_buddy->setFocus(Qt::MouseFocusReason);
        });
    }
}

void SpinButton::SetRange(int lower, int upper) noexcept
{
    m_lower = lower;
    m_upper = upper;
}

void SpinButton::SetBuddy(EditBox* buddy)
{
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void SpinButton::Step(int delta)
{
    if (!m_buddy || !m_buddy->isEnabled())
        return;
    const long long bottom = std::min(m_lower, m_upper);
    const long long top = std::max(m_lower, m_upper);
    // A range given top first steps the other way.
    const long long direction = m_lower <= m_upper ? delta : -delta;
    // Text that holds no number: the step lands on the bottom of the range.
    const std::optional<long long> current = ReadNumber(m_buddy->text());
    const long long next = current ? std::clamp(*current + direction, bottom, top) : bottom;
    const std::string text = std::to_string(next);
    if (QString::fromStdString(text) != m_buddy->text())
        m_buddy->SetProgramBytes(text);
}

bool SpinButton::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: the buddy may be half destroyed when other events
    // arrive, and comparing with it would cast a dying object.
    if (event->type() != QEvent::KeyPress || watched != m_buddy)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    if (key->key() == Qt::Key_Up) {
        Step(+1);
        return true;
    }
    if (key->key() == Qt::Key_Down) {
        Step(-1);
        return true;
    }
    return false;
}

void SpinButton::resizeEvent(QResizeEvent* /*event*/)
{
    const int upperHalf = height() / 2;
    m_up->setGeometry(0, 0, width(), upperHalf);
    m_down->setGeometry(0, upperHalf, width(), height() - upperHalf);
}
