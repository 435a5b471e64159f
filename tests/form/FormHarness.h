#pragma once

#include "AboutDlg.h"
#include "AddressBookDlg.h"
#include "MessageBox.h"
#include "Resources.h"
#include "TestFiles.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Readable failure output for Qt text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// Shift_JIS bytes of UTF-8 test text.
std::string Sjis(const char* utf8);

// Twelve phone parts, all "*" but the three of one kind.
std::vector<std::string> Phones(int kind, const char* a, const char* b, const char* c);

// One person as a data line of the file (Shift_JIS, CR LF).
struct Person {
    int code = 0;
    const char* reading = "あいだ";
    const char* name = "相田";
    const char* address1 = "";
    std::vector<std::string> phones = std::vector<std::string>(12, "*");  // UTF-8
    [[nodiscard]] std::string Line() const;
};

// The main dialog with the system-command entry the window menu uses, and
// the real About box.
class TestableDialog : public CAddressBookDlg {
public:
    TestableDialog() : CAddressBookDlg([](CDialog& owner) { CAboutDlg(&owner).DoModal(); }) {}
    using CAddressBookDlg::OnSysCommand;
};

// The main dialog on a data file of given bytes, in a fresh working
// directory, with today fixed at 5 December 2026 and messages captured.
// Controls are driven and read as a user does.
class FormHarness {
public:
    explicit FormHarness(const std::string& fileBytes, bool createFile = true);

    TestableDialog& Dialog() { return *m_dialog; }
    [[nodiscard]] QStringList Messages() const { return {m_capture.Messages().begin(), m_capture.Messages().end()}; }
    void ClearMessages() { m_capture.Clear(); }
    [[nodiscard]] std::string FileBytes() const { return ReadFileBytes(ADDRESS_TABLE_FILE); }

    [[nodiscard]] QString Text(int id) const;
    void Type(int id, const QString& text);      // clears, then types key by key
    void SetText(int id, const QString& text);   // as if shown by the program
    void Click(int id);
    void NewPerson(const QString& name, const QString& reading);  // 新規, then name and reading
    [[nodiscard]] bool IsEnabled(int id) const;
    [[nodiscard]] QStringList ListItems() const;
    [[nodiscard]] QString SelectedItem() const;
    void DoubleClickItem(const QString& name);
    [[nodiscard]] int FocusId() const;  // id of the focused control, 0 for none
    [[nodiscard]] QStringList PhoneTexts() const { return {Text(IDC_PHONE1), Text(IDC_PHONE2), Text(IDC_PHONE3)}; }

private:
    TempWorkDir m_dir;
    MessageBoxCapture m_capture;
    std::unique_ptr<TestableDialog> m_dialog;
};
