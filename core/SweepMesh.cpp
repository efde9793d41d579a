#include "core/SweepMesh.h"

#include <cmath>
#include <cstddef>

#include "core/Bezier.h"

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

// De Casteljau on separate coordinate arrays (one scratch buffer for the whole
// build); per component the same (q[j] * u) + (q[j + 1] * t) as on vectors.
class PathEvaluator {
public:
    explicit PathEvaluator(const std::vector<CVector3>& controls) : m_Controls(controls)
    {
        m_Work.resize(3 * controls.size());
    }

    CVector3 Point(double t)
    {
        const std::size_t q = m_Controls.size();
        double* x = m_Work.data();
        double* y = x + q;
        double* z = y + q;
        for (std::size_t i = 0; i < q; ++i) {
            x[i] = m_Controls[i].x;
            y[i] = m_Controls[i].y;
            z[i] = m_Controls[i].z;
        }
        const double u = 1.0 - t;
        for (std::size_t i = q - 1; i >= 1; --i) {
            for (std::size_t j = 0; j < i; ++j) {
                x[j] = x[j] * u + x[j + 1] * t;
                y[j] = y[j] * u + y[j + 1] * t;
                z[j] = z[j] * u + z[j + 1] * t;
            }
        }
        return {x[0], y[0], z[0]};
    }

    Frame Evaluate(double t)
    {
        Frame f;
        f.m = Point(t);
        const CVector3 plus = Point(t + 1e-05);
        const CVector3 minus = Point(t - 1e-05);
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

private:
    // The central difference vanished (one control point, coincident control
    // points, the tip of a cusp): take the one-sided direction the path
    // continues in, else the one it came from, else straight up the Y axis,
    // the path editor's reset shape.
    static CVector3 FallbackTangent(const CVector3& m, const CVector3& plus, const CVector3& minus)
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

    const std::vector<CVector3>& m_Controls;
    std::vector<double> m_Work;
};

}  // namespace

std::vector<std::vector<SweepVertex>> ComputeSweepMesh(const std::vector<CVector3>& profileSamples,
                                                       const std::vector<CVector3>& pathControls,
                                                       const std::vector<CVector3>& profileControls)
{
    std::vector<std::vector<SweepVertex>> strips;
    if (profileSamples.empty() || pathControls.empty())
        return strips;

    // A profile with fewer control points than the path is resampled as
    // finely as the path would be, so the tube follows the path's bends.
    std::vector<CVector3> resampled;
    const std::size_t n = profileControls.size();
    const std::size_t m = pathControls.size();
    if (n < m)
        SampleBezier(profileControls, static_cast<int>(10 * m - 10), resampled, nullptr);
    const std::vector<CVector3>& rings = n < m ? resampled : profileSamples;

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
    strips.resize(kSlices);
    if (count == 0)
        return strips;

    // Per ring: parameter, frame, the 27 placed points and the 25 normals.
    std::vector<double> params(count);
    std::vector<CVector3> placed(count * kAngles);
    std::vector<CVector3> normals(count * kNormals);
    std::vector<unsigned char> missing(count * kNormals, 0);
    bool anyMissing = false;

    static const AngleTable angles;
    PathEvaluator path(pathControls);
    std::vector<Frame> frames(count);
    for (std::size_t k = 0; k < count; ++k) {
        double t = (rings[k].y - ymin) / range;
        // A flat profile (zero range) has no height to spread along the
        // path: every ring sits at its start.
        if (!std::isfinite(t))
            t = 0.0;
        params[k] = t;
        frames[k] = path.Evaluate(t);

        const Frame& f = frames[k];
        const CVector3& p = rings[k];
        CVector3* row = &placed[k * kAngles];
        for (int i = 0; i < kAngles; ++i) {
            const double c = angles.cosine[i];
            const double s = angles.sine[i];
            const double r = c * p.x + s * p.z;
            const double y = 0.0;
            const double w = c * p.z - s * p.x;
            // The "+ T * 0" terms stay: they decide -0.0 and NaN as written.
            const CVector3 mapped(f.n.x * r + f.t.x * y, f.n.y * r + f.t.y * y, w);
            row[i] = mapped.Add(f.m);
        }
    }

    for (std::size_t k = 0; k < count; ++k) {
        const CVector3* row = &placed[k * kAngles];
        const CVector3* ahead = k + 1 < count ? &placed[(k + 1) * kAngles] : row;
        const CVector3* behind = k > 0 ? &placed[(k - 1) * kAngles] : row;
        for (int i = 0; i < kNormals; ++i) {
            // Angle index i + 1 is a(i); its angular neighbours are i and i + 2.
            CVector3 l = row[i + 2].Subtract(row[i]);
            l.Normalize();
            CVector3 e = ahead[i + 1].Subtract(behind[i + 1]);
            e.Normalize();
            const CVector3 normal = l.Cross(e);
            normals[k * kNormals + i] = normal;
            if (!IsFinite(normal)) {
                missing[k * kNormals + i] = 1;
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
                    const Frame& f = frames[k];
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

    for (int v = 0; v < kSlices; ++v) {
        const float s0 = static_cast<float>(v * 0.0416666679084301);
        const float s1 = static_cast<float>((v + 1) * 0.0416666679084301);
        std::vector<SweepVertex>& strip = strips[v];
        strip.reserve(2 * count);
        for (std::size_t k = 0; k < count; ++k) {
            const float tk = static_cast<float>(params[k]);
            const CVector3* row = &placed[k * kAngles];
            const CVector3* normal = &normals[k * kNormals];
            strip.push_back({s0, tk, normal[v], row[v + 1]});
            strip.push_back({s1, tk, normal[v + 1], row[v + 2]});
        }
    }
    return strips;
}
