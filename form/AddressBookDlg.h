#pragma once

#include "AddressRecord.h"
#include "Age.h"
#include "AddressTable.h"
#include "Controls.h"
#include "Dialog.h"

#include <QIcon>

#include <cstdint>
#include <functional>
#include <string>

inline constexpr int PHONEKIND_NONE = -1;


// The main window: the form values of one person, their exchange with the
// controls, and the commands of the address book.
// Appends the About item (and a separator before it) to the window menu;
// nothing at all when the text is empty.
void AppendAboutItem(CSystemMenu& menu, const char* text);

// Runs the About box over its owner; the application supplies it.
using AboutBoxRunner = std::function<void(CDialog& owner)>;

class CAddressBookDlg : public CDialog {
public:
    explicit CAddressBookDlg(AboutBoxRunner runAboutBox = {});
    ~CAddressBookDlg() override;

    // Where UpdateAge takes today's date from (the local clock by default).
    void SetClock(std::function<CalendarDate()> today) { m_today = std::move(today); }

    // Control members.
    CEdit m_nameEdit;
    CEdit m_phone3Edit;
    CEdit m_phone2Edit;
    CEdit m_phone1Edit;
    CListBox m_nameList;
    CEdit m_dayEdit;
    CEdit m_monthEdit;
    CEdit m_yearEdit;
    CSpinButtonCtrl m_daySpin;
    CSpinButtonCtrl m_monthSpin;
    CSpinButtonCtrl m_yearSpin;

    // Form values (Shift_JIS bytes).
    int m_sex = 0;
    int m_bloodType = -1;
    std::string m_name;
    std::string m_reading;
    std::string m_listSelection;
    int m_phoneKind = PHONEKIND_NONE;
    std::uint32_t m_birthDay = 1;
    std::uint32_t m_birthMonth = 1;
    std::uint32_t m_birthYear = 1970;
    std::string m_email;
    std::string m_zip1;
    std::string m_zip2;
    std::string m_phone1;
    std::string m_phone2;
    std::string m_phone3;
    std::uint32_t m_age = 0;
    std::string m_address1;
    std::string m_address2;

    QIcon m_hIcon;
    AddressRecord m_record{};
    int m_shownPhoneKind = PHONEKIND_NONE;
    CAddressTable m_table;

    enum class Direction { ToControls, FromControls };
    // Moves every form value to or from its control; false when a check of
    // what the user typed failed (its message has been shown).
    bool ExchangeFormValues(Direction direction);

    void FillNameList(int code);
    void ShowRecord(const AddressRecord& record);
    void SwitchPhoneKind();
    void ShowSelectedPerson();
    void RegisterPerson();
    void NewPerson();
    void DeletePerson();
    void UpdateAge();
    void ShowAbout();

protected:
    bool OnInitDialog() override;
    void OnNotify(int id, int code) override;
    void OnOK() override;
    void OnSysCommand(unsigned command) override;

private:
    bool InitializeForm();
    void BindControls();
    void ShowFormValues() { (void)ExchangeFormValues(Direction::ToControls); }
    [[nodiscard]] bool ReadFormValues() { return ExchangeFormValues(Direction::FromControls); }
    [[nodiscard]] bool FindPerson(const std::string& name, AddressRecord& found);
    [[nodiscard]] bool NameIsRegistered(const std::string& name, bool& registered);
    [[nodiscard]] bool RecordFitsFile();
    void BuildRecordFromForm();
    void ShowFirstPhoneKind();
    void AddAboutMenuItem();
    void EnablePhoneEdits(bool enable);
    void AddNameToList(const AddressRecord& record);
    void ShowMessage(const QString& text);
    bool m_controlsBound = false;
    std::function<CalendarDate()> m_today;
    AboutBoxRunner m_runAboutBox;
};
