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

// The triangle strips of the surface swept by the profile along the path, one
// a slice, in emission order; empty when there is no surface (no profile
// samples, no path control points, or settings out of range). A profile with
// fewer control points than the path is resampled with the settings'
// intervals per span.
std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const std::vector<CVector3>& profileSamples,
                                                       const std::vector<CVector3>& pathControls,
                                                       const std::vector<CVector3>& profileControls,
                                                       const SweepSettings& settings = SweepSettings());

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
