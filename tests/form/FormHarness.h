#pragma once

#include "AboutDlg.h"
#include "AddressBookDlg.h"
#include "MessageBox.h"
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
    const char* address2 = "";
    int year = 1980, month = 4, day = 1, bloodType = 0;
    const char* email = "";
    const char* zip1 = "";
    const char* zip2 = "";
    int sex = 0;
    std::vector<std::string> phones = std::vector<std::string>(12, "*");  // UTF-8
    [[nodiscard]] std::string Line() const;
};

// The main dialog with the system-command entry the window menu uses.
class TestableDialog : public CAddressBookDlg {
public:
    TestableDialog() : CAddressBookDlg([](CDialog& owner) { CAboutDlg(&owner).DoModal(); }) {}
    using CAddressBookDlg::OnSysCommand;
};

// The main dialog on a data file of given bytes, in a fresh working
// directory, with today fixed at 5 December 2026 and messages captured.
class FormHarness {
public:
    explicit FormHarness(const std::string& fileBytes, bool createFile = true);

    TestableDialog& Dialog() { return *m_dialog; }
    [[nodiscard]] QStringList Messages() const { return {m_capture.Messages().begin(), m_capture.Messages().end()}; }
    void ClearMessages() { m_capture.Clear(); }
    [[nodiscard]] std::string FileBytes() const { return ReadFileBytes("AddressTable.csv"); }

    // Controls as a user sees them (UTF-8 for comparisons).
    [[nodiscard]] QString Text(int id) const;
    void Type(int id, const QString& text);      // clears, then types key by key
    void SetText(int id, const QString& text);   // as if shown by the program
    void Click(int id);
    [[nodiscard]] bool IsEnabled(int id) const;
    [[nodiscard]] QStringList ListItems() const;
    void DoubleClickItem(const QString& name);
    [[nodiscard]] int FocusId() const;  // id of the focused control, 0 for none
    [[nodiscard]] QStringList PhoneTexts() const { return {Text(1032), Text(1034), Text(1036)}; }

private:
    TempWorkDir m_dir;
    MessageBoxCapture m_capture;
    std::unique_ptr<TestableDialog> m_dialog;
};
