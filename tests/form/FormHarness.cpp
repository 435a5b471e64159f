#include "FormHarness.h"

#include "SjisText.h"

#include <QAbstractButton>
#include <QDialog>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QListView>
#include <QtTest/QTest>

#include <filesystem>

std::string Sjis(const std::string& utf8)
{
    return sjis::FromQString(QString::fromStdString(utf8)).value();  // throws when not encodable
}

FormHarness::FormHarness(const std::string& fileBytes, DataFile kind)
{
    if (kind == DataFile::Written)
        WriteFileBytes(ADDRESS_TABLE_FILE, fileBytes);
    if (kind == DataFile::Folder)
        std::filesystem::create_directory(ADDRESS_TABLE_FILE);
    m_dialog = std::make_unique<TestableDialog>();
    m_dialog->SetClock([] { return CalendarDate{2026, 12, 5}; });
    m_dialog->Create();
    m_dialog->Window()->activateWindow();
    QApplication::processEvents();
}

void FormHarness::Type(int id, const QString& text)
{
    QLineEdit* edit = Edit(id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        QInputMethodEvent commit;  // Japanese arrives from the input method as committed text
        commit.setCommitString(QString(c));
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, c.toLatin1());
        else
            QApplication::sendEvent(edit, &commit);
    }
}

void FormHarness::Click(int id)
{
    QTest::mouseClick(qobject_cast<QAbstractButton*>(m_dialog->GetDlgItem(id)), Qt::LeftButton);
}

void FormHarness::NewPerson(const QString& name, const QString& reading)
{
    Click(IDC_NEW);
    Type(IDC_NAME, name);
    Type(IDC_READING, reading);
}

QString FormHarness::Phones() const
{
    QString state = QString::number(m_dialog->GetCheckedRadio(IDC_PHONE_HOME));
    for (const int id : {IDC_PHONE1, IDC_PHONE2, IDC_PHONE3})
        state += QString(IsEnabled(id) ? " [%1]" : " (%1)").arg(Text(id));
    return state;
}

QStringList FormHarness::ListItems() const
{
    QApplication::processEvents();  // the list shows its changes from the event loop
    const QAbstractItemModel& model = *qobject_cast<QListView*>(m_dialog->GetDlgItem(IDC_NAME_LIST))->model();
    QStringList items;
    for (int row = 0; row < model.rowCount(); ++row)
        items.append(model.index(row, 0).data().toString());
    return items;
}

QString FormHarness::SelectedItem() const
{
    (void)ListItems();  // lets the list show its changes
    const auto* view = qobject_cast<QListView*>(m_dialog->GetDlgItem(IDC_NAME_LIST));
    return view->selectionModel()->selectedRows().value(0).data().toString();
}

void FormHarness::DoubleClickItem(const QString& name)
{
    auto* view = qobject_cast<QListView*>(m_dialog->GetDlgItem(IDC_NAME_LIST));
    const QModelIndex item = view->model()->index(static_cast<int>(ListItems().indexOf(name)), 0);
    if (!item.isValid())
        throw std::invalid_argument("no such item");
    view->scrollTo(item);
    const QPoint centre = view->visualRect(item).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
}
