#include "AddressBookApp.h"

#include "AboutDlg.h"
#include "AddressBookDlg.h"
#include "AppIcon.h"
#include "MessageBox.h"
#include "Resources.h"
#include "SocketLayer.h"

#include <QGuiApplication>
#include <QString>

CAddressBookApp theApp;

bool CAddressBookApp::StartUp()
{
    // Every message box and window of the program takes these.
    QGuiApplication::setApplicationDisplayName(QString::fromUtf8(FindString(IDS_APP_TITLE)));
    QGuiApplication::setWindowIcon(LoadAppIcon());
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
