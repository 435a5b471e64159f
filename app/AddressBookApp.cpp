#include "AddressBookApp.h"

#include "AboutDlg.h"
#include "AddressBookDlg.h"
#include "AppIcon.h"
#include "MessageBox.h"
#include "Resources.h"
#include "SocketLayer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

CAddressBookApp theApp;

namespace {

// Qt's own texts (an edit's context menu, the file dialog) in Japanese,
// whatever the locale: the whole interface is Japanese.
void InstallQtTranslations()
{
    static QTranslator translator;
    if (translator.isEmpty()
        && translator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

}  // namespace

bool CAddressBookApp::StartUp()
{
    // Every message box and window of the program takes these.
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(FindString(IDS_APP_TITLE)));
    QGuiApplication::setWindowIcon(LoadAppIcon());
    InstallQtTranslations();
    if (!StartSocketLayer()) {
        ShowMessageBox(QString::fromUtf8(FindString(IDS_SOCKETS_INIT_FAILED)));
        return false;
    }
    // Qt draws every control in its own style: there is no 3-D control
    // look to ask for.
    RunMainDialog();
    return false;
}

void CAddressBookApp::RunMainDialog()
{
    CAddressBookDlg dialog([](CDialog& owner) {
        CAboutDlg about(&owner);
        (void)about.DoModal();
    });
    SetMainWindow(&dialog);
    (void)dialog.DoModal();
    SetMainWindow(nullptr);
}
