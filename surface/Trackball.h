#pragma once

#include "core/Vector3.h"

// Turns mouse drags in the 3D view into a rotation (left button, a virtual
// trackball) and a camera distance (right button, horizontal travel).
class CTrackball {
public:
    CTrackball();

    void BeginRotation(int x, int y);
    void EndRotation();
    void BeginZoom(int x, int y);
    void EndZoom();
    // One step of the active drag; 1 if the rotation or distance changed.
    // The rotation step composes through the current OpenGL context.
    int Motion(int x, int y);
    CVector3 ProjectToSphere(int x, int y) const;

    float m_Matrix[16];
    CVector3 m_LastPoint;
    int m_bRotating;
    int m_bZooming;
    int m_nWidth;
    int m_nHeight;
    float m_fDistance;
    float m_fRadius;
    float m_fZoomRate;
};
