#pragma once

#include <functional>
#include <memory>

class QMenuBar;
class QWidget;

// The desktop take-over while the program runs: the task bar is hidden at start and shown again
// at close, and the work area is widened to the whole screen so the maximized window covers it.
class DesktopLayer
{
public:
    virtual ~DesktopLayer() = default;
    // Hides the task bar if there is one; returns whether it was found.
    virtual bool hideTaskBar() = 0;
    virtual void showTaskBar() = 0;
    virtual void SetWorkAreaToScreen() = 0;
};

// The system's own layer: the real calls on Windows; on other desktops there is no task bar
// window to hide and no settable work area, so nothing happens there.
std::unique_ptr<DesktopLayer> makeDesktopLayer();
// A layer that leaves the desktop alone: for desktops without a task bar, and for runs that are
// not the user's session (a batch, the benchmarks, the screenshot tool).
std::unique_ptr<DesktopLayer> makeInertDesktopLayer();

// The window menu entry that opens the About box.
inline constexpr int kAboutCommandId = 1025;

// Adds the separator and "О программе" to the window's system menu and reports each system
// command of the window through onCommand. Where a program cannot add to the window manager's
// menu, the entry goes to the right-hand corner of the menu bar instead.
class SystemMenuLayer
{
public:
    virtual ~SystemMenuLayer() = default;
};

std::unique_ptr<SystemMenuLayer> installSystemMenu(QWidget &window, QMenuBar &menuBar,
                                                   std::function<void(int)> onCommand);
