#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CurveDocument.h"
#include "core/RenderMode.h"
#include "core/Result.h"
#include "core/ExportOptions.h"
#include "core/Trackball.h"
#include "core/bmp/RgbImage.h"
#include "core/design/Design.h"

// The parts of a design a change can touch; a notification names every part
// that changed.
enum DesignPart : unsigned {
    kProfilePart = 1u << 0,
    kPathPart = 1u << 1,
    kDegreePart = 1u << 2,
    kTexturePart = 1u << 3,
    kRenderModePart = 1u << 4,
    kViewPart = 1u << 5,
    kOutputPart = 1u << 6,
    kWholeDesign = (1u << 7) - 1,
};
using DesignParts = unsigned;

// The picture wrapped round the surface: the file it was read from (what a
// design file keeps) and its pixels as read, shared with undo steps so that
// going back never reads the file again. Both empty: no texture.
struct DesignTexture {
    std::string path;
    std::shared_ptr<const RgbImage> picture;

    bool operator==(const DesignTexture& other) const
    {
        return path == other.path && picture == other.picture;
    }
};

class DesignDocument;

// Whoever shows or records a design hears, synchronously, of every change
// and of every edit a curve refused.
class DesignListener {
public:
    virtual void OnDesignChanged(const DesignDocument& design, DesignParts changed) = 0;
    virtual void OnEditRefused(const CurveDocument&, EditRefusal) {}

protected:
    ~DesignListener() = default;
};

// The design being edited: the profile (X >= 0) and the path with their
// editing rules, the degree a reset of the path uses, the texture, the render
// mode, the 3D view's pose with the trackball that turns it, and how finely
// the surface is built. Every entry keeps the design within the rules a
// design file keeps (core/design/Design.h), and every change is told to the
// listeners, in the order they were added.
class DesignDocument : private CurveDocumentListener {
public:
    // A blank design: no profile, the path a straight line (degree 1).
    DesignDocument();
    DesignDocument(const DesignDocument&) = delete;
    DesignDocument& operator=(const DesignDocument&) = delete;

    void AddListener(DesignListener* listener);
    void RemoveListener(DesignListener* listener);

    CurveDocument& Profile() { return m_profile; }
    const CurveDocument& Profile() const { return m_profile; }
    CurveDocument& Path() { return m_path; }
    const CurveDocument& Path() const { return m_path; }

    std::uint32_t Degree() const { return m_degree; }
    // Out of kMinDesignDegree..kMaxDesignDegree: refused, nothing changes.
    Result<void> SetDegree(std::uint32_t degree);
    // The path as a straight row of degree + 1 points.
    void ResetPath() { m_path.ResetCurve(m_degree); }

    const DesignTexture& Texture() const { return m_texture; }
    void SetTexture(DesignTexture texture);

    RenderMode GetRenderMode() const { return m_renderMode; }
    void SetRenderMode(RenderMode mode);

    // The view: the trackball holds the pose; drags in the 3D view turn and
    // zoom it. The view's size and pixel ratio are the trackball's to know,
    // not the design's: setting them tells no one.
    const CTrackball& Trackball() const { return m_trackball; }
    void SetViewportSize(int width, int height) { m_trackball.SetViewportSize(width, height); }
    void SetDevicePixelRatio(float ratio) { m_trackball.SetDevicePixelRatio(ratio); }
    void BeginTurn(int x, int y) { m_trackball.BeginRotation(x, y); }
    void EndTurn() { m_trackball.EndRotation(); }
    void BeginZoom(int x, int y) { m_trackball.BeginZoom(x, y); }
    void EndZoom() { m_trackball.EndZoom(); }
    void DragView(int x, int y);
    // Zooms by a turn of the wheel (see CTrackball::Wheel).
    void ZoomByWheel(int angleDelta);
    // Back to the view a new design starts with.
    void ResetView();
    // Moves the camera, its rotation kept, to where the whole surface fits
    // the view with a margin; with no surface nothing changes.
    void FrameSurface();
    // A pose that is not finite, or a distance not above 0: refused.
    Result<void> SetView(const float rotation[16], float distance);

    // How the surface is exported. Options out of range: refused, nothing
    // changes.
    const ExportOptions& Output() const { return m_output; }
    Result<void> SetOutput(const ExportOptions& output);

    // Back to a blank design, as a new document starts.
    void Clear();
    // The design as a file keeps it.
    Design Value() const;
    // Replaces the whole design (selections cleared) with `design` showing
    // `picture` as its texture (none when null: its texture path is then
    // dropped too). A design that breaks a rule is refused with the first
    // fault, and nothing changes.
    Result<void> Assign(const Design& design, std::shared_ptr<const RgbImage> picture = nullptr);

private:
    void OnCurveChanged(const CurveDocument& curve) override;
    void OnEditRefused(const CurveDocument& curve, EditRefusal refusal) override;
    void Notify(DesignParts changed);

    CurveDocument m_profile{true};
    CurveDocument m_path{false};
    std::uint32_t m_degree = kMinDesignDegree;
    DesignTexture m_texture;
    RenderMode m_renderMode = RenderMode::Solid;
    CTrackball m_trackball;
    ExportOptions m_output;
    std::vector<DesignListener*> m_listeners;
    // While Assign replaces the curves, their changes are told once, at the end.
    bool m_assigning = false;
};
