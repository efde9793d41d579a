#pragma once

#include <QObject>

class CSurfaceView;
class DesignDocument;
class QAction;
class QMenuBar;

// The View menu: where the 3D view looks from, which changes no design and
// so is neither a step nor unsaved, and whether the view previews the mesh
// an export would write.
class ViewMenu : public QObject {
    Q_OBJECT
public:
    ViewMenu(DesignDocument& design, CSurfaceView& surface, QMenuBar* menuBar);

    QAction* PreviewExport() const { return m_previewExport; }

private:
    QAction* m_previewExport;
};
