#pragma once

class CDialog;

// Base of the one application object: the start-up step and the window
// that is the application's main window while it runs.
class CWinApp {
public:
    CWinApp() = default;
    virtual ~CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs once before any message loop; true would ask for one.
    [[nodiscard]] virtual bool StartUp() = 0;

    // nullptr while no main window exists.
    [[nodiscard]] CDialog* MainWindow() const noexcept { return m_mainWindow; }

protected:
    void SetMainWindow(CDialog* window) noexcept { m_mainWindow = window; }

private:
    CDialog* m_mainWindow = nullptr;
};
