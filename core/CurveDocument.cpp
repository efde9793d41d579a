#include "core/CurveDocument.h"

#include <cmath>
#include <utility>

#include "core/Bezier.h"
#include "core/design/Design.h"

namespace {

// Squared pick radius: a click picks points closer than about 0.707.
constexpr double kPickRadiusSquared = 0.5;

} // namespace

static_assert(kMaxCurvePoints == kMaxControlPoints, "a curve holds what a design file can keep");

CurveDocument::CurveDocument(bool nonNegativeX) : m_bNonNegativeX(nonNegativeX) {}

void CurveDocument::Click(double x, double y)
{
    if (m_nMode == EditMode::Add) {
        // NaN fails the test too: a point that is not on the right is refused.
        if (m_bNonNegativeX && !(x >= 0.0)) {
            if (m_listener)
                m_listener->OnEditRefused(*this, EditRefusal::NegativeX);
            return;
        }
        if (!std::isfinite(x) || !std::isfinite(y))
            return;
        if (m_ControlPoints.size() >= kMaxCurvePoints) {
            if (m_listener)
                m_listener->OnEditRefused(*this, EditRefusal::TooManyPoints);
            return;
        }
        m_ControlPoints.insert(m_ControlPoints.begin() + (m_nSelected + 1), CVector3(x, y, 0.0));
        ++m_nSelected;
        EvaluateCurve();
    } else if (const int picked = PointAt(x, y); picked != -1) {
        m_nSelected = picked;
    }
    NotifyCurveChanged();
}

int CurveDocument::PointAt(double x, double y) const
{
    for (std::size_t i = 0; i < m_ControlPoints.size(); ++i) {
        const CVector3& p = m_ControlPoints[i];
        const double dy = p.y - y;
        const double dx = p.x - x;
        if (dy * dy + dx * dx < kPickRadiusSquared)
            return static_cast<int>(i);
    }
    return -1;
}

void CurveDocument::DragSelectedTo(double x, double y)
{
    if (m_nSelected == -1 || m_nMode != EditMode::Select)
        return;
    if (m_bNonNegativeX && !(x >= 0.0))
        x = 0.0;
    if (!std::isfinite(x) || !std::isfinite(y))
        return;
    CVector3& point = m_ControlPoints[static_cast<std::size_t>(m_nSelected)];
    point.x = x;
    point.y = y;
    EvaluateCurve();
    NotifyCurveChanged();
}

bool CurveDocument::MoveSelectedTo(double x, double y)
{
    if (m_nSelected == -1)
        return false;
    if (m_bNonNegativeX && !(x >= 0.0)) {
        if (m_listener)
            m_listener->OnEditRefused(*this, EditRefusal::NegativeX);
        return false;
    }
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    CVector3& point = m_ControlPoints[static_cast<std::size_t>(m_nSelected)];
    // A typed -0 is the axis, as a drag leaves it.
    point.x = x == 0.0 ? 0.0 : x;
    point.y = y;
    EvaluateCurve();
    NotifyCurveChanged();
    return true;
}

void CurveDocument::DeleteSelectedPoint()
{
    if (m_nSelected == -1)
        return;
    m_ControlPoints.erase(m_ControlPoints.begin() + m_nSelected);
    --m_nSelected;
    if (m_nSelected == -1 && !m_ControlPoints.empty())
        m_nSelected = 0;
    EvaluateCurve();
    NotifyCurveChanged();
}

void CurveDocument::ResetCurve(unsigned int degree)
{
    m_SamplePoints.clear();
    m_ControlPoints.clear();
    m_SampleParams.clear();
    const float step = static_cast<float>(10.0 / degree);
    for (unsigned int i = 0; i <= degree; ++i) {
        m_ControlPoints.emplace_back(0.0, i * static_cast<double>(step) - 5.0, 0.0);
        if (i == degree)
            break;  // degree may be the largest unsigned value
    }
    m_nSelected = 0;
    EvaluateCurve();
    NotifyCurveChanged();
}

Result<void> CurveDocument::Assign(std::vector<CVector3> points, int selected)
{
    if (Result<void> checked = CheckCurve(m_bNonNegativeX ? "profile" : "path", points); !checked)
        return checked;
    m_ControlPoints = std::move(points);
    const bool valid = selected >= 0 && static_cast<std::size_t>(selected) < m_ControlPoints.size();
    m_nSelected = valid ? selected : -1;
    EvaluateCurve();
    NotifyCurveChanged();
    return {};
}

int CurveDocument::GetSelectedPoint(CVector3& out) const
{
    if (m_nSelected == -1)
        return -1;
    out = m_ControlPoints[static_cast<std::size_t>(m_nSelected)];
    return m_nSelected;
}

void CurveDocument::EvaluateCurve()
{
    ReevaluateCurve(m_sampledControls, m_ControlPoints, m_SamplePoints, m_SampleParams);
    m_sampledControls = m_ControlPoints;
}

void CurveDocument::NotifyCurveChanged()
{
    if (m_listener)
        m_listener->OnCurveChanged(*this);
}
