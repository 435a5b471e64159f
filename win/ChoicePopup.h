#pragma once

#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class CEdit;
class QCompleter;

// A drop-down list of choices under an edit (Qt's completer popup): Enter
// or a click takes one, Escape or a click elsewhere none. Text crosses it
// as Shift_JIS bytes.
class CChoicePopup {
public:
    using Chosen = std::function<void(const std::string& sjisChoice)>;

    CChoicePopup() = default;
    ~CChoicePopup() { Hide(); }  // no choice reaches an owner that is gone
    CChoicePopup(const CChoicePopup&) = delete;
    CChoicePopup& operator=(const CChoicePopup&) = delete;

    void Show(const CEdit& edit, const std::vector<std::string>& sjisChoices, Chosen chosen);
    void Hide();
    [[nodiscard]] bool IsVisible() const;

private:
    QPointer<QCompleter> m_completer;  // owned by the edit
};
