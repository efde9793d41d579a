#include "app/KeyboardFocusKeeper.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>

CKeyboardFocusKeeper::CKeyboardFocusKeeper(QWidget* dialog, QWidget* controls, QWidget* defaultControl)
    : QObject(dialog), m_dialog(dialog), m_controls(controls), m_defaultControl(defaultControl)
{
    // A modal window that closes unblocks the dialog.
    dialog->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { RememberControl(now); });
}

void CKeyboardFocusKeeper::Watch(QMenu* menu)
{
    connect(menu, &QMenu::aboutToHide, this, [this] { RestoreLater(false); });
}

bool CKeyboardFocusKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_dialog && event->type() == QEvent::WindowUnblocked)
        RestoreLater(true);
    return QObject::eventFilter(watched, event);
}

void CKeyboardFocusKeeper::RememberControl(QWidget* focused)
{
    if (focused && m_controls->isAncestorOf(focused))
        m_lastControl = focused;
}

void CKeyboardFocusKeeper::RestoreLater(bool activate)
{
    QMetaObject::invokeMethod(this, [this, activate] { Restore(activate); }, Qt::QueuedConnection);
}

void CKeyboardFocusKeeper::Restore(bool activate)
{
    // Another menu (the next one along the bar, a submenu) or another modal
    // window has the keyboard now, and gives it back when it closes.
    const QWidget* modal = QApplication::activeModalWidget();
    if (!m_dialog->isVisible() || QApplication::activePopupWidget() || (modal && modal != m_dialog))
        return;
    if (activate && !m_dialog->isActiveWindow())
        m_dialog->activateWindow();
    const QWidget* focused = m_dialog->focusWidget();
    if (focused && m_controls->isAncestorOf(focused))
        return;
    QWidget* control = m_lastControl && m_lastControl->isEnabled() && m_lastControl->isVisible()
                           ? m_lastControl.data()
                           : m_defaultControl;
    control->setFocus(Qt::OtherFocusReason);
}
