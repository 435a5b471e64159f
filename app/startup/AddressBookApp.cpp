#include "AddressBookApp.h"

#include "AddressBookDlg.h"
#include "MessageBox.h"
#include "Resources.h"
#include "SocketLayer.h"

#include <QString>

CAddressBookApp theApp;

bool CAddressBookApp::StartUp()
{
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
    CAddressBookDlg dialog;
    SetMainWindow(&dialog);
    (void)dialog.DoModal();
    SetMainWindow(nullptr);
}
