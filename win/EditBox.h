#pragma once

#include <QLineEdit>

#include <functional>

// A single-line edit that refuses, as a whole, any change by the user
// (typing, pasting, an input method's text) that would take it past its
// limit in Shift_JIS bytes, or that brings in a character Shift_JIS cannot
// hold or an ASCII comma. Text set by the program is taken as it is.
class EditBox final : public QLineEdit {
public:
    explicit EditBox(QWidget* parent);

    // 0 means no limit.
    void SetByteLimit(int bytes) noexcept;
    void SetProgramText(const QString& text);
    void SetFocusLostHandler(std::function<void()> handler) { m_onFocusLost = std::move(handler); }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Guard;
    Guard* m_guard;  // owned by this widget
    std::function<void()> m_onFocusLost;
};

// Whether the user may change the text from `before` to `after` in an edit
// limited to `byteLimit` Shift_JIS bytes (0: no limit).
[[nodiscard]] bool IsAllowedEdit(const QString& before, const QString& after, int byteLimit);
