#include "AboutDlg.h"

#include "Resources.h"

CAboutDlg::CAboutDlg(CDialog* owner) : CDialog(IDD_ABOUTBOX, owner) {}
