#include "MessageBox.h"

#include "Resources.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// The innermost living capture; each one remembers the one it hides.
MessageBoxCapture* g_capture = nullptr;

QString ApplicationTitle()
{
    if (const char* title = FindString(IDS_APP_TITLE); title != nullptr && *title != '\0')
        return QString::fromUtf8(title);
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

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
    QMessageBox box(QMessageBox::Warning, ApplicationTitle(), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
