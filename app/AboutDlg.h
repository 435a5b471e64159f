#pragma once

#include "Dialog.h"

// The About box (template 100). It keeps no state: 了解, Escape and the
// close box end it through the dialog's own OK and cancel handling.
class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CDialog* owner = nullptr);
};
