#pragma once

#include <QPointer>
#include <QWidget>

class EditBox;
class QToolButton;

// An up-down control: two arrow buttons that step the number in a buddy
// edit within a range and write it back in plain decimal. The Up and Down
// keys do the same while the buddy has the focus. It keeps no position of
// its own: each step starts from the buddy's text.
class SpinButton final : public QWidget {
public:
    explicit SpinButton(QWidget* parent);

    void SetRange(int lower, int upper) noexcept;
    void SetBuddy(EditBox* buddy);
    // +1 steps up, -1 down.
    void Step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    QPointer<EditBox> m_buddy;
    int m_lower = 0;
    int m_upper = 100;
};
