#include "app/PointCommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QMenu>

#include "app/PointCoordinatesDialog.h"
#include "app/UndoRecorder.h"
#include "core/design/DesignDocument.h"
#include "views/CurveView.h"

PointCommands::PointCommands(DesignDocument& design, UndoRecorder& recorder, QWidget* window)
    : QObject(window), m_design(design), m_recorder(recorder), m_window(window), m_lastUsed(&design.Profile())
{
}

void PointCommands::Watch(CCurveView& view, std::initializer_list<QAbstractButton*> buttons)
{
    CurveDocument* curve = &view.Document();
    view.installEventFilter(this);
    connect(&view, &CCurveView::PointDoubleClicked, this, [this, curve] { EditCoordinates(*curve); });
    for (QAbstractButton* button : buttons)
        connect(button, &QAbstractButton::clicked, this, [this, curve] { m_lastUsed = curve; });
}

bool PointCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        m_lastUsed = &static_cast<CCurveView*>(watched)->Document();
    return QObject::eventFilter(watched, event);
}

void PointCommands::AddTo(QMenu* menu)
{
    menu->addSeparator();
    QAction* remove = menu->addAction(tr("&Delete Point"), this, [this] { DeleteSelected(*m_lastUsed); });
    remove->setShortcut(QKeySequence::Delete);
    remove->setObjectName(QStringLiteral("actionDeletePoint"));
    QAction* coordinates =
        menu->addAction(tr("Point &Coordinates..."), this, [this] { EditCoordinates(*m_lastUsed); });
    coordinates->setObjectName(QStringLiteral("actionPointCoordinates"));
    connect(menu, &QMenu::aboutToShow, coordinates, [this, coordinates] {
        coordinates->setEnabled(m_lastUsed->Selected() != -1);
    });
}

void PointCommands::DeleteSelected(CurveDocument& curve)
{
    m_recorder.Record(tr("Delete Point"), [&curve] { curve.DeleteSelectedPoint(); });
}

void PointCommands::EditCoordinates(CurveDocument& curve)
{
    CVector3 point{};
    const int index = curve.GetSelectedPoint(point);
    if (index == -1)
        return;
    const QString name = &curve == &m_design.Profile() ? tr("Profile (left view), point P%1").arg(index)
                                                        : tr("Path (middle view), point P%1").arg(index);
    PointCoordinatesDialog dialog(name, point,
                                  [this, &curve](double x, double y) {
                                      bool moved = false;
                                      m_recorder.Record(tr("Point Coordinates"),
                                                        [&] { moved = curve.MoveSelectedTo(x, y); });
                                      return moved;
                                  },
                                  m_window);
    dialog.exec();
}
