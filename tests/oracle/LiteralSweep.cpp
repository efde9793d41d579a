#include "tests/oracle/LiteralSweep.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <sstream>

#include "core/Bezier.h"

namespace literal {

namespace {

CVector3 DeCasteljau(std::vector<CVector3>& q, double t)
{
    const double u = 1.0 - t;
    for (std::size_t i = q.size() - 1; i >= 1; --i)
        for (std::size_t j = 0; j < i; ++j)
            q[j] = q[j].Scale(u).Add(q[j + 1].Scale(t));
    return q[0];
}

struct Frame {
    CVector3 m, t, n;
};

Frame PathFrame(double t, const std::vector<CVector3>& path)
{
    Frame f;
    EvaluatePointTangent(t, f.m, f.t, path);
    RotateZ(-1.5707963267948966, f.t.x, f.t.y, f.t.z, f.n);
    f.n.Normalize();
    return f;
}

CVector3 Place(const CVector3& p, double a, const Frame& f)
{
    CVector3 rotated;
    RotateY(a, p.x, 0.0, p.z, rotated);
    const double r = rotated.x;
    const CVector3 mapped(f.n.x * r + f.t.x * rotated.y, f.n.y * r + f.t.y * rotated.y, rotated.z);
    return mapped.Add(f.m);
}

}  // namespace

void EvaluatePointTangent(double t, CVector3& point, CVector3& tangent,
                          const std::vector<CVector3>& controls)
{
    std::vector<CVector3> q(controls);
    point = DeCasteljau(q, t);
    const double tPlus = t + 1e-05;
    const double tMinus = t - 1e-05;
    q.assign(controls.begin(), controls.end());
    const CVector3 plus = DeCasteljau(q, tPlus);
    q.assign(controls.begin(), controls.end());
    const CVector3 minus = DeCasteljau(q, tMinus);
    tangent = plus.Subtract(minus);
    tangent.Normalize();
}

void RotateY(double angle, double x, double y, double z, CVector3& out)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    out.x = c * x + s * z;
    out.y = y;
    out.z = c * z - s * x;
}

void RotateZ(double angle, double x, double y, double z, CVector3& out)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    out.x = c * x - s * y;
    out.y = s * x + c * y;
    out.z = z;
}

std::vector<std::vector<SweepVertex>> SweepMesh(const std::vector<CVector3>& profileSamples,
                                                const std::vector<CVector3>& pathControls,
                                                const std::vector<CVector3>& profileControls,
                                                const SweepSettings& settings)
{
    std::vector<std::vector<SweepVertex>> strips;
    if (profileSamples.empty() || pathControls.empty())
        return strips;

    std::vector<CVector3> rings;
    const std::size_t n = profileControls.size();
    const std::size_t m = pathControls.size();
    if (n < m)
        SampleBezier(profileControls, settings.intervalsPerSpan * static_cast<int>(m - 1), rings, nullptr);
    else
        rings = profileSamples;

    double ymin = profileSamples[0].y;
    double ymax = profileSamples[0].y;
    for (const CVector3& p : profileSamples) {
        if (ymax < p.y)
            ymax = p.y;
        if (p.y < ymin)
            ymin = p.y;
    }
    const double range = ymax - ymin;

    const int count = static_cast<int>(rings.size());
    const double step = 2.0 * M_PI / settings.slices;
    const float sStep = 1.0f / static_cast<float>(settings.slices);
    for (int v = 0; v < settings.slices; ++v) {
        const float s0 = static_cast<float>(v * static_cast<double>(sStep));
        const float s1 = static_cast<float>((v + 1) * static_cast<double>(sStep));
        std::vector<SweepVertex> strip;
        if (!rings.empty()) {
            const double a[4] = {(v - 1) * step, v * step, (v + 1) * step, (v + 2) * step};
            for (int k = 0; k < count; ++k) {
                const double tk = (rings[k].y - ymin) / range;
                Frame before{}, after{};
                if (k > 0)
                    before = PathFrame((rings[k - 1].y - ymin) / range, pathControls);
                if (k < count - 1)
                    after = PathFrame((rings[k + 1].y - ymin) / range, pathControls);
                const Frame here = PathFrame(tk, pathControls);

                // a[1 + i] is a(j) for j = v + i; the first vertex's V(k, v + 1)
                // is the second vertex, and its V(k, v) the second's backward
                // angular neighbour.
                CVector3 previous = Place(rings[k], a[0], here);
                CVector3 current = Place(rings[k], a[1], here);
                for (int i = 0; i < 2; ++i) {
                    const CVector3 next = Place(rings[k], a[2 + i], here);
                    CVector3 l = next.Subtract(previous);
                    l.Normalize();
                    const CVector3 forward =
                        k < count - 1 ? Place(rings[k + 1], a[1 + i], after) : current;
                    const CVector3 backward = k > 0 ? Place(rings[k - 1], a[1 + i], before) : current;
                    CVector3 e = forward.Subtract(backward);
                    e.Normalize();
                    const CVector3 normal = l.Cross(e);
                    strip.push_back({i == 0 ? s0 : s1, static_cast<float>(tk), normal, current});
                    previous = current;
                    current = next;
                }
            }
        }
        strips.push_back(std::move(strip));
    }
    return strips;
}

}  // namespace literal

namespace literal {

namespace {

template <typename Number>
bool SameBits(Number a, Number b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename Number>
void CompareNumber(Number want, Number got, std::size_t strip, std::size_t vertex, const char* what,
                   MeshComparison& result)
{
    bool bad = false;
    if (!std::isfinite(want)) {
        ++result.nonFiniteReference;
        bad = !std::isfinite(got);
    } else {
        bad = !SameBits(want, got);
    }
    if (!bad)
        return;
    if (result.mismatches++ == 0) {
        std::ostringstream text;
        text.precision(17);
        text << what << " of strip " << strip << " vertex " << vertex << ": expected " << want
             << ", got " << got;
        result.firstMismatch = text.str();
    }
}

}  // namespace

MeshComparison CompareMeshes(const std::vector<std::vector<SweepVertex>>& reference,
                             const std::vector<std::vector<SweepVertex>>& candidate)
{
    MeshComparison result;
    if (reference.size() != candidate.size()) {
        result.mismatches = 1;
        result.firstMismatch = "different strip counts";
        return result;
    }
    for (std::size_t v = 0; v < reference.size(); ++v) {
        if (reference[v].size() != candidate[v].size()) {
            if (result.mismatches++ == 0)
                result.firstMismatch = "different vertex counts in strip " + std::to_string(v);
            continue;
        }
        for (std::size_t i = 0; i < reference[v].size(); ++i) {
            const SweepVertex& a = reference[v][i];
            const SweepVertex& b = candidate[v][i];
            CompareNumber(a.s, b.s, v, i, "s", result);
            CompareNumber(a.t, b.t, v, i, "t", result);
            CompareNumber(a.normal.x, b.normal.x, v, i, "normal x", result);
            CompareNumber(a.normal.y, b.normal.y, v, i, "normal y", result);
            CompareNumber(a.normal.z, b.normal.z, v, i, "normal z", result);
            CompareNumber(a.position.x, b.position.x, v, i, "position x", result);
            CompareNumber(a.position.y, b.position.y, v, i, "position y", result);
            CompareNumber(a.position.z, b.position.z, v, i, "position z", result);
        }
    }
    return result;
}

}  // namespace literal
