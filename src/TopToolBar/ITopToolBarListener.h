#pragma once

#include <QString>

// What the tool bar's controller asks of its view; the view turns each call into a signal of
// the main window.
class ITopToolBarListener
{
public:
    // The user logged in (true) or out (false).
    virtual void OnLoginStateChanged(bool loggedIn) = 0;
    // The page switched from one menu to another.
    virtual void OnSwitchMenu(const QString &oldPath, const QString &newPath) = 0;
    // The page closed a menu.
    virtual void OnCloseMenu(const QString &path) = 0;
    // The page asks the client to quit.
    virtual void OnCloseApp() = 0;
    // The page asks to minimise the window.
    virtual void OnMinSize() = 0;
    // The page asks for full screen (maximised) or normal size.
    virtual void OnFullScreen(bool on) = 0;

protected:
    ~ITopToolBarListener() = default;
};
