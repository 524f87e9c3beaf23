#include "DesktopLayer.h"

#include <QMenuBar>
#include <QToolButton>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <windows.h>
#endif

namespace {

class NoDesktop : public DesktopLayer
{
public:
    bool hideTaskBar() override { return false; }
    void showTaskBar() override {}
    void SetWorkAreaToScreen() override {}
};

#ifdef Q_OS_WIN

class WindowsDesktop : public DesktopLayer
{
public:
    bool hideTaskBar() override
    {
        HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
        if (!tray)
            return false;
        ShowWindow(tray, SW_HIDE);
        return true;
    }
    void showTaskBar() override
    {
        if (HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr))
            ShowWindow(tray, SW_SHOWNORMAL);
    }
    void SetWorkAreaToScreen() override
    {
        RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, SPIF_SENDWININICHANGE);
    }
};

// The real system menu: the entry is appended there and its command caught on its way to the
// window; every command then goes on to the default handling.
class WindowsSystemMenu : public SystemMenuLayer, public QAbstractNativeEventFilter
{
public:
    WindowsSystemMenu(QWidget &window, std::function<void(int)> onCommand)
        : window_(window), onCommand_(std::move(onCommand))
    {
        HMENU menu = GetSystemMenu(HWND(window.winId()), FALSE);
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kAboutCommandId, L"О программе");
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~WindowsSystemMenu() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_SYSCOMMAND && msg->hwnd == HWND(window_.winId()))
            onCommand_(int(msg->wParam));
        return false;
    }

private:
    QWidget &window_;
    std::function<void(int)> onCommand_;
};

#else

// The corner of the menu bar holds the entry; the five menu-bar items stay as they are.
class MenuBarCorner : public SystemMenuLayer
{
public:
    MenuBarCorner(QMenuBar &menuBar, std::function<void(int)> onCommand)
    {
        auto *button = new QToolButton(&menuBar);
        button->setObjectName(QStringLiteral("aboutButton"));
        button->setText(QStringLiteral("О программе"));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        QObject::connect(button, &QToolButton::clicked, &menuBar,
                         [onCommand] { onCommand(kAboutCommandId); });
        menuBar.setCornerWidget(button, Qt::TopRightCorner);
    }
};

#endif

} // namespace

std::unique_ptr<DesktopLayer> makeDesktopLayer()
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsDesktop>();
#else
    return std::make_unique<NoDesktop>();
#endif
}

std::unique_ptr<DesktopLayer> makeInertDesktopLayer()
{
    return std::make_unique<NoDesktop>();
}

std::unique_ptr<SystemMenuLayer> installSystemMenu(QWidget &window, QMenuBar &menuBar,
                                                   std::function<void(int)> onCommand)
{
#ifdef Q_OS_WIN
    (void)menuBar;
    return std::make_unique<WindowsSystemMenu>(window, std::move(onCommand));
#else
    (void)window;
    return std::make_unique<MenuBarCorner>(menuBar, std::move(onCommand));
#endif
}
