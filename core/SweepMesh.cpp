#include "core/SweepMesh.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>

#include "core/Bezier.h"
#include "core/DeCasteljau.h"
#include "core/SplitWork.h"
#include "core/SweepRings.h"

// Every number here is produced by the same operations, in the same order, as
// the ring-by-ring, slice-by-slice build it replaces; only repetition is
// removed: each ring's frame is evaluated once, each vertex V(k, j) and each
// normal is computed once. Guards apply only where that build yields a
// non-finite value, so every finite result is unchanged to the bit.

namespace {

constexpr int kFirstAngle = -1;  // slice 0 looks back to a(-1)
// Rings below which a second thread costs more than it saves.
constexpr std::size_t kRingsToSplit = 1000;

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
SweepRings::Frame MakeFrame(const CVector3& m, const CVector3& plus, const CVector3& minus)
{
    SweepRings::Frame f;
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

void SweepRings::AngleTable::Prepare(const SweepSettings& settings)
{
    if (slices == settings.slices)
        return;
    slices = settings.slices;
    const double step = settings.AngleStep();
    cosine.resize(static_cast<std::size_t>(slices) + 3);
    sine.resize(cosine.size());
    for (std::size_t i = 0; i < cosine.size(); ++i) {
        const double a = (static_cast<int>(i) + kFirstAngle) * step;
        cosine[i] = std::cos(a);
        sine[i] = std::sin(a);
    }
}

namespace {

template <typename T>
bool SameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// The lowest and highest Y of the samples.
void HeightRange(const std::vector<CVector3>& profileSamples, double& ymin, double& ymax)
{
    ymin = profileSamples[0].y;
    ymax = profileSamples[0].y;
    for (const CVector3& p : profileSamples) {
        if (ymax < p.y)
            ymax = p.y;
        if (p.y < ymin)
            ymin = p.y;
    }
}

// Whether the profile is resampled finely as the path would be (see LayProfile).
bool FollowsPathBends(const std::vector<CVector3>& profileControls, const std::vector<CVector3>& pathControls)
{
    return profileControls.size() < pathControls.size();
}

void ResampleForPath(const std::vector<CVector3>& profileControls, const std::vector<CVector3>& pathControls,
                     const SweepSettings& settings, std::vector<CVector3>& out)
{
    out.clear();
    SampleBezier(profileControls, settings.intervalsPerSpan * static_cast<int>(pathControls.size() - 1), out,
                 nullptr);
}

// Fills `r` for rings laid between heights ymin and ymin + range; false when
// there is no surface (no rings, no path control points, or settings out of
// range).
bool ComputeRings(const std::vector<CVector3>& rings, double ymin, double range,
                  const std::vector<CVector3>& pathControls, const SweepSettings& settings, SweepRings& r)
{
    r.count = 0;
    if (rings.empty() || pathControls.empty() || !CheckSweepSettings(settings))
        return false;

    const std::size_t count = rings.size();
    r.count = count;

    // Per ring: parameter, frame, the placed points and the normals.
    r.angles.Prepare(settings);
    const SweepRings::AngleTable& angles = r.angles;
    const std::size_t angleCount = static_cast<std::size_t>(settings.slices) + 3;
    const std::size_t normalCount = static_cast<std::size_t>(settings.slices) + 1;
    r.angleCount = angleCount;
    r.normalCount = normalCount;
    r.params.resize(count);
    r.placed.resize(count * angleCount);
    r.normals.resize(count * normalCount);
    r.missing.assign(count * normalCount, 0);

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
    if (!SameBits(pathControls, r.evaluatedPath) || !SameBits(r.ts, r.evaluatedTs)) {
        r.pathPoints.resize(3 * count);
        decasteljau::EvaluateMany(pathControls, r.ts.data(), r.us.data(), 3 * count, r.pathPoints.data());
        r.evaluatedPath = pathControls;
        r.evaluatedTs = r.ts;
    }

    // Each ring's points, then each ring's normals (from its neighbours'
    // points), in two halves of the rings side by side.
    r.frames.resize(count);
    SplitWork(count, kRingsToSplit, [&](std::size_t first, std::size_t end) {
        for (std::size_t k = first; k < end; ++k) {
            r.frames[k] = MakeFrame(r.pathPoints[k], r.pathPoints[count + k], r.pathPoints[2 * count + k]);

            const SweepRings::Frame& f = r.frames[k];
            const CVector3& p = rings[k];
            CVector3* row = &r.placed[k * angleCount];
            for (std::size_t i = 0; i < angleCount; ++i) {
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
    });

    unsigned char halfMissing[2] = {0, 0};
    SplitWork(count, kRingsToSplit, [&](std::size_t first, std::size_t end) {
        for (std::size_t k = first; k < end; ++k) {
            const CVector3* row = &r.placed[k * angleCount];
            const CVector3* ahead = k + 1 < count ? &r.placed[(k + 1) * angleCount] : row;
            const CVector3* behind = k > 0 ? &r.placed[(k - 1) * angleCount] : row;
            for (std::size_t i = 0; i < normalCount; ++i) {
                // Angle index i + 1 is a(i); its angular neighbours are i and i + 2.
                CVector3 l = row[i + 2].Subtract(row[i]);
                l.Normalize();
                CVector3 e = ahead[i + 1].Subtract(behind[i + 1]);
                e.Normalize();
                const CVector3 normal = l.Cross(e);
                r.normals[k * normalCount + i] = normal;
                if (!IsFinite(normal)) {
                    r.missing[k * normalCount + i] = 1;
                    halfMissing[first == 0 ? 0 : 1] = 1;
                }
            }
        }
    });
    const bool anyMissing = halfMissing[0] || halfMissing[1];

    if (anyMissing) {
        // A ring of radius zero has no circumferential direction, coincident
        // rings no profile direction. Such a vertex borrows the normal of the
        // nearest ring at the same angle that has one (the pole of a closed
        // profile then faces along the axis); with no such ring, the ring's
        // outward radial direction at that angle. At equal distance the
        // earlier ring wins.
        std::vector<CVector3>& normals = r.normals;
        const std::vector<unsigned char>& missing = r.missing;
        std::vector<unsigned char>& columnHasNormal = r.columnHasNormal;
        columnHasNormal.assign(normalCount, 0);
        for (std::size_t k = 0; k < count; ++k)
            for (std::size_t i = 0; i < normalCount; ++i)
                columnHasNormal[i] = columnHasNormal[i] || !missing[k * normalCount + i];
        for (std::size_t k = 0; k < count; ++k) {
            for (std::size_t i = 0; i < normalCount; ++i) {
                if (!missing[k * normalCount + i])
                    continue;
                bool found = false;
                for (std::size_t d = 1; d < count && !found && columnHasNormal[i]; ++d) {
                    if (k >= d && !missing[(k - d) * normalCount + i]) {
                        normals[k * normalCount + i] = normals[(k - d) * normalCount + i];
                        found = true;
                    } else if (k + d < count && !missing[(k + d) * normalCount + i]) {
                        normals[k * normalCount + i] = normals[(k + d) * normalCount + i];
                        found = true;
                    }
                }
                if (!found) {
                    const SweepRings::Frame& f = r.frames[k];
                    const double c = angles.cosine[i + 1];
                    const double s = angles.sine[i + 1];
                    CVector3 radial(f.n.x * c, f.n.y * c, -s);
                    radial.Normalize();
                    // A frame turned onto the Z axis leaves no in-plane
                    // direction; the unbent ring's radial direction remains.
                    if (!IsFinite(radial))
                        radial = CVector3(c, 0.0, -s);
                    normals[k * normalCount + i] = radial;
                }
            }
        }
    }
    return true;
}

}  // namespace

float SliceEdgeS(int edge, float step)
{
    return static_cast<float>(edge * static_cast<double>(step));
}

bool ComputeSweepRings(const SweepProfile& profile, const std::vector<CVector3>& pathControls,
                       const SweepSettings& settings, SweepRings& rings)
{
    return ComputeRings(profile.rings, profile.bottom, profile.height, pathControls, settings, rings);
}

SweepProfile LayProfile(const std::vector<CVector3>& profileSamples, const std::vector<CVector3>& pathControls,
                        const std::vector<CVector3>& profileControls, const SweepSettings& settings)
{
    SweepProfile laid;
    if (profileSamples.empty() || pathControls.empty() || !CheckSweepSettings(settings))
        return laid;
    if (FollowsPathBends(profileControls, pathControls))
        ResampleForPath(profileControls, pathControls, settings, laid.rings);
    else
        laid.rings = profileSamples;
    double ymax = 0.0;
    HeightRange(profileSamples, laid.bottom, ymax);
    laid.height = ymax - laid.bottom;
    return laid;
}

std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const std::vector<CVector3>& profileSamples,
                                                       const std::vector<CVector3>& pathControls,
                                                       const std::vector<CVector3>& profileControls,
                                                       const SweepSettings& settings)
{
    return ComputeSweepMesh(LayProfile(profileSamples, pathControls, profileControls, settings), pathControls,
                            settings);
}

std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const SweepProfile& profile,
                                                       const std::vector<CVector3>& pathControls,
                                                       const SweepSettings& settings)
{
    std::vector<std::vector<SweepVertex>> strips;
    SweepRings r;
    if (!ComputeSweepRings(profile, pathControls, settings, r))
        return strips;
    strips.resize(static_cast<std::size_t>(settings.slices));
    const float step = settings.TextureStep();
    const std::size_t count = r.count;
    for (int v = 0; v < settings.slices; ++v) {
        const float s0 = SliceEdgeS(v, step);
        const float s1 = SliceEdgeS(v + 1, step);
        std::vector<SweepVertex>& strip = strips[static_cast<std::size_t>(v)];
        strip.resize(2 * count);
        SweepVertex* out = strip.data();
        for (std::size_t k = 0; k < count; ++k) {
            const float tk = static_cast<float>(r.params[k]);
            const CVector3* row = &r.placed[k * r.angleCount];
            const CVector3* normal = &r.normals[k * r.normalCount];
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
                             const std::vector<CVector3>& profileControls, const SweepSettings& settings)
{
    SweepRings& r = *m_rings;
    m_stripCount = 0;
    m_verticesPerStrip = 0;
    if (profileSamples.empty() || pathControls.empty()) {
        m_vertices.clear();
        return false;
    }
    // The rings are laid as LayProfile lays them, into storage kept between builds.
    const bool resampled = FollowsPathBends(profileControls, pathControls);
    const int intervals = settings.intervalsPerSpan * static_cast<int>(pathControls.size() - 1);
    if (resampled && (intervals != r.resampledIntervals || !SameBits(profileControls, r.resampledFrom))) {
        ResampleForPath(profileControls, pathControls, settings, r.resampled);
        r.resampledFrom = profileControls;
        r.resampledIntervals = intervals;
    }
    double ymin = 0.0;
    double ymax = 0.0;
    HeightRange(profileSamples, ymin, ymax);
    if (!ComputeRings(resampled ? r.resampled : profileSamples, ymin, ymax - ymin, pathControls, settings, r)) {
        m_vertices.clear();
        return false;
    }
    const std::size_t count = r.count;
    m_stripCount = settings.slices;
    m_verticesPerStrip = 2 * count;
    m_vertices.resize(static_cast<std::size_t>(m_stripCount) * m_verticesPerStrip * kFloatsPerVertex);
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
    const float step = settings.TextureStep();
    for (int v = 0; v < m_stripCount; ++v) {
        const float s0 = SliceEdgeS(v, step);
        const float s1 = SliceEdgeS(v + 1, step);
        for (std::size_t k = 0; k < count; ++k) {
            const float tk = static_cast<float>(r.params[k]);
            const CVector3* row = &r.placed[k * r.angleCount];
            const CVector3* normal = &r.normals[k * r.normalCount];
            put(s0, tk, normal[v], row[v + 1]);
            put(s1, tk, normal[v + 1], row[v + 2]);
        }
    }
    return true;
}
