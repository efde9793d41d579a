#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

class QWidget;
class QWindow;

// Shows a view's tool tip (its container's, read when shown, so it may
// change) while the pointer rests over the view. A view is a native window
// of its own: its mouse events never pass through the widgets, so the
// toolkit's own tool tips never start over it.
class CViewToolTip : public QObject {
public:
    CViewToolTip(QWindow* view, QWidget* container);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show();

    QWidget* m_container;
    QTimer m_wakeUp;
    QPoint m_pointer;  // global
};
