#include "views/CurveView.h"

#include <GL/gl.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include "core/CurveSquare.h"
#include "core/GridSnap.h"

namespace {

// Posted to a view to deliver its kept mouse move.
const QEvent::Type kDeliverMoveEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// A world point on the grid the held keys ask for.
CVector3 SnappedPoint(const CVector3& world, unsigned flags)
{
    const GridSnap snap = GridSnapFor((flags & MK_CONTROL) != 0, (flags & MK_SHIFT) != 0);
    return CVector3(SnapToGrid(world.x, snap), SnapToGrid(world.y, snap), 0.0);
}

} // namespace

CCurveView::CCurveView(DesignDocument& design, CurveDocument& document)
    : m_design(design), m_Document(document), m_part(&document == &design.Profile() ? kProfilePart : kPathPart)
{
    m_design.AddListener(this);
}

CCurveView::~CCurveView()
{
    m_design.RemoveListener(this);
}

void CCurveView::OnDesignChanged(const DesignDocument&, DesignParts changed)
{
    if (changed & m_part)
        Invalidate();
}

bool CCurveView::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        // Kept until the events queued now are through; a newer move
        // replaces it.
        m_pendingMove.reset(static_cast<QMouseEvent*>(event->clone()));
        if (!m_bDeliveryPosted) {
            m_bDeliveryPosted = true;
            QCoreApplication::postEvent(this, new QEvent(kDeliverMoveEvent));
        }
        event->accept();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        DeliverPendingMove();
        break;
    default:
        if (event->type() == kDeliverMoveEvent) {
            m_bDeliveryPosted = false;
            DeliverPendingMove();
            return true;
        }
        break;
    }
    return CGLView::event(event);
}

void CCurveView::DeliverPendingMove()
{
    if (const std::unique_ptr<QMouseEvent> move = std::move(m_pendingMove))
        CGLView::event(move.get());
}

void CCurveView::SetProjection()
{
    glOrtho(-10.0, 10.0, -10.0, 10.0, -5.0, 5.0);
}

void CCurveView::DrawBackground()
{
    for (int i = -10; i <= 10; ++i) {
        if (i == 0) {
            glColor3f(0.0f, 0.0f, 0.0f);
            glLineWidth(DevicePixels(2.0f));
        } else {
            glColor3f(0.7f, 0.7f, 0.7f);
            glLineWidth(DevicePixels(1.0f));
        }
        glBegin(GL_LINES);
        glVertex2i(-10, i);
        glVertex2i(10, i);
        glEnd();
        glBegin(GL_LINES);
        glVertex2i(i, -10);
        glVertex2i(i, 10);
        glEnd();
    }
}

void CCurveView::DrawScene()
{
    DrawCurve();
    DrawControlPolygon();
}

void CCurveView::DrawCurve()
{
    glLineWidth(DevicePixels(2.0f));
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_STRIP);
    for (const CVector3& p : m_Document.SamplePoints())
        glVertex2d(p.x, p.y);
    glEnd();
}

void CCurveView::DrawControlPolygon()
{
    glLineWidth(DevicePixels(2.0f));
    glColor3f(0.5f, 0.5f, 1.0f);
    const std::vector<CVector3>& points = m_Document.ControlPoints();
    glBegin(GL_LINE_STRIP);
    for (const CVector3& p : points)
        glVertex2d(p.x, p.y);
    glEnd();
    const int selected = m_Document.Selected();
    if (selected == -1)
        return;
    glPointSize(DevicePixels(5.0f));
    glBegin(GL_POINTS);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (static_cast<int>(i) == selected)
            glColor3f(1.0f, 0.5f, 0.5f);
        else
            glColor3f(0.5f, 0.5f, 0.5f);
        glVertex2d(points[i].x, points[i].y);
    }
    glEnd();
    glPointSize(DevicePixels(2.0f));
}

CVector3 CCurveView::WorldPoint(int x, int y) const
{
    return curve_square::WindowToWorld(x, y, m_rcClient.right, m_rcClient.bottom);
}

void CCurveView::OnLeftDown(unsigned flags, int x, int y)
{
    CVector3 world = WorldPoint(x, y);
    // Only a point being added snaps: a pick looks where the pointer is.
    if (m_Document.Mode() == EditMode::Add)
        world = SnappedPoint(world, flags);
    m_Document.Click(world.x, world.y);
}

void CCurveView::OnLeftDoubleClick(int x, int y)
{
    const CVector3 world = curve_square::WindowToWorld(x, y, m_rcClient.right, m_rcClient.bottom);
    if (m_Document.Mode() != EditMode::Select || m_Document.PointAt(world.x, world.y) == -1)
        return;
    // The pick of the second press, which a double click passes over.
    m_Document.Click(world.x, world.y);
    emit PointDoubleClicked();
}

void CCurveView::OnDrag(unsigned flags, int x, int y)
{
    const CVector3 world = WorldPoint(x, y);
    if (flags & MK_LBUTTON) {
        const CVector3 placed = SnappedPoint(world, flags);
        m_Document.DragSelectedTo(placed.x, placed.y);
    }
    emit PointerMoved(world.x, world.y);
}
