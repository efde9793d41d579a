#include "app/EditCommands.h"

namespace {

constexpr int kMovePointId = 1;

} // namespace

CurveSnapshot CurveSnapshot::Of(const CurveDocument& document)
{
    return {document.ControlPoints(), document.Selected()};
}

bool CurveSnapshot::SamePoints(const CurveSnapshot& other) const
{
    if (points.size() != other.points.size())
        return false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const CVector3& a = points[i];
        const CVector3& b = other.points[i];
        if (a.x != b.x || a.y != b.y || a.z != b.z)
            return false;
    }
    return true;
}

CurveEditCommand::CurveEditCommand(const QString& text, const CurveDocument& document,
                                   CurveSnapshot before, CurveSnapshot after, long gesture, Apply apply,
                                   QUndoCommand* parent)
    : QUndoCommand(text, parent),
      m_document(document),
      m_before(std::move(before)),
      m_after(std::move(after)),
      m_gesture(gesture),
      m_apply(std::move(apply))
{
}

void CurveEditCommand::undo()
{
    m_apply(m_before);
}

void CurveEditCommand::redo()
{
    if (m_applied) {
        m_applied = false;
        return;
    }
    m_apply(m_after);
}

int CurveEditCommand::id() const
{
    return m_gesture < 0 ? -1 : kMovePointId;
}

bool CurveEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const CurveEditCommand*>(other);
    if (&next->m_document != &m_document || next->m_gesture != m_gesture)
        return false;
    m_after = next->m_after;
    // A drag that ends where it began changed nothing.
    setObsolete(m_after.SamePoints(m_before));
    return true;
}
