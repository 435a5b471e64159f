#include "FormHarness.h"

#include "SjisText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QItemSelectionModel>
#include <QListView>
#include <QtTest/QTest>

#include <stdexcept>

std::string Sjis(const char* utf8)
{
    const auto bytes = sjis::FromQString(QString::fromUtf8(utf8));
    if (!bytes)
        throw std::invalid_argument("not Shift_JIS encodable");
    return *bytes;
}

std::vector<std::string> Phones(int kind, const char* a, const char* b, const char* c)
{
    std::vector<std::string> phones(12, "*");
    phones[kind * 3] = a;
    phones[kind * 3 + 1] = b;
    phones[kind * 3 + 2] = c;
    return phones;
}

std::string Person::Line() const
{
    std::string line = std::to_string(code) + ',' + Sjis(reading) + ',' + Sjis(name) + ',' + Sjis(address1)
        + ",,1980,4,1,0,,,,0";
    for (const std::string& part : phones)
        line += ',' + Sjis(part.c_str());
    return line + "\r\n";
}

FormHarness::FormHarness(const std::string& fileBytes, bool createFile)
{
    if (createFile)
        WriteFileBytes(ADDRESS_TABLE_FILE, fileBytes);
    m_dialog = std::make_unique<TestableDialog>();
    m_dialog->SetClock([] { return CalendarDate{2026, 12, 5}; });
    m_dialog->Create();
    m_dialog->Window()->activateWindow();
    QApplication::processEvents();
}

QString FormHarness::Text(int id) const
{
    return qobject_cast<QLineEdit*>(m_dialog->GetDlgItem(id))->text();
}

void FormHarness::Type(int id, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(m_dialog->GetDlgItem(id));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
            continue;
        }
        // Japanese arrives from the input method as committed text.
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QApplication::sendEvent(edit, &commit);
    }
}

void FormHarness::SetText(int id, const QString& text)
{
    qobject_cast<QLineEdit*>(m_dialog->GetDlgItem(id))->setText(text);
}

void FormHarness::Click(int id)
{
    auto* button = qobject_cast<QAbstractButton*>(m_dialog->GetDlgItem(id));
    QTest::mouseClick(button, Qt::LeftButton);
}

void FormHarness::NewPerson(const QString& name, const QString& reading)
{
    Click(IDC_NEW);
    Type(IDC_NAME, name);
    Type(IDC_READING, reading);
}

bool FormHarness::IsEnabled(int id) const
{
    return m_dialog->GetDlgItem(id)->isEnabled();
}

QStringList FormHarness::ListItems() const
{
    const QAbstractItemModel& model = *qobject_cast<QListView*>(m_dialog->GetDlgItem(IDC_NAME_LIST))->model();
    QStringList items;
    for (int row = 0; row < model.rowCount(); ++row)
        items.append(model.index(row, 0).data().toString());
    return items;
}

QString FormHarness::SelectedItem() const
{
    QApplication::processEvents();  // the list shows its changes from the event loop
    const QModelIndexList selected =
        qobject_cast<QListView*>(m_dialog->GetDlgItem(IDC_NAME_LIST))->selectionModel()->selectedRows();
    return selected.isEmpty() ? QString() : selected.front().data().toString();
}

void FormHarness::DoubleClickItem(const QString& name)
{
    auto* view = qobject_cast<QListView*>(m_dialog->GetDlgItem(IDC_NAME_LIST));
    const QModelIndexList hits = view->model()->match(view->model()->index(0, 0), Qt::DisplayRole, name, 1,
                                                      Qt::MatchExactly);
    if (hits.isEmpty())
        throw std::invalid_argument("no such item");
    view->scrollTo(hits.front());
    const QPoint centre = view->visualRect(hits.front()).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
}

int FormHarness::FocusId() const
{
    for (const ControlTemplate& control : FindDialogTemplate(IDD_ADDRESSBOOK)->controls) {
        if (control.id != IDC_STATIC && m_dialog->GetDlgItem(control.id) == QApplication::focusWidget())
            return control.id;
    }
    return 0;
}
