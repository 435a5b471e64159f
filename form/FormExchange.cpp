// The exchange between the form values and the controls: one table, walked
// top to bottom in both directions.
#include "AddressBookDlg.h"
#include "FormMessages.h"
#include "NumberText.h"
#include "Resources.h"
#include "SjisText.h"

#include "MessageBox.h"

#include <QDialog>

#include <array>
#include <variant>

namespace {

using Dlg = CAddressBookDlg;
using IntMember = int Dlg::*;
using TextMember = std::string Dlg::*;
using NumberMember = std::uint32_t Dlg::*;

enum class Kind { RadioGroup, Text, ListSelection, Number };

struct ExchangeRow {
    int controlId;
    const char* label;  // names the field in messages
    Kind kind;
    std::variant<IntMember, TextMember, NumberMember> member;
    int maxBytes = 0;                       // Text: 0 for no limit
    bool ranged = false;                    // Number: range check
    std::uint32_t lower = 0, upper = 0;
};

const std::array<ExchangeRow, 18> kExchangeTable{{
    {1023, "性別", Kind::RadioGroup, &Dlg::m_sex},
    {1025, "血液型", Kind::RadioGroup, &Dlg::m_bloodType},
    {1021, "名前", Kind::Text, &Dlg::m_name, 32},
    {1022, "ふりがな", Kind::Text, &Dlg::m_reading, 32},
    {1007, "名前の一覧", Kind::ListSelection, &Dlg::m_listSelection},
    {1037, "電話番号の種類", Kind::RadioGroup, &Dlg::m_phoneKind},
    {1049, "日", Kind::Number, &Dlg::m_birthDay, 0, true, 1, 31},
    {1048, "月", Kind::Number, &Dlg::m_birthMonth},
    {1047, "年", Kind::Number, &Dlg::m_birthYear, 0, true, 1900, 2099},
    {1046, "ｅ－ｍａｉｌ", Kind::Text, &Dlg::m_email},
    {1044, "郵便番号", Kind::Text, &Dlg::m_zip1, 3},
    {1045, "郵便番号", Kind::Text, &Dlg::m_zip2, 4},
    {1032, "電話番号", Kind::Text, &Dlg::m_phone1, 5},
    {1034, "電話番号", Kind::Text, &Dlg::m_phone2, 4},
    {1036, "電話番号", Kind::Text, &Dlg::m_phone3, 4},
    {1052, "歳", Kind::Number, &Dlg::m_age, 0, true, 0, 199},
    {1027, "住所", Kind::Text, &Dlg::m_address1},
    {1028, "住所", Kind::Text, &Dlg::m_address2},
}};

QString StringResource(int id)
{
    return QString::fromUtf8(FindString(id));
}

// Moves one row's value; false when a check failed (message shown).
class RowExchanger {
public:
    RowExchanger(Dlg& dialog, const ExchangeRow& row) : m_dialog(dialog), m_row(row) {}

    void ToControl() const
    {
        switch (m_row.kind) {
        case Kind::RadioGroup:
            m_dialog.SetCheckedRadio(m_row.controlId, m_dialog.*std::get<IntMember>(m_row.member));
            return;
        case Kind::Text: {
            CEdit edit = Edit();
            edit.SetWindowText(m_dialog.*std::get<TextMember>(m_row.member));
            if (m_row.maxBytes > 0)
                edit.SetLimitText(m_row.maxBytes);
            return;
        }
        case Kind::ListSelection:
            m_dialog.m_nameList.SelectString(m_dialog.*std::get<TextMember>(m_row.member));
            return;
        case Kind::Number:
            Edit().SetWindowText(std::to_string(m_dialog.*std::get<NumberMember>(m_row.member)));
            return;
        }
    }

    [[nodiscard]] bool FromControl() const
    {
        switch (m_row.kind) {
        case Kind::RadioGroup:
            m_dialog.*std::get<IntMember>(m_row.member) = m_dialog.GetCheckedRadio(m_row.controlId);
            return true;
        case Kind::Text:
            return TextFromControl();
        case Kind::ListSelection: {
            const int selected = m_dialog.m_nameList.GetCurSel();
            m_dialog.*std::get<TextMember>(m_row.member) =
                selected < 0 ? std::string() : m_dialog.m_nameList.GetText(selected);
            return true;
        }
        case Kind::Number:
            return NumberFromControl();
        }
        return true;
    }

private:
    [[nodiscard]] CEdit Edit() const
    {
        CEdit edit;
        edit.Attach(m_dialog, m_row.controlId);
        return edit;
    }

    [[nodiscard]] bool TextFromControl() const
    {
        const std::optional<std::string> text = Edit().GetWindowText();
        if (!text)
            return Fail(msg::NotStorable(QString::fromUtf8(m_row.label)));
        std::string& member = m_dialog.*std::get<TextMember>(m_row.member);
        member = *text;
        if (m_row.maxBytes > 0 && member.size() > static_cast<std::size_t>(m_row.maxBytes))
            return Fail(StringResource(IDS_PARSE_TEXT_LENGTH).arg(m_row.maxBytes));
        return true;
    }

    [[nodiscard]] bool NumberFromControl() const
    {
        const std::optional<std::string> text = Edit().GetWindowText();
        const std::optional<std::uint32_t> value = text ? ParseUnsignedField(*text) : std::nullopt;
        if (!value)
            return Fail(StringResource(IDS_PARSE_UINT));
        std::uint32_t& member = m_dialog.*std::get<NumberMember>(m_row.member);
        member = *value;
        if (m_row.ranged && (member < m_row.lower || member > m_row.upper))
            return Fail(StringResource(IDS_PARSE_RANGE).arg(m_row.lower).arg(m_row.upper));
        return true;
    }

    [[nodiscard]] bool Fail(const QString& message) const
    {
        ShowMessageBox(message, m_dialog.Window());
        m_dialog.GotoDlgCtrl(m_row.controlId);
        return false;
    }

    Dlg& m_dialog;
    const ExchangeRow& m_row;
};

}  // namespace

bool CAddressBookDlg::ExchangeFormValues(Direction direction)
{
    // The message boxes and focus moves below must not start handlers.
    const NotificationBlocker blocker(*this);
    try {
        BindControls();
        for (const ExchangeRow& row : kExchangeTable) {
            const RowExchanger exchanger(*this, row);
            if (direction == Direction::ToControls)
                exchanger.ToControl();
            else if (!exchanger.FromControl())
                return false;
        }
        if (direction == Direction::ToControls)
            EnablePhoneEdits(m_phoneKind != PHONEKIND_NONE);
        return true;
    } catch (...) {
        ShowMessageBox(StringResource(IDS_INTERNAL_ERROR), Window());
        return false;
    }
}

void CAddressBookDlg::BindControls()
{
    if (m_controlsBound)
        return;
    m_nameEdit.Attach(*this, 1021);
    m_phone3Edit.Attach(*this, 1036);
    m_phone2Edit.Attach(*this, 1034);
    m_phone1Edit.Attach(*this, 1032);
    m_nameList.Attach(*this, 1007);
    m_dayEdit.Attach(*this, 1049);
    m_monthEdit.Attach(*this, 1048);
    m_yearEdit.Attach(*this, 1047);
    m_daySpin.Attach(*this, 1051);
    m_monthSpin.Attach(*this, 1050);
    m_yearSpin.Attach(*this, 1039);
    m_controlsBound = true;
}
