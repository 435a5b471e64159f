#include "MessageBox.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace {

// The innermost living capture; each one remembers the one it hides.
MessageBoxCapture* g_capture = nullptr;

}  // namespace

MessageBoxCapture::MessageBoxCapture() : m_previous(g_capture)
{
    g_capture = this;
}

MessageBoxCapture::~MessageBoxCapture()
{
    g_capture = m_previous;
}

void ShowMessageBox(const QString& text, QWidget* owner)
{
    if (g_capture != nullptr) {
        g_capture->m_messages.push_back(text);
        return;
    }
    // A box shown while its owner is not on screen yet (during start-up)
    // would be placed over the owner's unplaced corner: centre it on the
    // screen instead.
    QWidget* parent = owner != nullptr && owner->isVisible() ? owner : nullptr;
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
