#pragma once

#include "AboutDlg.h"
#include "AddressBookDlg.h"
#include "MessageBox.h"
#include "Resources.h"
#include "TestFiles.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>

#include <memory>
#include <ostream>
#include <string>

// Readable failure output for Qt text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Shift_JIS bytes of UTF-8 test text.
std::string Sjis(const std::string& utf8);

inline const std::string NO_PHONES = "*,*,*,*,*,*,*,*,*,*,*,*";

// One data line (Shift_JIS, CR LF) from "code,reading,name,first address
// line" and the twelve phone parts, with fixed fields between.
inline std::string Line(const std::string& head, const std::string& phones = NO_PHONES)
{
    return Sjis(head + ",,1980,4,1,0,,,,0," + phones + "\r\n");
}

// 加藤 of the か row, the one person of many a test's file.
inline const std::string KATO = Line("1,かとう,加藤,");

// The main dialog with the system-command entry the window menu uses, and
// the real About box.
class TestableDialog : public CAddressBookDlg {
public:
    TestableDialog() : CAddressBookDlg([](CDialog& owner) { CAboutDlg(&owner).DoModal(); }) {}
    using CAddressBookDlg::OnSysCommand;
};

enum class DataFile { Written, Missing, Folder };

// The main dialog on a data file of given bytes, in a fresh working
// directory, with today fixed at 5 December 2026 and messages captured.
// Controls are driven and read as a user does.
class FormHarness {
public:
    explicit FormHarness(const std::string& fileBytes, DataFile kind = DataFile::Written);

    TestableDialog& Dialog() { return *m_dialog; }
    [[nodiscard]] QStringList Messages() const { return {m_capture.Messages().begin(), m_capture.Messages().end()}; }
    void ClearMessages() { m_capture.Clear(); }
    [[nodiscard]] std::string FileBytes() const { return ReadFileBytes(ADDRESS_TABLE_FILE); }
    [[nodiscard]] QLineEdit* Edit(int id) const { return qobject_cast<QLineEdit*>(m_dialog->GetDlgItem(id)); }
    [[nodiscard]] QString Text(int id) const { return Edit(id)->text(); }
    [[nodiscard]] bool IsEnabled(int id) const { return m_dialog->GetDlgItem(id)->isEnabled(); }
    [[nodiscard]] bool HasFocus(int id) const { return QApplication::focusWidget() == m_dialog->GetDlgItem(id); }
    // The checked phone kind (-1 for none), then the three phone edits in
    // brackets, or in parentheses while disabled: "1 [090] [1234] [5678]".
    [[nodiscard]] QString Phones() const;
    void Type(int id, const QString& text);  // clears, then types key by key
    void Click(int id);
    void NewPerson(const QString& name, const QString& reading);  // 新規, then name and reading
    [[nodiscard]] QStringList ListItems() const;
    [[nodiscard]] QString SelectedItem() const;
    void DoubleClickItem(const QString& name);

private:
    TempWorkDir m_dir;
    MessageBoxCapture m_capture;
    std::unique_ptr<TestableDialog> m_dialog;
};
