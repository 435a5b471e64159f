#include "AboutDlg.h"

#include "Resources.h"

CAboutDlg::CAboutDlg(CDialog* owner) : CDialog(*FindDialogTemplate(IDD_ABOUTBOX), owner) {}
