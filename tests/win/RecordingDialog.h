#pragma once

#include "Controls.h"
#include "Dialog.h"
#include "Resources.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

using Notes = std::vector<std::pair<int, int>>;

// A shown and active dialog that records the commands, window-menu commands
// and F1 presses it gets, then lets the base class act on them.
struct RecordingDialog : CDialog {
    explicit RecordingDialog(int id = IDD_ADDRESSBOOK, CDialog* owner = nullptr)
        : CDialog(*FindDialogTemplate(id), owner)
    {
        Create();
        Window()->activateWindow();
        (void)QTest::qWaitForWindowActive(Window());
    }
    void OnNotify(int id, int code) override { notes.emplace_back(id, code); CDialog::OnNotify(id, code); }
    void OnSysCommand(unsigned command) override { sysCommands.push_back(command); CDialog::OnSysCommand(command); }
    void OnHelp() override { ++helps; }

    Notes notes;
    std::vector<unsigned> sysCommands;
    int helps = 0;
};
