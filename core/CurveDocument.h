#pragma once

#include <cstddef>
#include <vector>

#include "core/Result.h"
#include "core/Vector3.h"

// What a left click in an editor does.
enum class EditMode { Add = 1, Select = 2 };

// An edit the rules refused, for the owner to tell the user about.
enum class EditRefusal {
    NegativeX,      // a point left of the axis in an editor that keeps X >= 0
    TooManyPoints,  // an insert into a curve that already holds kMaxCurvePoints
};

// The most control points a curve holds: as many as a design file keeps
// (kMaxControlPoints, core/design/Design.h), and few enough that a drag stays
// interactive. An insert beyond it is refused.
constexpr std::size_t kMaxCurvePoints = 1000;

class CurveDocument;

// Whoever must hear, synchronously, that a curve has changed (its points,
// samples or selection) or that an edit was refused.
class CurveDocumentListener {
public:
    virtual void OnCurveChanged(const CurveDocument& document) = 0;
    virtual void OnEditRefused(const CurveDocument& document, EditRefusal refusal) = 0;

protected:
    ~CurveDocumentListener() = default;
};

// One Bezier curve being edited in the world square [-10, 10] x [-10, 10]:
// its control points and their sampling, the selected point, the edit mode
// and the rules of inserting, picking, dragging, deleting and resetting.
// Every change re-samples the curve before the listener hears of it.
class CurveDocument {
public:
    // An editor that keeps X >= 0 refuses points left of the axis.
    explicit CurveDocument(bool nonNegativeX);

    void SetListener(CurveDocumentListener* listener) { m_listener = listener; }

    const std::vector<CVector3>& ControlPoints() const { return m_ControlPoints; }
    const std::vector<CVector3>& SamplePoints() const { return m_SamplePoints; }
    const std::vector<float>& SampleParams() const { return m_SampleParams; }
    int Selected() const { return m_nSelected; }
    bool KeepsNonNegativeX() const { return m_bNonNegativeX; }
    EditMode Mode() const { return m_nMode; }
    void SetMode(EditMode mode) { m_nMode = mode; }

    // A left click at a world point: in add mode inserts a point after the
    // selection and selects it (refused left of the axis where X >= 0 is
    // kept, and in a curve that is full); in select mode picks the first
    // point within the pick radius (a miss keeps the selection). Notifies
    // either way, unless the insert was refused.
    void Click(double x, double y);
    // Moves the selected point to a world point, in select mode only; X is
    // clamped to the axis where X >= 0 is kept.
    void DragSelectedTo(double x, double y);
    // Moves the selected point to typed coordinates, in either mode. Unlike a
    // drag it does not clamp: X < 0 where X >= 0 is kept is refused (the
    // listener hears NegativeX), as is a point that is not finite or no
    // selection. Returns whether it moved (or stayed where it was).
    bool MoveSelectedTo(double x, double y);
    void DeleteSelectedPoint();
    // degree + 1 points up the Y axis from -5 in float steps of 10 / degree.
    void ResetCurve(unsigned int degree);
    // Replaces the points and the selection (-1 or an index of `points`).
    // Points the editor would not make (too many, not finite, left of the
    // axis where X >= 0 is kept) are refused with the reason, and nothing
    // changes.
    Result<void> Assign(std::vector<CVector3> points, int selected);

    // The first point, in list order, that a select-mode click at a world
    // point picks; -1 for none.
    int PointAt(double x, double y) const;
    // The selected index and point, or -1 with `out` untouched.
    int GetSelectedPoint(CVector3& out) const;

private:
    void EvaluateCurve();
    void NotifyCurveChanged();

    std::vector<CVector3> m_ControlPoints;
    std::vector<CVector3> m_SamplePoints;
    std::vector<CVector3> m_sampledControls;  // the control points the samples were made from
    std::vector<float> m_SampleParams;
    int m_nSelected = -1;
    EditMode m_nMode = EditMode::Add;
    bool m_bNonNegativeX;
    CurveDocumentListener* m_listener = nullptr;
};
