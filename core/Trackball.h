#pragma once

#include "core/Vector3.h"

// Turns mouse drags in the 3D view into a rotation (left button, a virtual
// trackball) and a camera distance (right button, horizontal travel, or the
// wheel). Plain arithmetic: the view reads the results and hands them to
// OpenGL.
class CTrackball {
public:
    // The zoom never brings the camera closer than this.
    static constexpr double kMinDistance = 2.0;
    // Wheel rotation in eighths of a degree (what Qt's angleDelta counts) of
    // one notch of a mouse wheel.
    static constexpr int kWheelNotch = 120;
    // The leftward drag, in pixels of an unscaled display, that zooms as far
    // as one notch of the wheel turned forward.
    static constexpr int kWheelNotchTravel = 15;

    CTrackball();

    // The view's client size in pixels. Until one is set, every point lifts
    // to the front pole, so a drag turns nothing.
    void SetViewportSize(int width, int height);
    // Device pixels per pixel of an unscaled display (2 at QT_SCALE_FACTOR=2):
    // the same drag zooms as much on a scaled display.
    void SetDevicePixelRatio(float ratio);
    void BeginRotation(int x, int y);
    void EndRotation();
    void BeginZoom(int x, int y);
    void EndZoom();
    // One step of the active drag; 1 if the rotation or distance changed.
    int Motion(int x, int y);
    // Zooms by `angleDelta` eighths of a degree of the wheel, forward
    // (positive) nearer: a notch as one step of a zoom drag of
    // kWheelNotchTravel pixels, finer steps (touchpads) by their share of it.
    // Steps that add up to a notch leave the camera exactly where the notch
    // does, unless a drag or SetView moved it in between. 1 if the distance
    // changed.
    int Wheel(int angleDelta);
    CVector3 ProjectToSphere(int x, int y) const;

    // The accumulated rotation, 16 floats column-major, as glMultMatrixf takes it.
    const float* Matrix() const { return m_Matrix; }
    float Distance() const { return m_fDistance; }
    bool IsRotating() const { return m_bRotating != 0; }
    bool IsZooming() const { return m_bZooming != 0; }
    // Puts the view where a saved design left it; a drag in progress ends.
    void SetView(const float matrix[16], float distance);

private:
    // Tests put the shared drag point where no drag can, to check the zoom's
    // guard against it.
    friend class TrackballTestAccess;

    int RotationStep(int x, int y);
    void ZoomStep(int x, int y);
    // The distance after a zoom step of `factor` from `from`: never nearer
    // than kMinDistance, and `from` where it would not be finite.
    static float Zoomed(double factor, float from);

    float m_Matrix[16];
    CVector3 m_LastPoint;
    int m_bRotating;
    int m_bZooming;
    int m_nWidth;
    int m_nHeight;
    float m_fDistance;
    float m_fRadius;
    float m_fZoomRate;
    // The wheel's travel, in eighths of a degree within (-notch, notch),
    // since the distance was m_wheelAnchor.
    int m_wheelTravel = 0;
    float m_wheelAnchor = 0.0f;
};
