#include "core/SweepMesh.h"

#include <cmath>
#include <cstddef>
#include <memory>

#include "core/Bezier.h"
#include "core/DeCasteljau.h"

// Every number here is produced by the same operations, in the same order, as
// the ring-by-ring, slice-by-slice build it replaces; only repetition is
// removed: each ring's frame is evaluated once, each vertex V(k, j) and each
// normal is computed once. Guards apply only where that build yields a
// non-finite value, so every finite result is unchanged to the bit.

namespace {

constexpr int kSlices = 24;
constexpr int kFirstAngle = -1;  // slice 0 looks back to a(-1)
constexpr int kAngles = kSlices + 3;  // a(-1) .. a(25)
constexpr int kNormals = kSlices + 1;  // normals at a(0) .. a(24)

struct Frame {
    CVector3 m, t, n;
};

struct AngleTable {
    double cosine[kAngles];
    double sine[kAngles];
    AngleTable()
    {
        for (int i = 0; i < kAngles; ++i) {
            const double a = (i + kFirstAngle) * 0.2617993877991494;
            cosine[i] = std::cos(a);
            sine[i] = std::sin(a);
        }
    }
};

bool IsFinite(const CVector3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The central difference vanished (one control point, coincident control
// points, the tip of a cusp): take the one-sided direction the path
// continues in, else the one it came from, else straight up the Y axis,
// the path editor's reset shape.
CVector3 FallbackTangent(const CVector3& m, const CVector3& plus, const CVector3& minus)
{
    CVector3 ahead = plus.Subtract(m);
    ahead.Normalize();
    if (IsFinite(ahead))
        return ahead;
    CVector3 behind = m.Subtract(minus);
    behind.Normalize();
    if (IsFinite(behind))
        return behind;
    return {0.0, 1.0, 0.0};
}

// The frame of the path at t from the path's point there and its points a
// step ahead and behind.
Frame MakeFrame(const CVector3& m, const CVector3& plus, const CVector3& minus)
{
    Frame f;
    f.m = m;
    f.t = plus.Subtract(minus);
    f.t.Normalize();
    if (!IsFinite(f.t))
        f.t = FallbackTangent(f.m, plus, minus);
    // The quarter turn clockwise, with the cosine and sine of -pi/2 as
    // doubles, exactly as a general rotation would compute it.
    const double c = std::cos(-1.5707963267948966);
    const double s = std::sin(-1.5707963267948966);
    f.n = CVector3(c * f.t.x - s * f.t.y, s * f.t.x + c * f.t.y, f.t.z);
    f.n.Normalize();
    return f;
}

}  // namespace

// The rings of one build: each ring's parameter and frame, its 27 placed
// points and its 25 normals. Kept by a SweepMeshBuilder between builds so
// that its storage is reused.
struct SweepRings {
    std::vector<CVector3> resampled;
    std::vector<double> params;
    std::vector<double> ts;
    std::vector<double> us;
    std::vector<CVector3> pathPoints;
    std::vector<Frame> frames;
    std::vector<CVector3> placed;
    std::vector<CVector3> normals;
    std::vector<unsigned char> missing;
    std::size_t count = 0;
};

namespace {

// Fills `r` for the inputs; false when there is no surface (no profile
// samples or no path control points).
bool ComputeRings(const std::vector<CVector3>& profileSamples, const std::vector<CVector3>& pathControls,
                  const std::vector<CVector3>& profileControls, SweepRings& r)
{
    r.count = 0;
    if (profileSamples.empty() || pathControls.empty())
        return false;

    // A profile with fewer control points than the path is resampled as
    // finely as the path would be, so the tube follows the path's bends.
    const std::size_t n = profileControls.size();
    const std::size_t m = pathControls.size();
    r.resampled.clear();
    if (n < m)
        SampleBezier(profileControls, static_cast<int>(10 * m - 10), r.resampled, nullptr);
    const std::vector<CVector3>& rings = n < m ? r.resampled : profileSamples;

    double ymin = profileSamples[0].y;
    double ymax = profileSamples[0].y;
    for (const CVector3& p : profileSamples) {
        if (ymax < p.y)
            ymax = p.y;
        if (p.y < ymin)
            ymin = p.y;
    }
    const double range = ymax - ymin;

    const std::size_t count = rings.size();
    r.count = count;
    if (count == 0)
        return true;

    // Per ring: parameter, frame, the 27 placed points and the 25 normals.
    r.params.resize(count);
    r.placed.resize(count * kAngles);
    r.normals.resize(count * kNormals);
    r.missing.assign(count * kNormals, 0);
    bool anyMissing = false;

    static const AngleTable angles;
    // Each ring needs the path at its parameter t and at t + 1e-05 and
    // t - 1e-05 (the tangent's central difference): three evaluations a
    // ring, done as one batch.
    r.ts.resize(3 * count);
    r.us.resize(3 * count);
    for (std::size_t k = 0; k < count; ++k) {
        double t = (rings[k].y - ymin) / range;
        // A flat profile (zero range) has no height to spread along the
        // path: every ring sits at its start.
        if (!std::isfinite(t))
            t = 0.0;
        r.params[k] = t;
        const double tPlus = t + 1e-05;
        const double tMinus = t - 1e-05;
        r.ts[k] = t;
        r.ts[count + k] = tPlus;
        r.ts[2 * count + k] = tMinus;
        r.us[k] = 1.0 - t;
        r.us[count + k] = 1.0 - tPlus;
        r.us[2 * count + k] = 1.0 - tMinus;
    }
    r.pathPoints.resize(3 * count);
    decasteljau::EvaluateMany(pathControls, r.ts.data(), r.us.data(), 3 * count, r.pathPoints.data());

    r.frames.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        r.frames[k] = MakeFrame(r.pathPoints[k], r.pathPoints[count + k], r.pathPoints[2 * count + k]);

        const Frame& f = r.frames[k];
        const CVector3& p = rings[k];
        CVector3* row = &r.placed[k * kAngles];
        for (int i = 0; i < kAngles; ++i) {
            const double c = angles.cosine[i];
            const double s = angles.sine[i];
            const double rr = c * p.x + s * p.z;
            const double y = 0.0;
            const double w = c * p.z - s * p.x;
            // The "+ T * 0" terms stay: they decide -0.0 and NaN as written.
            const CVector3 mapped(f.n.x * rr + f.t.x * y, f.n.y * rr + f.t.y * y, w);
            row[i] = mapped.Add(f.m);
        }
    }

    for (std::size_t k = 0; k < count; ++k) {
        const CVector3* row = &r.placed[k * kAngles];
        const CVector3* ahead = k + 1 < count ? &r.placed[(k + 1) * kAngles] : row;
        const CVector3* behind = k > 0 ? &r.placed[(k - 1) * kAngles] : row;
        for (int i = 0; i < kNormals; ++i) {
            // Angle index i + 1 is a(i); its angular neighbours are i and i + 2.
            CVector3 l = row[i + 2].Subtract(row[i]);
            l.Normalize();
            CVector3 e = ahead[i + 1].Subtract(behind[i + 1]);
            e.Normalize();
            const CVector3 normal = l.Cross(e);
            r.normals[k * kNormals + i] = normal;
            if (!IsFinite(normal)) {
                r.missing[k * kNormals + i] = 1;
                anyMissing = true;
            }
        }
    }

    if (anyMissing) {
        // A ring of radius zero has no circumferential direction, coincident
        // rings no profile direction. Such a vertex borrows the normal of the
        // nearest ring at the same angle that has one (the pole of a closed
        // profile then faces along the axis); with no such ring, the ring's
        // outward radial direction at that angle. At equal distance the
        // earlier ring wins.
        std::vector<CVector3>& normals = r.normals;
        const std::vector<unsigned char>& missing = r.missing;
        bool columnHasNormal[kNormals] = {};
        for (std::size_t k = 0; k < count; ++k)
            for (int i = 0; i < kNormals; ++i)
                columnHasNormal[i] = columnHasNormal[i] || !missing[k * kNormals + i];
        for (std::size_t k = 0; k < count; ++k) {
            for (int i = 0; i < kNormals; ++i) {
                if (!missing[k * kNormals + i])
                    continue;
                bool found = false;
                for (std::size_t d = 1; d < count && !found && columnHasNormal[i]; ++d) {
                    if (k >= d && !missing[(k - d) * kNormals + i]) {
                        normals[k * kNormals + i] = normals[(k - d) * kNormals + i];
                        found = true;
                    } else if (k + d < count && !missing[(k + d) * kNormals + i]) {
                        normals[k * kNormals + i] = normals[(k + d) * kNormals + i];
                        found = true;
                    }
                }
                if (!found) {
                    const Frame& f = r.frames[k];
                    const double c = angles.cosine[i + 1];
                    const double s = angles.sine[i + 1];
                    CVector3 radial(f.n.x * c, f.n.y * c, -s);
                    radial.Normalize();
                    // A frame turned onto the Z axis leaves no in-plane
                    // direction; the unbent ring's radial direction remains.
                    if (!IsFinite(radial))
                        radial = CVector3(c, 0.0, -s);
                    normals[k * kNormals + i] = radial;
                }
            }
        }
    }
    return true;
}

// The texture S of the two edges of slice v.
float SliceStart(int v)
{
    return static_cast<float>(v * 0.0416666679084301);
}

float SliceEnd(int v)
{
    return static_cast<float>((v + 1) * 0.0416666679084301);
}

}  // namespace

std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const std::vector<CVector3>& profileSamples,
                                                       const std::vector<CVector3>& pathControls,
                                                       const std::vector<CVector3>& profileControls)
{
    std::vector<std::vector<SweepVertex>> strips;
    SweepRings r;
    if (!ComputeRings(profileSamples, pathControls, profileControls, r))
        return strips;
    strips.resize(kSlices);
    const std::size_t count = r.count;
    for (int v = 0; v < kSlices; ++v) {
        const float s0 = SliceStart(v);
        const float s1 = SliceEnd(v);
        std::vector<SweepVertex>& strip = strips[v];
        strip.resize(2 * count);
        SweepVertex* out = strip.data();
        for (std::size_t k = 0; k < count; ++k) {
            const float tk = static_cast<float>(r.params[k]);
            const CVector3* row = &r.placed[k * kAngles];
            const CVector3* normal = &r.normals[k * kNormals];
            *out++ = {s0, tk, normal[v], row[v + 1]};
            *out++ = {s1, tk, normal[v + 1], row[v + 2]};
        }
    }
    return strips;
}

SweepMeshBuilder::SweepMeshBuilder() : m_rings(std::make_unique<SweepRings>()) {}
SweepMeshBuilder::~SweepMeshBuilder() = default;

bool SweepMeshBuilder::Build(const std::vector<CVector3>& profileSamples,
                             const std::vector<CVector3>& pathControls,
                             const std::vector<CVector3>& profileControls)
{
    SweepRings& r = *m_rings;
    m_verticesPerStrip = 0;
    if (!ComputeRings(profileSamples, pathControls, profileControls, r)) {
        m_vertices.clear();
        return false;
    }
    const std::size_t count = r.count;
    m_verticesPerStrip = 2 * count;
    m_vertices.resize(kSlices * m_verticesPerStrip * kFloatsPerVertex);
    float* out = m_vertices.data();
    auto put = [&out](float s, float t, const CVector3& normal, const CVector3& position) {
        out[0] = s;
        out[1] = t;
        out[2] = static_cast<float>(normal.x);
        out[3] = static_cast<float>(normal.y);
        out[4] = static_cast<float>(normal.z);
        out[5] = static_cast<float>(position.x);
        out[6] = static_cast<float>(position.y);
        out[7] = static_cast<float>(position.z);
        out += kFloatsPerVertex;
    };
    for (int v = 0; v < kSlices; ++v) {
        const float s0 = SliceStart(v);
        const float s1 = SliceEnd(v);
        for (std::size_t k = 0; k < count; ++k) {
            const float tk = static_cast<float>(r.params[k]);
            const CVector3* row = &r.placed[k * kAngles];
            const CVector3* normal = &r.normals[k * kNormals];
            put(s0, tk, normal[v], row[v + 1]);
            put(s1, tk, normal[v + 1], row[v + 2]);
        }
    }
    return true;
}
