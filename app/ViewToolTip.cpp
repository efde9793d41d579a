#include "app/ViewToolTip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

CViewToolTip::CViewToolTip(QWindow* view, QWidget* container) : QObject(container), m_container(container)
{
    m_wakeUp.setSingleShot(true);
    m_wakeUp.setInterval(container->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, container));
    connect(&m_wakeUp, &QTimer::timeout, this, &CViewToolTip::Show);
    view->installEventFilter(this);
}

bool CViewToolTip::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* move = static_cast<QMouseEvent*>(event);
        m_pointer = move->globalPosition().toPoint();
        // Only a pointer at rest with no button held asks for the tip.
        if (move->buttons() == Qt::NoButton && !QToolTip::isVisible())
            m_wakeUp.start();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::Leave:
    case QEvent::Hide:
        m_wakeUp.stop();
        QToolTip::hideText();
        break;
    default:
        break;
    }
    return false;
}

void CViewToolTip::Show()
{
    QToolTip::showText(m_pointer, m_container->toolTip(), m_container);
}
