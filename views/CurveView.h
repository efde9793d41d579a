#pragma once

#include <memory>

#include "core/CurveDocument.h"
#include "core/design/DesignDocument.h"
#include "views/GLView.h"

// The 2D editor of one curve document: draws the grid, the curve and its
// control polygon in the world square [-10, 10] x [-10, 10], and turns left
// clicks and drags into edits of the document at the world point under the
// pointer (the same point the drawn frame's matrices unproject to). With
// Ctrl held, a point added or dragged lands on the grid's whole units; with
// Ctrl+Shift, on its tenths. Every move over the view tells where the
// pointer is in the world.
//
// Mouse moves are merged: a move is kept, not handled, until the events
// already queued behind it have been delivered, and a newer move replaces
// it. So when moves arrive faster than the curve and the surface can follow
// (a large curve), the drag goes straight to the latest position instead of
// working through every stale one. A button press or release delivers the
// kept move first, so the order of what the user did is kept.
class CCurveView : public CGLView, private DesignListener {
    Q_OBJECT
public:
    // Edits `document`, the profile or the path of `design`; redrawn at every
    // change of it.
    CCurveView(DesignDocument& design, CurveDocument& document);
    ~CCurveView() override;

    void DrawBackground() override;
    void DrawScene() override;
    void SetProjection() override;
    void OnLeftDown(unsigned flags, int x, int y) override;
    // In select mode, on a point: picks it and says so.
    void OnLeftDoubleClick(int x, int y) override;
    void OnDrag(unsigned flags, int x, int y) override;

    CurveDocument& Document() const { return m_Document; }

    // Whether a mouse move is waiting to be handled.
    bool HasPendingMove() const { return m_pendingMove != nullptr; }

signals:
    // The world point under the pointer, as it moves over the view (not
    // snapped), after any drag it made.
    void PointerMoved(double x, double y);
    // A double click in select mode picked the point now selected.
    void PointDoubleClicked();

protected:
    bool event(QEvent* event) override;

private:
    void OnDesignChanged(const DesignDocument& design, DesignParts changed) override;
    void DrawCurve();
    void DrawControlPolygon();
    void DeliverPendingMove();
    CVector3 WorldPoint(int x, int y) const;

    DesignDocument& m_design;
    CurveDocument& m_Document;
    const DesignParts m_part;
    std::unique_ptr<QMouseEvent> m_pendingMove;
    bool m_bDeliveryPosted = false;
};
