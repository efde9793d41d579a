#pragma once

#include <QUndoCommand>
#include <functional>
#include <utility>
#include <vector>

#include "core/CurveDocument.h"

// What an undo step puts back in a curve editor: the points, exactly, and
// which of them was selected.
struct CurveSnapshot {
    std::vector<CVector3> points;
    int selected = -1;

    static CurveSnapshot Of(const CurveDocument& document);
    bool SamePoints(const CurveSnapshot& other) const;
};

// An edit of one curve, recorded after the editor made it; undo and redo
// hand a snapshot to `apply`. A drag records one step per move; the moves of
// one gesture merge into a single step.
class CurveEditCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const CurveSnapshot&)>;
    // `gesture` identifies the press that started a drag; -1: never merges.
    CurveEditCommand(const QString& text, const CurveDocument& document, CurveSnapshot before,
                     CurveSnapshot after, long gesture, Apply apply, QUndoCommand* parent = nullptr);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    const CurveDocument& m_document;
    CurveSnapshot m_before;
    CurveSnapshot m_after;
    long m_gesture;
    Apply m_apply;
    bool m_applied = true;  // pushed after the edit was made
};

// A change of one value of the design (the degree, the texture, the render
// mode), recorded after it was made; undo and redo apply the value again.
template <typename Value>
class ValueCommand : public QUndoCommand {
public:
    ValueCommand(const QString& text, Value before, Value after, std::function<void(const Value&)> apply,
                 QUndoCommand* parent = nullptr)
        : QUndoCommand(text, parent),
          m_before(std::move(before)),
          m_after(std::move(after)),
          m_apply(std::move(apply))
    {
    }

    void undo() override { m_apply(m_before); }
    void redo() override
    {
        if (m_applied)
            m_applied = false;
        else
            m_apply(m_after);
    }

private:
    Value m_before;
    Value m_after;
    std::function<void(const Value&)> m_apply;
    bool m_applied = true;
};
