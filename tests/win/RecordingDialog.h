#pragma once

#include "Controls.h"
#include "Dialog.h"
#include "Resources.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Notes = std::vector<std::pair<int, int>>;

// A dialog that records every command and notification it is sent, then
// lets the base class handle it.
class RecordingDialog : public CDialog {
public:
    explicit RecordingDialog(int templateId, CDialog* owner = nullptr) : CDialog(*FindDialogTemplate(templateId), owner) {}

    Notes notes;
    std::vector<unsigned> sysCommands;
    int helpCount = 0;

    // Creates and shows the window and makes it the active one, as the
    // keyboard tests need.
    void Open()
    {
        Create();
        Window()->activateWindow();
        (void)QTest::qWaitForWindowActive(Window());
    }

protected:
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

// Names a parameterised test after its row.
inline constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };
