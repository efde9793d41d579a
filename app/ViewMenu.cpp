#include "app/ViewMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "core/design/DesignDocument.h"
#include "views/SurfaceView.h"

ViewMenu::ViewMenu(DesignDocument& design, CSurfaceView& surface, QMenuBar* menuBar) : QObject(menuBar)
{
    QMenu* view = menuBar->addMenu(tr("&View"));
    QAction* resetView = view->addAction(tr("&Reset View"), this, [&design] { design.ResetView(); });
    resetView->setShortcut(QKeySequence(Qt::Key_Home));
    resetView->setObjectName(QStringLiteral("actionResetView"));
    view->addAction(tr("&Frame Surface"), this, [&design] { design.FrameSurface(); })
        ->setObjectName(QStringLiteral("actionFrameSurface"));
    view->addSeparator();
    m_previewExport = view->addAction(tr("&Preview export"));
    m_previewExport->setCheckable(true);
    m_previewExport->setChecked(surface.IsPreviewExport());
    m_previewExport->setObjectName(QStringLiteral("actionPreviewExport"));
    connect(m_previewExport, &QAction::toggled, this, [&surface](bool on) { surface.SetPreviewExport(on); });
}
