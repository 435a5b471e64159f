#pragma once

#include "AddressRecord.h"
#include "AddressTable.h"
#include "Age.h"
#include "Controls.h"
#include "Dialog.h"
#include "RecordSchema.h"

#include <QIcon>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class PostalFill;

inline constexpr int PHONEKIND_NONE = -1;

// Appends the About item (and a separator before it) to the window menu;
// nothing at all when the text is empty.
void AppendAboutItem(CSystemMenu& menu, const char* text);

// Runs the About box over its owner; the application supplies it.
using AboutBoxRunner = std::function<void(CDialog& owner)>;

// The main window: the form values of one person, their exchange with the
// controls, and the commands of the address book.
class CAddressBookDlg : public CDialog {
public:
    explicit CAddressBookDlg(AboutBoxRunner runAboutBox = {});
    ~CAddressBookDlg() override;

    // Where UpdateAge takes today's date from (the local clock by default).
    void SetClock(std::function<CalendarDate()> today) { m_today = std::move(today); }

protected:
    bool OnInitDialog() override;
    void OnNotify(int id, int code) override;
    void OnOK() override;
    void OnSysCommand(unsigned command) override;

private:
    // The field table (FormFields.cpp) points at the form values.
    friend struct FormFields;

    enum class Direction { ToControls, FromControls };
    // Which phone parts make a number worth keeping: the switch keeps only
    // a whole number, Register any part of one.
    enum class NumberRule { AllParts, AnyPart };

    // Moves every form value to or from its control; false when a check of
    // what the user typed failed (its message has been shown).
    bool ExchangeFormValues(Direction direction);
    void ShowFormValues() { (void)ExchangeFormValues(Direction::ToControls); }
    [[nodiscard]] bool ReadFormValues() { return ExchangeFormValues(Direction::FromControls); }

    bool InitializeForm();
    void FillNameList(int code);
    void ShowRecord(const AddressRecord& record);
    void SwitchPhoneKind();
    void ShowSelectedPerson();
    void RegisterPerson();
    void NewPerson();
    void DeletePerson();
    void UpdateAge();
    void ShowAbout();
    void ExportVcard();
    void ImportVcard();
    void PrintPostcards();
    void FillReadingFromName();

    void BindControls();
    void SetUpControls();
    // Scans the file for the first person with exactly that name; false
    // when there is none or the scan stopped (LastScan says which).
    [[nodiscard]] bool ScanForName(const std::string& name, AddressRecord& found);
    [[nodiscard]] bool RecordFitsFile();
    void BuildRecordFromForm();
    void ResetFormValues();
    void StorePhoneNumber(int kind, NumberRule rule);
    void LoadPhoneNumber(int kind);
    void ShowFirstPhoneKind();
    void EnablePhoneEdits(bool enable);
    void AddNameToList(const AddressRecord& record, KanaRow kanaRow);
    void ShowMessage(const QString& text);

    // Control members.
    CEdit m_nameEdit;
    CEdit m_readingEdit;
    CEdit m_phone3Edit;
    CEdit m_phone2Edit;
    CEdit m_phone1Edit;
    CListBox m_nameList;

    // Form values (Shift_JIS bytes).
    int m_sex = COLUMNS[COL_SEX].startValue;
    int m_bloodType = COLUMNS[COL_BLOOD_TYPE].startValue;
    std::string m_name;
    std::string m_reading;
    std::string m_listSelection;
    int m_phoneKind = PHONEKIND_NONE;
    std::uint32_t m_birthDay = DEFAULT_BIRTH_DAY;
    std::uint32_t m_birthMonth = DEFAULT_BIRTH_MONTH;
    std::uint32_t m_birthYear = DEFAULT_BIRTH_YEAR;
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
    KanaRow m_listedRow = KANAROW_ALL;  // the row the name list shows

    // The reading filled from the name's input: the kana the input method
    // last showed for the name, and the reading as the fill left it.
    std::string m_nameKana;
    std::string m_filledReading;
    // The postal code and address line 1 filling each other in.
    std::unique_ptr<PostalFill> m_postalFill;

    bool m_controlsBound = false;
    std::function<CalendarDate()> m_today;
    AboutBoxRunner m_runAboutBox;
};
