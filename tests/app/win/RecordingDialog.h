#pragma once

#include "Dialog.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <utility>
#include <vector>

// A dialog that records every command and notification it is sent, then
// lets the base class handle it.
class RecordingDialog : public CDialog {
public:
    explicit RecordingDialog(int templateId, CDialog* owner = nullptr) : CDialog(templateId, owner) {}

    std::vector<std::pair<int, int>> notes;
    std::vector<unsigned> sysCommands;
    int helpCount = 0;
    bool placeFocusItself = false;

    // Creates and shows the window and makes it the active one, as the
    // keyboard tests need.
    void Open()
    {
        Create();
        Window()->activateWindow();
        QApplication::setActiveWindow(Window());
        (void)QTest::qWaitForWindowActive(Window());
    }

protected:
    bool OnInitDialog() override { return !placeFocusItself; }
    void OnNotify(int id, int code) override
    {
        notes.emplace_back(id, code);
        CDialog::OnNotify(id, code);
    }
    void OnSysCommand(unsigned command) override
    {
        sysCommands.push_back(command);
        CDialog::OnSysCommand(command);
    }
    void OnHelp() override { ++helpCount; }
};
