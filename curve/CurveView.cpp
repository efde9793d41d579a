#include "curve/CurveView.h"

#include <GL/gl.h>

#include <cmath>

#include "app/MessageBox.h"
#include "geometry/Bezier.h"

namespace {

constexpr double kPickRadiusSquared = 0.5;

} // namespace

CCurveView::CCurveView() = default;

void CCurveView::SetProjection()
{
    glOrtho(-10.0, 10.0, -10.0, 10.0, -5.0, 5.0);
}

void CCurveView::DrawBackground()
{
    for (int i = -10; i <= 10; ++i) {
        if (i == 0) {
            glColor3f(0.0f, 0.0f, 0.0f);
            glLineWidth(2.0f);
        } else {
            glColor3f(0.7f, 0.7f, 0.7f);
            glLineWidth(1.0f);
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
    glLineWidth(2.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_STRIP);
    for (const CVector3& p : m_SamplePoints)
        glVertex2d(p.x, p.y);
    glEnd();
}

void CCurveView::DrawControlPolygon()
{
    glLineWidth(2.0f);
    glColor3f(0.5f, 0.5f, 1.0f);
    glBegin(GL_LINE_STRIP);
    for (const CVector3& p : m_ControlPoints)
        glVertex2d(p.x, p.y);
    glEnd();
    if (m_nSelected == -1)
        return;
    glPointSize(5.0f);
    glBegin(GL_POINTS);
    for (std::size_t i = 0; i < m_ControlPoints.size(); ++i) {
        if (static_cast<int>(i) == m_nSelected)
            glColor3f(1.0f, 0.5f, 0.5f);
        else
            glColor3f(0.5f, 0.5f, 0.5f);
        glVertex2d(m_ControlPoints[i].x, m_ControlPoints[i].y);
    }
    glEnd();
    glPointSize(2.0f);
}

void CCurveView::WindowToWorld(int x, int y, double& worldX, double& worldY)
{
    // Without a context nothing is unprojected; NaN then fails every test below.
    double nearPoint[3] = {NAN, NAN, NAN};
    double farPoint[3];
    ScreenToWorld(x, y, nearPoint, farPoint);
    worldX = nearPoint[0];
    worldY = nearPoint[1];
}

void CCurveView::OnLeftDown(int x, int y)
{
    double worldX = 0.0;
    double worldY = 0.0;
    WindowToWorld(x, y, worldX, worldY);
    if (m_nMode == MODE_ADD) {
        if (m_bNonNegativeX && !(worldX >= 0.0)) {
            ShowStandardMessage("X > 0이어야 합니다.");
            return;
        }
        if (!std::isfinite(worldX) || !std::isfinite(worldY))
            return;
        m_ControlPoints.insert(m_ControlPoints.begin() + (m_nSelected + 1),
                               CVector3(worldX, worldY, 0.0));
        ++m_nSelected;
        EvaluateCurve();
    } else if (m_nMode == MODE_SELECT) {
        for (std::size_t i = 0; i < m_ControlPoints.size(); ++i) {
            const CVector3& p = m_ControlPoints[i];
            const double dy = p.y - worldY;
            const double dx = p.x - worldX;
            if (dy * dy + dx * dx < kPickRadiusSquared) {
                m_nSelected = static_cast<int>(i);
                break;
            }
        }
    }
    NotifyCurveChanged();
}

void CCurveView::OnDrag(unsigned flags, int x, int y)
{
    if (m_nSelected == -1 || !(flags & MK_LBUTTON) || m_nMode != MODE_SELECT)
        return;
    double worldX = 0.0;
    double worldY = 0.0;
    WindowToWorld(x, y, worldX, worldY);
    if (m_bNonNegativeX && !(worldX >= 0.0))
        worldX = 0.0;
    if (!std::isfinite(worldX) || !std::isfinite(worldY))
        return;
    CVector3& point = m_ControlPoints[static_cast<std::size_t>(m_nSelected)];
    point.x = worldX;
    point.y = worldY;
    EvaluateCurve();
    NotifyCurveChanged();
}

int CCurveView::GetSelectedPoint(CVector3& out) const
{
    if (m_nSelected == -1)
        return -1;
    out = m_ControlPoints[static_cast<std::size_t>(m_nSelected)];
    return m_nSelected;
}

void CCurveView::DeleteSelectedPoint()
{
    if (m_nSelected == -1)
        return;
    m_ControlPoints.erase(m_ControlPoints.begin() + m_nSelected);
    --m_nSelected;
    if (m_nSelected == -1 && !m_ControlPoints.empty())
        m_nSelected = 0;
    EvaluateCurve();
    NotifyCurveChanged();
}

void CCurveView::ResetCurve(unsigned int degree)
{
    m_SamplePoints.clear();
    m_ControlPoints.clear();
    m_SampleParams.clear();
    const float step = static_cast<float>(10.0 / degree);
    for (unsigned int i = 0; i <= degree; ++i) {
        m_ControlPoints.emplace_back(0.0, i * static_cast<double>(step) - 5.0, 0.0);
        if (i == degree)
            break;  // degree may be the largest unsigned value
    }
    m_nSelected = 0;
    EvaluateCurve();
    NotifyCurveChanged();
}

void CCurveView::EvaluateCurve()
{
    ::EvaluateCurve(m_ControlPoints, m_SamplePoints, m_SampleParams);
}

void CCurveView::NotifyCurveChanged()
{
    if (m_hNotifyWnd)
        m_hNotifyWnd->OnCurveChanged();
}
