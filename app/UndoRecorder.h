#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/EditCommands.h"
#include "core/design/DesignDocument.h"

// Makes every change of a design an undo step, as the design tells of it:
// points added, moved (one drag, one step) and deleted, a reset with its
// degree, a texture, a render mode, the export options. Turning the view is no step. Undo and redo put the recorded
// values back into the design, which tells its views as for any change.
class UndoRecorder : private DesignListener {
    Q_DECLARE_TR_FUNCTIONS(UndoRecorder)
public:
    explicit UndoRecorder(DesignDocument& design);
    ~UndoRecorder();
    UndoRecorder(const UndoRecorder&) = delete;
    UndoRecorder& operator=(const UndoRecorder&) = delete;

    QUndoStack& Stack() { return m_stack; }
    const QUndoStack& Stack() const { return m_stack; }
    // Runs `edit`, recording every change it makes as one step named `name`
    // instead of the name a change suggests ("Add Point", "Move Point").
    void Record(const QString& name, const std::function<void()>& edit);
    // A press in an editor starts a gesture: the moves of one drag merge
    // into one step.
    void BeginGesture() { ++m_gesture; }
    // Runs `replace`, which replaces the whole design, recording nothing:
    // the history starts anew.
    void Replace(const std::function<void()>& replace);

private:
    void OnDesignChanged(const DesignDocument& design, DesignParts changed) override;
    void RecordCurve(CurveDocument& curve, CurveSnapshot& recorded);
    // Puts a recorded value back without recording it again.
    void Replay(const std::function<void()>& apply);
    void TakeRecorded();
    // Pushes `command` as a step, unless it was made a part of the step
    // Record gathers (its parent).
    void Push(QUndoCommand* command);

    DesignDocument& m_design;
    QUndoStack m_stack;
    // The design as the last recorded step left it.
    CurveSnapshot m_profileRecorded;
    CurveSnapshot m_pathRecorded;
    std::uint32_t m_degreeRecorded = kMinDesignDegree;
    DesignTexture m_textureRecorded;
    RenderMode m_renderModeRecorded = RenderMode::Solid;
    ExportOptions m_outputRecorded;
    bool m_replaying = false;
    QString m_editName;
    std::unique_ptr<QUndoCommand> m_step;  // what Record gathers, while it runs
    long m_gesture = 0;
};
