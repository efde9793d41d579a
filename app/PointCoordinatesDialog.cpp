#include "app/PointCoordinatesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <utility>

#include "app/DialogTemplate.h"
#include "app/DialogText.h"
#include "app/MessageBox.h"

namespace {

QString Shown(double value)
{
    return QString::fromStdString(FormatCoordinateText(value));
}

} // namespace

PointCoordinatesDialog::PointCoordinatesDialog(const QString& pointName, const CVector3& point, Apply apply,
                                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_point(point),
      m_apply(std::move(apply)),
      m_x(new QLineEdit(Shown(point.x), this)),
      m_y(new QLineEdit(Shown(point.y), this))
{
    setWindowTitle(tr("Point Coordinates"));
    auto* fields = new QFormLayout;
    fields->addRow(tr("&X:"), m_x);
    fields->addRow(tr("&Y:"), m_y);
    for (QLineEdit* field : {m_x, m_y}) {
        field->setObjectName(field == m_x ? QStringLiteral("fieldX") : QStringLiteral("fieldY"));
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PointCoordinatesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PointCoordinatesDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(pointName, this));
    layout->addLayout(fields);
    layout->addWidget(buttons);
    m_x->selectAll();
}

void PointCoordinatesDialog::accept()
{
    double x = 0.0;
    double y = 0.0;
    if (!Read(m_x, m_point.x, x) || !Read(m_y, m_point.y, y))
        return;
    // X is the one coordinate an editor has a rule for (X >= 0 in the profile).
    if (!m_apply(x, y)) {
        Select(m_x);
        return;
    }
    QDialog::accept();
}

bool PointCoordinatesDialog::Read(QLineEdit* field, double shown, double& value)
{
    if (field->text() == Shown(shown)) {
        value = shown;
        return true;
    }
    if (ParseCoordinateText(field->text().toStdString(), value))
        return true;
    ShowModellerMessage(
        tr("Enter a number from %1 to %2.").arg(-kMaxTypedCoordinate).arg(kMaxTypedCoordinate).toStdString());
    Select(field);
    return false;
}

void PointCoordinatesDialog::Select(QLineEdit* field)
{
    // A box that closed leaves the keyboard nowhere without a window manager.
    activateWindow();
    field->setFocus();
    field->selectAll();
}
