#include "surface/Trackball.h"
// PLACEHOLDER: being written
CTrackball::CTrackball() : m_Matrix{1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1}, m_LastPoint{0,0,0}, m_bRotating(0), m_bZooming(0), m_nWidth(0), m_nHeight(0), m_fDistance(20.0f), m_fRadius(0.4f), m_fZoomRate(0.008f) {}
void CTrackball::BeginRotation(int, int) {}
void CTrackball::EndRotation() {}
void CTrackball::BeginZoom(int, int) {}
void CTrackball::EndZoom() {}
int CTrackball::Motion(int, int) { return 0; }
CVector3 CTrackball::ProjectToSphere(int, int) const { return {0, 0, 1}; }
