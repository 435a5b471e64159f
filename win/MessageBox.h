#pragma once

#include <QString>

#include <vector>

class QWidget;

// Shows a modal message box: one OK button, the exclamation icon, the
// application's display name as caption. Returns when it is dismissed.
void ShowMessageBox(const QString& text, QWidget* owner = nullptr);

// While one of these lives, message boxes are recorded instead of shown
// (the tests' seam).
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    [[nodiscard]] const std::vector<QString>& Messages() const noexcept { return m_messages; }
    void Clear() noexcept { m_messages.clear(); }

private:
    friend void ShowMessageBox(const QString&, QWidget*);
    std::vector<QString> m_messages;
    MessageBoxCapture* m_previous;
};
