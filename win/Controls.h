#pragma once

#include <optional>
#include <string>
#include <string_view>

class CDialog;
class QLineEdit;
class QListView;
class QWidget;
class ListBoxModel;
class SpinButton;

// Thin handles on a dialog's controls, bound by id once the window exists.
// Text crosses them as Shift_JIS bytes.

class CEdit {
public:
    void Attach(CDialog& dialog, int id);

    // Text set by the program may be longer than the limit.
    void SetWindowText(std::string_view sjisText);
    // The bytes last set while the text still shows them, else the text
    // encoded; nullopt when it holds a character Shift_JIS cannot hold (for
    // instance U+FFFD that the user typed).
    [[nodiscard]] std::optional<std::string> GetWindowText() const;
    // Typing (or pasting, or an input method) beyond this many Shift_JIS
    // bytes is refused; 0 means no limit.
    void SetLimitText(int bytes);
    // Latin input for numbers and e-mail: full-width digits become ASCII.
    void SetLatinInput();
    void EnableWindow(bool enable);
    void SetFocus();

    // What the edit's last input-method event did (EN_COMPOSITION), as
    // Shift_JIS bytes; a text Shift_JIS cannot hold comes back empty.
    struct Composition {
        std::string preedit;    // the pre-edit text shown after it
        std::string committed;  // the text it put in (not when the edit refused it)
        std::string preceding;  // the edit's text in front of the committed text
    };
    [[nodiscard]] Composition GetComposition() const;

    [[nodiscard]] QLineEdit* Widget() const noexcept { return m_edit; }

private:
    QLineEdit* m_edit = nullptr;
};

class CListBox {
public:
    void Attach(CDialog& dialog, int id);

    // Inserts at the list's sorted place (ordered by group, then by sortKey
    // with a Japanese collation, then by the text itself; equal items all
    // kept). The item gives back exactly these bytes.
    void AddString(std::string_view sjisText, std::string_view sjisSortKey = {}, int group = 0);
    // Deletes the item at index; the remaining count, or LB_ERR (-1) when
    // there was no such item.
    int DeleteString(int index);
    [[nodiscard]] int GetCount() const;
    [[nodiscard]] int GetCurSel() const;  // -1 for none
    void SetCurSel(int index);            // -1 clears
    [[nodiscard]] std::string GetText(int index) const;
    // Selects the first item, searching from the top, that begins with the
    // prefix, ignoring the case of ASCII letters; its index, or LB_ERR with
    // the selection unchanged.
    int SelectString(std::string_view sjisPrefix);
    // Selects the first item that is exactly the text; its index, or LB_ERR
    // with the selection unchanged.
    int SelectStringExact(std::string_view sjisText);

    [[nodiscard]] QListView* Widget() const noexcept { return m_view; }

private:
    // Selects a found row; LB_ERR for none (-1).
    int SelectRow(int row);

    QListView* m_view = nullptr;
    ListBoxModel* m_model = nullptr;
};

class CSpinButtonCtrl {
public:
    void Attach(CDialog& dialog, int id);
    void SetRange(int lower, int upper);
    void SetBuddy(CEdit& buddy);

private:
    SpinButton* m_spin = nullptr;
};
