#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "core/SweepSettings.h"
#include "core/Vector3.h"

// One vertex of the swept surface, in the order it is issued to OpenGL:
// texture coordinate, normal, position.
struct SweepVertex {
    float s, t;
    CVector3 normal;
    CVector3 position;
};

// The profile as the sweep lays it along the path: the points that become
// rings, in order, and the heights that map to the path's start and end
// (ring k sits at path parameter (y - bottom) / height, or 0 where that is not
// finite).
struct SweepProfile {
    std::vector<CVector3> rings;
    double bottom = 0.0;
    double height = 0.0;
};

// The profile's samples as rings: the samples themselves, or, for a profile
// with fewer control points than the path, the profile resampled with the
// settings' intervals per span of the path, so that the tube follows the
// path's bends. The heights always come from the samples.
SweepProfile LayProfile(const std::vector<CVector3>& profileSamples, const std::vector<CVector3>& pathControls,
                        const std::vector<CVector3>& profileControls, const SweepSettings& settings);

// The triangle strips of the surface swept by the profile along the path, one
// a slice, in emission order; empty when there is no surface (no profile
// samples, no path control points, or settings out of range). A profile with
// fewer control points than the path is resampled with the settings'
// intervals per span.
std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const std::vector<CVector3>& profileSamples,
                                                       const std::vector<CVector3>& pathControls,
                                                       const std::vector<CVector3>& profileControls,
                                                       const SweepSettings& settings = SweepSettings());
// The same for a laid profile.
std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const SweepProfile& profile,
                                                       const std::vector<CVector3>& pathControls,
                                                       const SweepSettings& settings);

struct SweepRings;

// The same surface, built for drawing: the strips one after the other,
// each of 2R vertices, every vertex as eight floats in the order OpenGL's
// GL_T2F_N3F_V3F arrays take them (S, T, normal, position). The normal and
// the position are narrowed from double to float, as OpenGL narrows what
// glNormal3d and glVertex3d are given. The builder keeps its storage from
// one build to the next.
class SweepMeshBuilder {
public:
    static constexpr int kFloatsPerVertex = 8;

    SweepMeshBuilder();
    ~SweepMeshBuilder();
    SweepMeshBuilder(const SweepMeshBuilder&) = delete;
    SweepMeshBuilder& operator=(const SweepMeshBuilder&) = delete;

    // False, with no vertices, when there is no surface.
    bool Build(const std::vector<CVector3>& profileSamples, const std::vector<CVector3>& pathControls,
               const std::vector<CVector3>& profileControls, const SweepSettings& settings = SweepSettings());
    const std::vector<float>& Vertices() const { return m_vertices; }
    int StripCount() const { return m_stripCount; }
    std::size_t VerticesPerStrip() const { return m_verticesPerStrip; }

private:
    std::unique_ptr<SweepRings> m_rings;
    std::vector<float> m_vertices;
    int m_stripCount = 0;
    std::size_t m_verticesPerStrip = 0;
};
