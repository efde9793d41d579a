#pragma once

#include <QObject>
#include <initializer_list>

class CCurveView;
class CurveDocument;
class DesignDocument;
class QAbstractButton;
class QMenu;
class QWidget;
class UndoRecorder;

// The commands on the selected point of a curve editor besides the
// editors' own buttons: the Delete key and typing the point's coordinates.
// They work on the editor used last (a press in its view, one of its
// buttons), the profile until the path is used.
class PointCommands : public QObject {
    Q_OBJECT
public:
    PointCommands(DesignDocument& design, UndoRecorder& recorder, QWidget* window);

    // A press in `view` or a click of one of `buttons` is a use of its
    // editor; a double click on a point in select mode types its coordinates.
    void Watch(CCurveView& view, std::initializer_list<QAbstractButton*> buttons);
    // Adds Delete Point (the Delete key) and Point Coordinates... to `menu`.
    void AddTo(QMenu* menu);

    CurveDocument& LastUsed() const { return *m_lastUsed; }
    // Deletes the selected point of `curve`: one undo step.
    void DeleteSelected(CurveDocument& curve);
    // Opens the coordinates box for the selected point of `curve`; an OK
    // that moves it is one undo step. Nothing without a selected point.
    void EditCoordinates(CurveDocument& curve);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DesignDocument& m_design;
    UndoRecorder& m_recorder;
    QWidget* m_window;
    CurveDocument* m_lastUsed;
};
