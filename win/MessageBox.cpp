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
    QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok, owner);
    box.setWindowIcon(QGuiApplication::windowIcon());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
