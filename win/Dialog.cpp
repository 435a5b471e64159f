#include "Dialog.h"

#include "DialogWindow.h"
#include "EditBox.h"

#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

void CSystemMenu::AppendSeparator()
{
    if (m_menu != nullptr)
        m_menu->addSeparator();
}

void CSystemMenu::AppendItem(unsigned id, const QString& text)
{
    if (m_menu != nullptr)
        m_menu->addAction(text)->setData(id);
}

CDialog::CDialog(const DialogTemplate& dialogTemplate, CDialog* owner) : m_template(dialogTemplate), m_owner(owner) {}

CDialog::~CDialog() = default;

int CDialog::DoModal()
{
    if (!m_window)
        CreateWindow();
    if (!m_window->Finished()) {
        m_window->PlaceCentred();
        m_window->exec();
    }
    const int result = m_window->result();
    // The window is gone once its run is over; the object may run again.
    m_systemMenu.m_menu = nullptr;
    m_window.reset();
    return result;
}

void CDialog::Create()
{
    if (!m_window)
        CreateWindow();
    if (m_window->Finished())
        return;
    m_window->PlaceCentred();
    m_window->show();
}

void CDialog::CreateWindow()
{
    QWidget* parent = m_owner != nullptr ? m_owner->Window() : nullptr;
    m_window = std::make_unique<DialogWindow>(*this, m_template, parent);
    m_systemMenu.m_menu = m_window->SystemMenu();
    if (OnInitDialog()) {
        if (QWidget* first = m_window->FirstTabStop())
            first->setFocus(Qt::TabFocusReason);
    }
}

void CDialog::EndDialog(int result)
{
    if (m_window)
        m_window->Finish(result);
}

QDialog* CDialog::Window() const noexcept
{
    return m_window.get();
}

QWidget* CDialog::GetDlgItem(int id) const
{
    return m_window ? m_window->Control(id) : nullptr;
}

int CDialog::GetCheckedRadio(int firstId) const
{
    if (!m_window)
        return -1;
    const std::vector<QRadioButton*> group = m_window->RadioGroup(firstId);
    for (size_t index = 0; index < group.size(); ++index) {
        if (group[index]->isChecked())
            return static_cast<int>(index);
    }
    return -1;
}

void CDialog::SetCheckedRadio(int firstId, int index)
{
    if (m_window)
        m_window->CheckRadio(firstId, index);
}

void CDialog::GotoDlgCtrl(int id)
{
    QWidget* control = GetDlgItem(id);
    if (control == nullptr)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}

void CDialog::SendNotify(int id, int code)
{
    Dispatch(id, code);
}

CSystemMenu& CDialog::GetSystemMenu()
{
    return m_systemMenu;
}

void CDialog::SetIcon(const QIcon& icon)
{
    if (m_window)
        m_window->setWindowIcon(icon);
}

void CDialog::BlockNotifications(bool block) noexcept
{
    m_blockCount += block ? 1 : -1;
}

void CDialog::OnNotify(int id, int code)
{
    if (code != BN_CLICKED)
        return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void CDialog::OnSysCommand(unsigned command)
{
    if ((command & 0xFFF0u) == SC_CLOSE)
        SendNotify(IDCANCEL, BN_CLICKED);
}

void CDialog::Dispatch(int id, int code)
{
    // Nothing reaches a dialog that is ending or whose notifications are
    // blocked.
    if (NotificationsBlocked() || !m_window || m_window->Finished())
        return;
    OnNotify(id, code);
}
