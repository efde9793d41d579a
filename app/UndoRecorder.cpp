#include "app/UndoRecorder.h"

#include <utility>

UndoRecorder::UndoRecorder(DesignDocument& design) : m_design(design)
{
    TakeRecorded();
    m_design.AddListener(this);
}

UndoRecorder::~UndoRecorder()
{
    m_design.RemoveListener(this);
}

void UndoRecorder::Record(const QString& name, const std::function<void()>& edit)
{
    m_editName = name;
    m_step = std::make_unique<QUndoCommand>(name);
    edit();
    m_editName.clear();
    std::unique_ptr<QUndoCommand> step = std::move(m_step);
    if (step->childCount() > 0)
        m_stack.push(step.release());
}

void UndoRecorder::Push(QUndoCommand* command)
{
    if (!m_step)
        m_stack.push(command);
}

void UndoRecorder::Replace(const std::function<void()>& replace)
{
    Replay(replace);
    m_stack.clear();
}

void UndoRecorder::Replay(const std::function<void()>& apply)
{
    m_replaying = true;
    apply();
    m_replaying = false;
}

void UndoRecorder::TakeRecorded()
{
    m_profileRecorded = CurveSnapshot::Of(m_design.Profile());
    m_pathRecorded = CurveSnapshot::Of(m_design.Path());
    m_degreeRecorded = m_design.Degree();
    m_textureRecorded = m_design.Texture();
    m_renderModeRecorded = m_design.GetRenderMode();
    m_outputRecorded = m_design.Output();
}

void UndoRecorder::OnDesignChanged(const DesignDocument&, DesignParts changed)
{
    if (m_replaying) {
        TakeRecorded();
        return;
    }
    if (changed & kProfilePart)
        RecordCurve(m_design.Profile(), m_profileRecorded);
    if (changed & kPathPart)
        RecordCurve(m_design.Path(), m_pathRecorded);
    if ((changed & kDegreePart) && m_design.Degree() != m_degreeRecorded) {
        const std::uint32_t before = std::exchange(m_degreeRecorded, m_design.Degree());
        Push(new ValueCommand<std::uint32_t>(
            tr("Degree"), before, m_degreeRecorded,
            [this](std::uint32_t degree) { Replay([&] { m_design.SetDegree(degree); }); }, m_step.get()));
    }
    if ((changed & kTexturePart) && !(m_design.Texture() == m_textureRecorded)) {
        const DesignTexture before = std::exchange(m_textureRecorded, m_design.Texture());
        Push(new ValueCommand<DesignTexture>(
            tr("Load Texture"), before, m_textureRecorded,
            [this](const DesignTexture& texture) { Replay([&] { m_design.SetTexture(texture); }); },
            m_step.get()));
    }
    if ((changed & kRenderModePart) && m_design.GetRenderMode() != m_renderModeRecorded) {
        const RenderMode before = std::exchange(m_renderModeRecorded, m_design.GetRenderMode());
        Push(new ValueCommand<RenderMode>(
            tr("Render Mode"), before, m_renderModeRecorded,
            [this](RenderMode mode) { Replay([&] { m_design.SetRenderMode(mode); }); }, m_step.get()));
    }
    if ((changed & kOutputPart) && m_design.Output() != m_outputRecorded) {
        const ExportOptions before = std::exchange(m_outputRecorded, m_design.Output());
        // Recorded options passed the design's check once, so they go back in.
        Push(new ValueCommand<ExportOptions>(
            tr("Export Options"), before, m_outputRecorded,
            [this](const ExportOptions& output) { Replay([&] { m_design.SetOutput(output); }); },
            m_step.get()));
    }
}

void UndoRecorder::RecordCurve(CurveDocument& curve, CurveSnapshot& recorded)
{
    CurveSnapshot now = CurveSnapshot::Of(curve);
    // A selection alone is no step, but undo goes back to it.
    if (now.SamePoints(recorded)) {
        recorded = std::move(now);
        return;
    }
    QString name = m_editName;
    long gesture = -1;
    if (name.isEmpty()) {
        if (now.points.size() > recorded.points.size()) {
            name = tr("Add Point");
        } else {
            name = tr("Move Point");
            gesture = m_gesture;
        }
    }
    CurveSnapshot before = std::exchange(recorded, now);
    Push(new CurveEditCommand(
        name, curve, std::move(before), std::move(now), gesture,
        [this, &curve](const CurveSnapshot& snapshot) {
            Replay([&] { curve.Assign(snapshot.points, snapshot.selected); });
        },
        m_step.get()));
}
