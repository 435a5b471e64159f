#pragma once

#include "DialogBuilder.h"

#include <QDialog>

#include <vector>

class CDialog;
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
    [[nodiscard]] QWidget* FirstTabStop() const;
    [[nodiscard]] QMenu* SystemMenu() const noexcept { return m_systemMenu; }
    [[nodiscard]] const DialogUnits& Units() const noexcept { return m_units; }

    // Centres the window over its visible owner, else on the available
    // screen area, kept inside that area.
    void PlaceCentred();
    void OpenSystemMenu(const QPoint& globalPosition);

    void Finish(int result);
    [[nodiscard]] bool Finished() const noexcept { return m_finished; }
    void Restart() noexcept { m_finished = false; }

    void done(int result) override;
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Connect(const BuiltControl& control, size_t index);
    void CheckRadio(size_t index);
    [[nodiscard]] size_t GroupStart(size_t index) const;
    [[nodiscard]] size_t GroupEnd(size_t start) const;
    [[nodiscard]] int EnterCommand() const;
    [[nodiscard]] int DefaultButtonId() const;
    void Notify(int id, int code);

    CDialog& m_dialog;
    DialogUnits m_units;
    std::vector<BuiltControl> m_controls;
    QMenu* m_systemMenu;
    bool m_finished = false;
    bool m_ending = false;
};
