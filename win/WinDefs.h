#pragma once

// Command ids and notification codes shared by the dialogs and the
// windowing layer.

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

enum NotifyCode : int {
    BN_CLICKED = 0,
    LBN_DBLCLK = 2,
    EN_KILLFOCUS = 0x0200,
    // An input method changed an edit's pre-edit text or committed text into it.
    EN_COMPOSITION = 0x0A00,
};

// Window-menu (system) commands; a dialog's own items use ids below 0xF000.
inline constexpr unsigned SC_CLOSE = 0xF060;

inline constexpr int LB_ERR = -1;
