#pragma once

#include <QDialog>
#include <array>

#include "core/ExportOptions.h"

class QAbstractSpinBox;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

// The box that sets how a mesh is exported: slices, intervals per span,
// caps, wall thickness, scale, units and up axis, each unit and axis with
// "the format's default" first. It starts from `options`; a number left as
// shown gives its exact value back, not its rounded digits. OK with options
// the core refuses says why and keeps the box open.
class ExportOptionsDialog : public QDialog {
    Q_OBJECT
public:
    ExportOptionsDialog(const ExportOptions& options, QWidget* parent);

    // The options as the fields give them now.
    ExportOptions Options() const;

    void accept() override;

private:
    std::array<QAbstractSpinBox*, 4> NumberFields() const;
    // The field's value, or `given` when the field still shows it.
    static double Read(const QDoubleSpinBox* field, double given, double shown);

    ExportOptions m_given;
    double m_thicknessShown;
    double m_scaleShown;
    QSpinBox* m_slices;
    QSpinBox* m_intervals;
    QCheckBox* m_caps;
    QDoubleSpinBox* m_thickness;
    QDoubleSpinBox* m_scale;
    QComboBox* m_units;
    QComboBox* m_up;
};
