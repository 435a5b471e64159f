#pragma once

#include <QLineEdit>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// A single-line edit that refuses, as a whole, any change by the user
// (typing, pasting, an input method's text) that would take it past its
// limit in Shift_JIS bytes, or that brings in a character Shift_JIS cannot
// hold or an ASCII comma. Text set by the program is taken as it is, and
// while it stands unchanged the edit gives back the very bytes it came from.
class EditBox final : public QLineEdit {
public:
    explicit EditBox(QWidget* parent);

    // 0 means no limit.
    void SetByteLimit(int bytes) noexcept;
    // For numbers and addresses in Latin letters: asks the input method for
    // Latin input, and full-width digits typed anyway become ASCII digits.
    void SetLatinInput();
    // Shows Shift_JIS bytes as text.
    void SetProgramBytes(std::string_view bytes);
    // The text as Shift_JIS bytes: the bytes the program set while the text
    // is still what they show (code page 932 holds some characters twice,
    // and undecodable bytes stay as they were), else the text encoded;
    // nullopt when it holds a character Shift_JIS cannot hold.
    [[nodiscard]] std::optional<std::string> Bytes() const;
    void SetFocusLostHandler(std::function<void()> handler) { m_onFocusLost = std::move(handler); }

    // What the last input-method event did to the edit.
    struct Composition {
        QString preedit;    // the pre-edit text shown after it; empty when none
        QString committed;  // the text it put in; empty when none, or when refused
        QString preceding;  // the edit's text in front of the committed text
    };
    [[nodiscard]] const Composition& LastComposition() const noexcept { return m_composition; }
    // Called after each input-method event the edit took.
    void SetCompositionHandler(std::function<void()> handler) { m_onComposition = std::move(handler); }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    class Guard;
    Guard* m_guard;  // owned by this widget
    std::function<void()> m_onFocusLost;
    std::function<void()> m_onComposition;
    Composition m_composition;
    std::string m_programBytes;
    QString m_programText;
};

// Whether the user may change the text from `before` to `after` in an edit
// limited to `byteLimit` Shift_JIS bytes (0: no limit).
[[nodiscard]] bool IsAllowedEdit(const QString& before, const QString& after, int byteLimit);
