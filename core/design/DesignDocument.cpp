#include "core/design/DesignDocument.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "core/SweepMesh.h"
#include "core/ViewFraming.h"

DesignDocument::DesignDocument()
{
    m_profile.SetListener(this);
    m_path.SetListener(this);
    m_path.ResetCurve(m_degree);
}

void DesignDocument::AddListener(DesignListener* listener)
{
    m_listeners.push_back(listener);
}

void DesignDocument::RemoveListener(DesignListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

Result<void> DesignDocument::SetDegree(std::uint32_t degree)
{
    if (degree < kMinDesignDegree || degree > kMaxDesignDegree)
        return Failure{DegreeOutOfRange(std::to_string(degree))};
    if (degree != m_degree) {
        m_degree = degree;
        Notify(kDegreePart);
    }
    return {};
}

void DesignDocument::SetTexture(DesignTexture texture)
{
    if (texture == m_texture)
        return;
    m_texture = std::move(texture);
    Notify(kTexturePart);
}

void DesignDocument::SetRenderMode(RenderMode mode)
{
    if (mode == m_renderMode)
        return;
    m_renderMode = mode;
    Notify(kRenderModePart);
}

void DesignDocument::DragView(int x, int y)
{
    if (m_trackball.Motion(x, y))
        Notify(kViewPart);
}

void DesignDocument::ZoomByWheel(int angleDelta)
{
    if (m_trackball.Wheel(angleDelta))
        Notify(kViewPart);
}

void DesignDocument::ResetView()
{
    const Design blank;
    m_trackball.SetView(blank.viewRotation, blank.viewDistance);
    Notify(kViewPart);
}

void DesignDocument::FrameSurface()
{
    // The surface as the view draws it, with the default sweep settings.
    std::vector<CVector3> points;
    for (const std::vector<SweepVertex>& strip :
         ComputeSweepMesh(m_profile.SamplePoints(), m_path.ControlPoints(), m_profile.ControlPoints()))
        for (const SweepVertex& vertex : strip)
            points.push_back(vertex.position);
    const std::optional<float> distance = FramingDistance(points, m_trackball.Matrix());
    if (distance)
        SetView(m_trackball.Matrix(), *distance);
}

Result<void> DesignDocument::SetView(const float rotation[16], float distance)
{
    float pose[16];
    std::copy(rotation, rotation + 16, pose);
    if (Result<void> checked = CheckView(pose, distance); !checked)
        return checked;
    m_trackball.SetView(pose, distance);
    Notify(kViewPart);
    return {};
}

Result<void> DesignDocument::SetOutput(const ExportOptions& output)
{
    if (Result<void> checked = CheckExportOptions(output); !checked)
        return checked;
    if (output != m_output) {
        m_output = output;
        Notify(kOutputPart);
    }
    return {};
}

Design DesignDocument::Value() const
{
    Design design;
    design.profile = m_profile.ControlPoints();
    design.path = m_path.ControlPoints();
    design.degree = m_degree;
    design.texturePath = m_texture.path;
    design.renderMode = m_renderMode;
    std::copy(m_trackball.Matrix(), m_trackball.Matrix() + 16, design.viewRotation);
    design.viewDistance = m_trackball.Distance();
    design.output = m_output;
    return design;
}

Result<void> DesignDocument::Assign(const Design& design, std::shared_ptr<const RgbImage> picture)
{
    if (Result<void> checked = CheckDesign(design); !checked)
        return checked;
    // The rules hold for every part, so no assignment below can be refused.
    m_assigning = true;
    m_profile.Assign(design.profile, -1);
    m_path.Assign(design.path, -1);
    m_assigning = false;
    m_degree = design.degree;
    m_texture = picture ? DesignTexture{design.texturePath, std::move(picture)} : DesignTexture{};
    m_renderMode = design.renderMode;
    m_trackball.SetView(design.viewRotation, design.viewDistance);
    m_output = design.output;
    Notify(kWholeDesign);
    return {};
}

void DesignDocument::Clear()
{
    const Design blank;
    m_assigning = true;
    m_profile.Assign({}, -1);
    m_degree = blank.degree;
    m_path.ResetCurve(m_degree);
    m_assigning = false;
    m_texture = {};
    m_renderMode = blank.renderMode;
    m_trackball.SetView(blank.viewRotation, blank.viewDistance);
    m_output = blank.output;
    Notify(kWholeDesign);
}

void DesignDocument::OnCurveChanged(const CurveDocument& curve)
{
    if (!m_assigning)
        Notify(&curve == &m_profile ? kProfilePart : kPathPart);
}

void DesignDocument::OnEditRefused(const CurveDocument& curve, EditRefusal refusal)
{
    // A copy: a listener added while others are told hears from the next change.
    const std::vector<DesignListener*> listeners = m_listeners;
    for (DesignListener* listener : listeners)
        listener->OnEditRefused(curve, refusal);
}

void DesignDocument::Notify(DesignParts changed)
{
    const std::vector<DesignListener*> listeners = m_listeners;
    for (DesignListener* listener : listeners)
        listener->OnDesignChanged(*this, changed);
}
