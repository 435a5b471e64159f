#include "Controls.h"

#include "Dialog.h"
#include "EditBox.h"
#include "ListBoxModel.h"
#include "SjisText.h"
#include "SpinButton.h"
#include "WinDefs.h"

#include <QListView>

// CEdit

void CEdit::Attach(CDialog& dialog, int id)
{
    m_edit = dynamic_cast<EditBox*>(dialog.GetDlgItem(id));
}

void CEdit::SetWindowText(std::string_view sjisText)
{
    if (auto* box = static_cast<EditBox*>(m_edit))
        box->SetProgramBytes(sjisText);
}

std::optional<std::string> CEdit::GetWindowText() const
{
    if (m_edit == nullptr)
        return std::string();
    return static_cast<const EditBox*>(m_edit)->Bytes();
}

void CEdit::SetLimitText(int bytes)
{
    if (auto* box = static_cast<EditBox*>(m_edit))
        box->SetByteLimit(bytes);
}

void CEdit::SetLatinInput()
{
    if (auto* box = static_cast<EditBox*>(m_edit))
        box->SetLatinInput();
}

void CEdit::EnableWindow(bool enable)
{
    if (m_edit != nullptr)
        m_edit->setEnabled(enable);
}

void CEdit::SetFocus()
{
    if (m_edit != nullptr)
        m_edit->setFocus(Qt::OtherFocusReason);
}

CEdit::Composition CEdit::GetComposition() const
{
    if (m_edit == nullptr)
        return {};
    const EditBox::Composition& typed = static_cast<const EditBox*>(m_edit)->LastComposition();
    const auto bytes = [](const QString& text) { return sjis::FromQString(text).value_or(std::string()); };
    return {bytes(typed.preedit), bytes(typed.committed), bytes(typed.preceding)};
}

// CListBox

void CListBox::Attach(CDialog& dialog, int id)
{
    m_view = qobject_cast<QListView*>(dialog.GetDlgItem(id));
    m_model = m_view != nullptr ? dynamic_cast<ListBoxModel*>(m_view->model()) : nullptr;
}

void CListBox::AddString(std::string_view sjisText, std::string_view sjisSortKey, int group)
{
    if (m_model != nullptr)
        m_model->Add(sjisText, sjisSortKey, group);
}

int CListBox::DeleteString(int index)
{
    if (m_model == nullptr || !m_model->Remove(index))
        return LB_ERR;
    return m_model->Count();
}

int CListBox::GetCount() const
{
    return m_model != nullptr ? m_model->Count() : 0;
}

int CListBox::GetCurSel() const
{
    return m_model != nullptr ? m_model->Selected() : -1;
}

void CListBox::SetCurSel(int index)
{
    if (m_model != nullptr)
        m_model->Select(index);
}

std::string CListBox::GetText(int index) const
{
    if (m_model == nullptr)
        return {};
    const std::optional<std::string_view> bytes = m_model->Bytes(index);
    return bytes ? std::string(*bytes) : std::string();
}

int CListBox::SelectString(std::string_view sjisPrefix)
{
    return SelectRow(m_model != nullptr ? m_model->FindPrefix(sjisPrefix) : -1);
}

int CListBox::SelectStringExact(std::string_view sjisText)
{
    return SelectRow(m_model != nullptr ? m_model->FindExact(sjisText) : -1);
}

int CListBox::SelectRow(int row)
{
    if (row < 0)
        return LB_ERR;
    SetCurSel(row);
    return row;
}

// CSpinButtonCtrl

void CSpinButtonCtrl::Attach(CDialog& dialog, int id)
{
    m_spin = dynamic_cast<SpinButton*>(dialog.GetDlgItem(id));
}

void CSpinButtonCtrl::SetRange(int lower, int upper)
{
    if (m_spin != nullptr)
        m_spin->SetRange(lower, upper);
}

void CSpinButtonCtrl::SetBuddy(CEdit& buddy)
{
    if (m_spin != nullptr)
        m_spin->SetBuddy(dynamic_cast<EditBox*>(buddy.Widget()));
}
