#include "app/StatusBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "app/DialogText.h"
#include "views/CurveView.h"
#include "views/SurfaceView.h"

namespace {

GridSnap SnapOf(Qt::KeyboardModifiers keys)
{
    return GridSnapFor(keys.testFlag(Qt::ControlModifier), keys.testFlag(Qt::ShiftModifier));
}

// The keys held once `event` has happened. Qt flips a modifier key's own
// flag in what its event reports, which is right where the platform reports
// the keys held before the event and wrong where it reports them after: the
// key itself says.
Qt::KeyboardModifiers KeysAfter(const QKeyEvent* event)
{
    Qt::KeyboardModifiers keys = event->modifiers();
    const bool pressed = event->type() == QEvent::KeyPress;
    if (event->key() == Qt::Key_Control)
        keys.setFlag(Qt::ControlModifier, pressed);
    if (event->key() == Qt::Key_Shift)
        keys.setFlag(Qt::ShiftModifier, pressed);
    return keys;
}

} // namespace

StatusBar::StatusBar(DesignDocument& design, CCurveView& profileView, CCurveView& pathView,
                     CSurfaceView& surfaceView, QWidget* parent)
    : QStatusBar(parent),
      m_design(design),
      m_profileView(profileView),
      m_pathView(pathView),
      m_surfaceView(surfaceView),
      m_modes(new QLabel(this)),
      m_pointer(new QLabel(this)),
      m_snapNote(new QLabel(this))
{
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(false);
    for (QLabel* label : {m_modes, m_pointer, m_snapNote})
        label->setContentsMargins(4, 0, 4, 0);
    addWidget(m_modes);
    addWidget(m_pointer, 1);
    addPermanentWidget(m_snapNote);
    for (CCurveView* view : {&profileView, &pathView})
        connect(view, &CCurveView::PointerMoved, this,
                [this, view](double x, double y) { OnPointerMoved(view, x, y); });
    // The views never take the keyboard, and Ctrl may go down anywhere in
    // the window: the keys and the views' pointer events are heard here
    // before anyone handles them.
    qApp->installEventFilter(this);
    m_design.AddListener(this);
    ShowModes();
}

StatusBar::~StatusBar()
{
    m_design.RemoveListener(this);
}

void StatusBar::OnDesignChanged(const DesignDocument&, DesignParts changed)
{
    if (changed & (kProfilePart | kPathPart))
        ShowModes();
}

void StatusBar::ShowModes()
{
    m_modes->setText(EditorText(tr("Profile"), m_design.Profile()) + QStringLiteral(" | ") +
                     EditorText(tr("Path"), m_design.Path()));
    ShowPointer();
}

QString StatusBar::EditorText(const QString& name, const CurveDocument& curve) const
{
    const QString mode = curve.Mode() == EditMode::Add ? tr("Add") : tr("Select");
    const std::size_t count = curve.ControlPoints().size();
    const QString points = count == 1 ? tr("1 point") : tr("%1 points").arg(count);
    return tr("%1: %2, %3").arg(name, mode, points);
}

void StatusBar::OnPointerMoved(const QWindow* view, double x, double y)
{
    m_over = view;
    m_hasWorldPoint = true;
    m_worldX = x;
    m_worldY = y;
    ShowPointer();
}

void StatusBar::ShowPointer()
{
    if (!m_over) {
        m_pointer->clear();
        return;
    }
    QString text = ClickHint();
    if (m_hasWorldPoint)
        text = QString::fromStdString(FormatWorldPoint(m_worldX, m_worldY)) + QStringLiteral("   ") + text;
    m_pointer->setText(text);
}

QString StatusBar::ClickHint() const
{
    if (m_over == &m_surfaceView)
        return tr("Drag to turn the surface; drag with the right button to zoom");
    const CurveDocument& curve = m_over == &m_profileView ? m_design.Profile() : m_design.Path();
    if (curve.Mode() == EditMode::Add)
        return tr("Click to add a point after the selected one");
    return tr("Click to pick a point; drag to move it");
}

void StatusBar::ShowSnap(GridSnap snap)
{
    switch (snap) {
    case GridSnap::None:
        m_snapNote->clear();
        break;
    case GridSnap::Units:
        m_snapNote->setText(tr("Snapping to whole units"));
        break;
    case GridSnap::Tenths:
        m_snapNote->setText(tr("Snapping to tenths"));
        break;
    }
}

bool StatusBar::eventFilter(QObject* watched, QEvent* event)
{
    const bool overView = watched == &m_profileView || watched == &m_pathView || watched == &m_surfaceView;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        ShowSnap(SnapOf(KeysAfter(static_cast<QKeyEvent*>(event))));
        break;
    case QEvent::MouseMove:
        ShowSnap(SnapOf(static_cast<QMouseEvent*>(event)->modifiers()));
        // The editors tell their world point once they have handled the move.
        if (watched == &m_surfaceView && m_over != watched) {
            m_over = &m_surfaceView;
            m_hasWorldPoint = false;
            ShowPointer();
        }
        break;
    case QEvent::Leave:
        if (overView && m_over == watched) {
            m_over = nullptr;
            m_hasWorldPoint = false;
            ShowPointer();
        }
        break;
    case QEvent::WindowDeactivate:
        // The release of a key held while the window loses the keyboard goes
        // elsewhere.
        if (watched == window())
            ShowSnap(GridSnap::None);
        break;
    default:
        break;
    }
    return QStatusBar::eventFilter(watched, event);
}
