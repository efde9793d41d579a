#pragma once

#include <QDialog>
#include <functional>

#include "core/Vector3.h"

class QLineEdit;

// The box that types a point's coordinates: X and Y, shown as the read-out
// shows them, and OK / Cancel. OK hands the numbers to `apply`; a field
// left as it was shown gives the point's exact value back, not its six
// decimals. Text that is not a number in range, or an X that `apply`
// refuses (it has told the user why), keeps the box open on the field,
// its text selected.
class PointCoordinatesDialog : public QDialog {
    Q_OBJECT
public:
    // Returns false when the editor refused the point.
    using Apply = std::function<bool(double x, double y)>;

    PointCoordinatesDialog(const QString& pointName, const CVector3& point, Apply apply, QWidget* parent);

    QLineEdit* XField() const { return m_x; }
    QLineEdit* YField() const { return m_y; }

    void accept() override;

private:
    // The field's number, or false once the user has been told it is none.
    bool Read(QLineEdit* field, double shown, double& value);
    void Select(QLineEdit* field);

    CVector3 m_point;
    Apply m_apply;
    QLineEdit* m_x;
    QLineEdit* m_y;
};
