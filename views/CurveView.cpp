#include "views/CurveView.h"

#include <GL/gl.h>

#include <cmath>

CCurveView::CCurveView(CurveDocument& document) : m_Document(document) {}

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
    for (const CVector3& p : m_Document.SamplePoints())
        glVertex2d(p.x, p.y);
    glEnd();
}

void CCurveView::DrawControlPolygon()
{
    glLineWidth(2.0f);
    glColor3f(0.5f, 0.5f, 1.0f);
    const std::vector<CVector3>& points = m_Document.ControlPoints();
    glBegin(GL_LINE_STRIP);
    for (const CVector3& p : points)
        glVertex2d(p.x, p.y);
    glEnd();
    const int selected = m_Document.Selected();
    if (selected == -1)
        return;
    glPointSize(5.0f);
    glBegin(GL_POINTS);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (static_cast<int>(i) == selected)
            glColor3f(1.0f, 0.5f, 0.5f);
        else
            glColor3f(0.5f, 0.5f, 0.5f);
        glVertex2d(points[i].x, points[i].y);
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
    m_Document.Click(worldX, worldY);
}

void CCurveView::OnDrag(unsigned flags, int x, int y)
{
    if (!(flags & MK_LBUTTON))
        return;
    double worldX = 0.0;
    double worldY = 0.0;
    WindowToWorld(x, y, worldX, worldY);
    m_Document.DragSelectedTo(worldX, worldY);
}
