#pragma once

#include <QStatusBar>

#include "core/GridSnap.h"
#include "core/design/DesignDocument.h"

class CCurveView;
class CSurfaceView;
class QLabel;
class QWindow;

// The bar's height in dialog units: as tall as Qt makes a status bar in the
// dialog's font, and mapped like the controls above it.
constexpr int kStatusBarHeightDlu = 12;

// The bar under the dialog's controls. It shows each editor's mode and
// point count; while the pointer is over a view, where it is in the world
// (over an editor) and what a left click does there; and while Ctrl is
// held, the grid a point added or dragged snaps to.
class StatusBar : public QStatusBar, private DesignListener {
    Q_OBJECT
public:
    StatusBar(DesignDocument& design, CCurveView& profileView, CCurveView& pathView,
              CSurfaceView& surfaceView, QWidget* parent);
    ~StatusBar() override;

    // The editors' modes change without the design telling: whoever changes
    // one calls this.
    void ShowModes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDesignChanged(const DesignDocument& design, DesignParts changed) override;
    void OnPointerMoved(const QWindow* view, double x, double y);
    void ShowPointer();
    void ShowSnap(GridSnap snap);
    QString EditorText(const QString& name, const CurveDocument& curve) const;
    QString ClickHint() const;

    DesignDocument& m_design;
    const CCurveView& m_profileView;
    const CCurveView& m_pathView;
    const CSurfaceView& m_surfaceView;
    QLabel* m_modes;
    QLabel* m_pointer;
    QLabel* m_snapNote;
    // The view under the pointer (none while it is elsewhere) and, over an
    // editor, the world point last seen.
    const QWindow* m_over = nullptr;
    bool m_hasWorldPoint = false;
    double m_worldX = 0.0;
    double m_worldY = 0.0;
};
