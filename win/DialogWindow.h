#pragma once

#include "DialogBuilder.h"

#include <QDialog>

#include <vector>

class CDialog;
class QButtonGroup;
class QMenu;
class QRadioButton;

// The Qt window behind a CDialog: builds the template's controls and turns
// their signals, the dialog keys, the close box and the window menu into
// the CDialog's commands. Only CDialog::EndDialog ends it.
class DialogWindow final : public QDialog {
public:
    DialogWindow(CDialog& dialog, const DialogTemplate& dialogTemplate, QWidget* parent);
    ~DialogWindow() override;

    [[nodiscard]] QWidget* Control(int id) const;
    // The radio buttons of the group that starts at the control with that id.
    [[nodiscard]] std::vector<QRadioButton*> RadioGroup(int firstId) const;
    // Checks the button of that index in the group, or none for -1.
    void CheckRadio(int firstId, int index);
    [[nodiscard]] QWidget* FirstTabStop() const;
    [[nodiscard]] QMenu* SystemMenu() const noexcept { return m_systemMenu; }

    // Centres the window over its visible owner, else on the available
    // screen area, kept inside that area.
    void PlaceCentred();
    void OpenSystemMenu(const QPoint& globalPosition);

    void Finish(int result);
    [[nodiscard]] bool Finished() const noexcept { return m_finished; }

    void done(int result) override;
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Connect(const BuiltControl& control);
    void BuildRadioGroups();
    [[nodiscard]] QButtonGroup* GroupOf(int firstId) const;
    static void UpdateTabStop(QButtonGroup& group);
    static bool MoveInGroup(QRadioButton& from, int key);
    [[nodiscard]] int EnterCommand() const;
    [[nodiscard]] const BuiltControl* DefaultButton() const;
    [[nodiscard]] int DefaultButtonId() const;
    void Notify(int id, int code);

    CDialog& m_dialog;
    DialogUnits m_units;
    std::vector<BuiltControl> m_controls;
    std::vector<QButtonGroup*> m_radioGroups;  // owned by the window
    QMenu* m_systemMenu;
    bool m_finished = false;
    bool m_ending = false;
};
