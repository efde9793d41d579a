#pragma once

#include <QObject>
#include <QPointer>

class QMenu;
class QWidget;

// Gives the keyboard back to a dialog's controls when one of its menus or a
// modal window over it closes: to the control that had it last, or to the
// dialog's default control. Without a window manager nobody else does.
// Closing a modal window leaves the X input focus on the root window, so no
// window of the program gets keys; and Escape in a menu leaves the menu bar
// holding the keyboard, which it keeps as the dialog's focus widget once
// another window is activated before a second Escape: then Escape, Return
// and typing all go to the menu bar.
class CKeyboardFocusKeeper : public QObject {
public:
    // `controls` holds the dialog's controls (not its menu bar).
    CKeyboardFocusKeeper(QWidget* dialog, QWidget* controls, QWidget* defaultControl);

    void Watch(QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RememberControl(QWidget* focused);
    // Queued, so that it runs once the closing window's own handling is done
    // (the menu bar takes the keyboard after its menu hides). A menu leaves
    // the dialog active, and one closed by a click elsewhere must not take
    // the keyboard back from the window clicked; a modal window of the
    // program had the keyboard, so the dialog takes it over.
    void RestoreLater(bool activate);
    void Restore(bool activate);

    QWidget* m_dialog;
    QWidget* m_controls;
    QWidget* m_defaultControl;
    QPointer<QWidget> m_lastControl;
};
