#include "core/Trackball.h"

#include <algorithm>
#include <cmath>

// No virtual destructor: nothing derives from the trackball and the view
// holds it by value, so it stays a plain value without a vtable.

namespace {

// The zoom's change per pixel of horizontal travel on an unscaled display.
const float kZoomRate = 0.008f;

// The sphere constant is a single-precision 1.001; its excess over 1 keeps
// z at least about 0.0316 at and beyond the rim, so no lifted point is flat.
const float kSphereBulge = 1.001f;
// Chords at or below this leave m_LastPoint alone so slow drags accumulate.
const float kMinChord = 0.0001f;
// A single wheel event counts for at most this many notches: the fastest
// wheels report a few, and no event can take the zoom's loop for long.
const int kMaxWheelNotches = 100;
// An axis no longer than this has no usable direction: the turn is skipped.
const float kMinAxisLength = 1.0e-4f;
const double kPi = 3.14159265358979323846;

// The turn used to be composed by OpenGL (Mesa's glRotatef, then
// glMultMatrixf). The matrix sums thousands of drag steps, so a difference
// in the last bit of one step would grow into a view that turns differently
// from the one users know: the functions below repeat Mesa's single-precision
// operations one for one, in the same order.

// Entry (row, col) of a column-major matrix.
float& At(float* m, int row, int col)
{
    return m[col * 4 + row];
}

float At(const float* m, int row, int col)
{
    return m[col * 4 + row];
}

void SetIdentity(float* m)
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

// A turn of `degrees` about the axis (x, y, z) into r; false, with r
// untouched, when the axis is too short to have a direction.
bool BuildRotation(float degrees, float x, float y, float z, float* r)
{
    // Mesa rounds the radians to float and takes the float sine and cosine.
    const float radians = static_cast<float>(static_cast<double>(degrees) * kPi / 180.0);
    const float s = std::sin(radians);
    const float c = std::cos(radians);

    // About one coordinate axis the sine and cosine go in as they are, the
    // axis unnormalised: only the sign of its component counts.
    const int nonZero = (x != 0.0f) + (y != 0.0f) + (z != 0.0f);
    if (nonZero == 1) {
        const int axis = x != 0.0f ? 0 : (y != 0.0f ? 1 : 2);
        const float component = axis == 0 ? x : (axis == 1 ? y : z);
        const float sine = component < 0.0f ? -s : s;
        const int a = (axis + 1) % 3;
        const int b = (axis + 2) % 3;
        SetIdentity(r);
        At(r, a, a) = c;
        At(r, b, b) = c;
        At(r, a, b) = -sine;
        At(r, b, a) = sine;
        return true;
    }

    const float length = std::sqrt(x * x + y * y + z * z);
    if (length <= kMinAxisLength)
        return false;
    x /= length;
    y /= length;
    z /= length;
    const float oneMinusC = 1.0f - c;
    SetIdentity(r);
    At(r, 0, 0) = oneMinusC * (x * x) + c;
    At(r, 0, 1) = oneMinusC * (x * y) - z * s;
    At(r, 0, 2) = oneMinusC * (z * x) + y * s;
    At(r, 1, 0) = oneMinusC * (x * y) + z * s;
    At(r, 1, 1) = oneMinusC * (y * y) + c;
    At(r, 1, 2) = oneMinusC * (y * z) - x * s;
    At(r, 2, 0) = oneMinusC * (z * x) - y * s;
    At(r, 2, 1) = oneMinusC * (y * z) + x * s;
    At(r, 2, 2) = oneMinusC * (z * z) + c;
    return true;
}

// product = a x b (product must not be a or b). Float addition is not
// associative: each entry is summed left to right, column 0 of a's row
// first, as Mesa's 4x4 product sums it, or the last bits would differ.
void Multiply(const float* a, const float* b, float* product)
{
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            At(product, i, j) = At(a, i, 0) * At(b, 0, j) + At(a, i, 1) * At(b, 1, j)
                                + At(a, i, 2) * At(b, 2, j) + At(a, i, 3) * At(b, 3, j);
        }
    }
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
      m_fZoomRate(kZoomRate)
{
}

void CTrackball::SetView(const float matrix[16], float distance)
{
    std::copy(matrix, matrix + 16, m_Matrix);
    m_fDistance = distance;
    m_bRotating = 0;
    m_bZooming = 0;
    m_wheelTravel = 0;
}

void CTrackball::SetDevicePixelRatio(float ratio)
{
    if (ratio > 0.0f)  // anything else keeps the unscaled rate
        m_fZoomRate = kZoomRate / ratio;
}

void CTrackball::SetViewportSize(int width, int height)
{
    m_nWidth = width;
    m_nHeight = height;
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
        return RotationStep(x, y);
    if (m_bZooming) {
        ZoomStep(x, y);
        return 1;
    }
    return 0;
}

int CTrackball::RotationStep(int x, int y)
{
    const CVector3 cur = ProjectToSphere(x, y);
    const double len = cur.Subtract(m_LastPoint).Length();
    if (len <= static_cast<double>(kMinChord))
        return 0;

    const CVector3 axis = m_LastPoint.Cross(cur);
    // A chord of twice the radius is a quarter turn.
    const float angle = static_cast<float>(
        static_cast<float>(len) / (m_fRadius + m_fRadius) * 90.0);

    // The new turn goes in front of the accumulated one, so it is about an
    // axis fixed to the viewer.
    float turn[16];
    if (BuildRotation(angle, static_cast<float>(axis.x), static_cast<float>(axis.y),
                      static_cast<float>(axis.z), turn)) {
        float composed[16];
        Multiply(turn, m_Matrix, composed);
        std::copy(composed, composed + 16, m_Matrix);
    }

    m_LastPoint = cur;
    return 1;
}

void CTrackball::ZoomStep(int x, int y)
{
    const double f = (static_cast<double>(x) - m_LastPoint.x)
                     * static_cast<double>(m_fZoomRate) + 1.0;
    m_fDistance = Zoomed(f, m_fDistance);
    m_wheelTravel = 0;
    m_LastPoint.x = static_cast<double>(x);
    m_LastPoint.y = static_cast<double>(y);
}

float CTrackball::Zoomed(double factor, float from)
{
    const double reached = factor * static_cast<double>(from);
    float narrowed = static_cast<float>(factor);
    if (reached < kMinDistance || std::isnan(reached))
        narrowed = static_cast<float>(kMinDistance / static_cast<double>(from));
    const float distance = static_cast<float>(static_cast<double>(narrowed)
                                              * static_cast<double>(from));
    // Past the largest float the camera would sit at infinity and every later
    // step would give NaN: the view could never come back.
    return std::isfinite(distance) ? distance : from;
}

int CTrackball::Wheel(int angleDelta)
{
    // A notch is a drag step leftward (nearer) on an unscaled display: the
    // wheel turns by notches, not by pixels, on every display. The factor of
    // a partial notch is that of its share of the travel, measured from
    // where the notch began, so that the shares of a notch end where the
    // notch ends.
    const auto factor = [](int travel) {
        const double pixels = static_cast<double>(travel) * kWheelNotchTravel / kWheelNotch;
        return -pixels * static_cast<double>(kZoomRate) + 1.0;
    };
    const int limit = kMaxWheelNotches * kWheelNotch;
    angleDelta = std::clamp(angleDelta, -limit, limit);
    if (m_wheelTravel == 0)
        m_wheelAnchor = m_fDistance;
    m_wheelTravel += angleDelta;
    while (m_wheelTravel >= kWheelNotch || m_wheelTravel <= -kWheelNotch) {
        const int notch = m_wheelTravel > 0 ? kWheelNotch : -kWheelNotch;
        m_wheelAnchor = Zoomed(factor(notch), m_wheelAnchor);
        m_wheelTravel -= notch;
    }
    const float distance =
        m_wheelTravel == 0 ? m_wheelAnchor : Zoomed(factor(m_wheelTravel), m_wheelAnchor);
    // Travel that pressed against the floor is spent, as a drag's is: the
    // way back starts at once.
    if (distance <= static_cast<float>(kMinDistance))
        m_wheelTravel = 0;
    const bool changed = distance != m_fDistance;
    m_fDistance = distance;
    return changed ? 1 : 0;
}

CVector3 CTrackball::ProjectToSphere(int x, int y) const
{
    // Until the view has supplied a size there is nothing to scale by: every
    // point lifts to the front pole, so an early drag is a zero chord and
    // turns nothing.
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
