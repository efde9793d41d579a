#include "surface/Trackball.h"

#include <GL/gl.h>

#include <cmath>

// No virtual destructor: nothing derives from the trackball and the view
// holds it by value, so it stays a plain value without a vtable.

namespace {

// The sphere constant is a single-precision 1.001; its excess over 1 keeps
// z at least about 0.0316 at and beyond the rim, so no lifted point is flat.
const float kSphereBulge = 1.001f;
// Chords at or below this leave m_LastPoint alone so slow drags accumulate.
const float kMinChord = 0.0001f;
// The zoom never brings the camera closer than this.
const double kMinDistance = 2.0;

int RotationStep(CTrackball& tb, int x, int y)
{
    const CVector3 cur = tb.ProjectToSphere(x, y);
    const double len = cur.Subtract(tb.m_LastPoint).Length();
    if (len <= static_cast<double>(kMinChord))
        return 0;

    const CVector3 axis = tb.m_LastPoint.Cross(cur);
    // A chord of twice the radius is a quarter turn.
    const float angle = static_cast<float>(
        static_cast<float>(len) / (tb.m_fRadius + tb.m_fRadius) * 90.0);

    // The new turn goes in front of the accumulated one, so it is about an
    // axis fixed to the viewer; the caller's modelview matrix is kept.
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(angle, static_cast<float>(axis.x), static_cast<float>(axis.y),
              static_cast<float>(axis.z));
    glMultMatrixf(tb.m_Matrix);
    glGetFloatv(GL_MODELVIEW_MATRIX, tb.m_Matrix);
    glPopMatrix();

    tb.m_LastPoint = cur;
    return 1;
}

void ZoomStep(CTrackball& tb, int x, int y)
{
    const double f = (static_cast<double>(x) - tb.m_LastPoint.x)
                     * static_cast<double>(tb.m_fZoomRate) + 1.0;
    const double reached = f * static_cast<double>(tb.m_fDistance);
    float factor = static_cast<float>(f);
    if (reached < kMinDistance || std::isnan(reached))
        factor = static_cast<float>(kMinDistance / static_cast<double>(tb.m_fDistance));
    const float distance = static_cast<float>(static_cast<double>(factor)
                                              * static_cast<double>(tb.m_fDistance));
    // Past the largest float the camera would sit at infinity and every later
    // step would give NaN: the view could never come back.
    if (std::isfinite(distance))
        tb.m_fDistance = distance;
    tb.m_LastPoint.x = static_cast<double>(x);
    tb.m_LastPoint.y = static_cast<double>(y);
}

} // namespace

CTrackball::CTrackball()
    : m_Matrix{1.0f, 0.0f, 0.0f, 0.0f,
               0.0f, 1.0f, 0.0f, 0.0f,
               0.0f, 0.0f, 1.0f, 0.0f,
               0.0f, 0.0f, 0.0f, 1.0f},
      m_LastPoint{0.0, 0.0, 1.0},
      m_bRotating(0),
      m_bZooming(0),
      m_nWidth(0),
      m_nHeight(0),
      m_fDistance(20.0f),
      m_fRadius(0.4f),
      m_fZoomRate(0.008f)
{
}

void CTrackball::BeginRotation(int x, int y)
{
    m_bRotating = 1;
    m_LastPoint = ProjectToSphere(x, y);
}

void CTrackball::EndRotation()
{
    m_bRotating = 0;
}

void CTrackball::BeginZoom(int x, int y)
{
    // z stays: the rotation drag shares this point.
    m_bZooming = 1;
    m_LastPoint.x = static_cast<double>(x);
    m_LastPoint.y = static_cast<double>(y);
}

void CTrackball::EndZoom()
{
    m_bZooming = 0;
}

int CTrackball::Motion(int x, int y)
{
    // A rotation drag shadows a zoom drag, even on a step that changes nothing.
    if (m_bRotating)
        return RotationStep(*this, x, y);
    if (m_bZooming) {
        ZoomStep(*this, x, y);
        return 1;
    }
    return 0;
}

CVector3 CTrackball::ProjectToSphere(int x, int y) const
{
    // Until the view's first frame has supplied a size there is nothing to
    // scale by: every point lifts to the front pole, so an early drag is a
    // zero chord and turns nothing.
    if (m_nWidth <= 0 || m_nHeight <= 0)
        return CVector3(0.0, 0.0, 1.0);

    const double w = static_cast<double>(m_nWidth);
    const double h = static_cast<double>(m_nHeight);
    CVector3 p((2.0 * static_cast<double>(x) - w) / w,
               (h - 2.0 * static_cast<double>(y)) / h,
               0.0);
    double d = p.Length();
    if (d >= 1.0)
        d = 1.0;
    p.z = std::sqrt(static_cast<double>(kSphereBulge) - d * d);
    p.Normalize();
    return p;
}
