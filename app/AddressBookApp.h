#pragma once

#include "WinApp.h"

// The application: checks the socket layer, then runs the main dialog once.
class CAddressBookApp : public CWinApp {
public:
    // Always false: the dialog's modal run is the program's whole life,
    // so no message loop follows.
    [[nodiscard]] bool StartUp() override;

private:
    void RunMainDialog();
};

// The one application object.
extern CAddressBookApp theApp;
