#pragma once

#include "DialogTemplate.h"
#include "WinDefs.h"

#include <QIcon>
#include <QString>

#include <memory>
#include <vector>

class QDialog;
class QMenu;
class QWidget;
class DialogWindow;

// The window menu of a dialog (right-click on the background, Alt+Space):
// Close, then whatever the dialog appends. Choosing an item sends its id to
// CDialog::OnSysCommand.
class CSystemMenu {
public:
    void AppendSeparator();
    void AppendItem(unsigned id, const QString& text);
    [[nodiscard]] QMenu* Menu() const noexcept { return m_menu; }

private:
    friend class CDialog;
    QMenu* m_menu = nullptr;  // owned by the dialog window
};

// A modal dialog built from a dialog template. Commands and notifications of
// its controls arrive at OnNotify as (control id, code).
class CDialog {
public:
    // The template must outlive the dialog.
    explicit CDialog(const DialogTemplate& dialogTemplate, CDialog* owner = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the window if needed, runs OnInitDialog, shows it centred and
    // returns only when EndDialog ends it: IDOK or IDCANCEL.
    int DoModal();
    // Creates the window and runs OnInitDialog without the modal loop, then
    // shows it (for tests and for the benchmark).
    void Create();
    void EndDialog(int result);

    [[nodiscard]] QDialog* Window() const noexcept;
    // The control with that id; nullptr when there is none.
    [[nodiscard]] QWidget* GetDlgItem(int id) const;

    // Radio group starting at firstId (up to the next control with the group
    // flag): the index of the checked button, or -1 for none.
    [[nodiscard]] int GetCheckedRadio(int firstId) const;
    // Checks the button of that index and clears the others; -1 or an index
    // outside the group clears the whole group.
    void SetCheckedRadio(int firstId, int index);

    // Keyboard focus to the control; an edit gets its whole text selected.
    void GotoDlgCtrl(int id);

    // Sends a command or notification exactly as the control would (used
    // by the dialog keys and by tests).
    void SendNotify(int id, int code = BN_CLICKED);

    [[nodiscard]] CSystemMenu& GetSystemMenu();
    void SetIcon(const QIcon& icon);

    // While blocked (nesting allowed), notifications of the dialog's own
    // controls are dropped.
    void BlockNotifications(bool block) noexcept;
    [[nodiscard]] bool NotificationsBlocked() const noexcept { return m_blockCount > 0; }

protected:
    // Runs when the window has been created. True: focus goes to the first
    // tab stop; false: the dialog placed the focus itself.
    virtual bool OnInitDialog() { return true; }
    // Default: IDOK/BN_CLICKED runs OnOK, IDCANCEL/BN_CLICKED runs OnCancel.
    virtual void OnNotify(int id, int code);
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Default: SC_CLOSE runs OnCancel; everything else is ignored.
    virtual void OnSysCommand(unsigned command);
    // F1; the default does nothing.
    virtual void OnHelp() {}

private:
    friend class DialogWindow;
    // Builds the window from the template and runs OnInitDialog.
    void CreateWindow();
    void Dispatch(int id, int code);

    const DialogTemplate& m_template;
    CDialog* m_owner;
    std::unique_ptr<DialogWindow> m_window;
    CSystemMenu m_systemMenu;
    int m_blockCount = 0;
};

// Blocks a dialog's notifications for the guard's lifetime.
class NotificationBlocker {
public:
    explicit NotificationBlocker(CDialog& dialog) noexcept : m_dialog(dialog) { m_dialog.BlockNotifications(true); }
    ~NotificationBlocker() { m_dialog.BlockNotifications(false); }
    NotificationBlocker(const NotificationBlocker&) = delete;
    NotificationBlocker& operator=(const NotificationBlocker&) = delete;

private:
    CDialog& m_dialog;
};
