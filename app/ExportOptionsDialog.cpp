#include "app/ExportOptionsDialog.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "app/MessageBox.h"

namespace {

QSpinBox* IntField(int minimum, int maximum, int value, const char* name, QWidget* parent)
{
    auto* field = new QSpinBox(parent);
    field->setRange(minimum, maximum);
    field->setValue(value);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

// A number with the digits it needs: "1", "2.5", not "1.000000".
class NumberSpinBox : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;
    QString textFromValue(double value) const override
    {
        QString text = QDoubleSpinBox::textFromValue(value);
        const QString point = locale().decimalPoint();
        if (text.contains(point)) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(point))
                text.chop(point.size());
        }
        return text;
    }
};

QDoubleSpinBox* NumberField(double minimum, double maximum, int decimals, double value, const char* name,
                            QWidget* parent)
{
    auto* field = new NumberSpinBox(parent);
    field->setDecimals(decimals);
    field->setRange(minimum, maximum);
    field->setValue(value);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

// The entry whose data is `index`, or the first (the format's default).
void SelectData(QComboBox* box, int index)
{
    box->setCurrentIndex(std::max(0, box->findData(index)));
}

} // namespace

ExportOptionsDialog::ExportOptionsDialog(const ExportOptions& options, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_given(options),
      m_slices(IntField(SweepSettings::kMinSlices, SweepSettings::kMaxSlices, options.sweep.slices, "slices", this)),
      m_intervals(IntField(SweepSettings::kMinIntervalsPerSpan, SweepSettings::kMaxIntervalsPerSpan,
                           options.sweep.intervalsPerSpan, "intervals", this)),
      m_caps(new QCheckBox(tr("Close the ends with &caps"), this)),
      // A wall in design units, as the editors' coordinates; a scale above 0.
      m_thickness(NumberField(0.0, ExportOptions::kMaxThickness, 4, options.thickness, "thickness", this)),
      m_scale(NumberField(1e-6, ExportOptions::kMaxScale, 6, options.scale, "scale", this)),
      m_units(new QComboBox(this)),
      m_up(new QComboBox(this))
{
    setWindowTitle(tr("Export Options"));
    m_thicknessShown = m_thickness->value();
    m_scaleShown = m_scale->value();
    m_caps->setChecked(options.caps);
    m_caps->setObjectName(QStringLiteral("caps"));
    m_thickness->setSpecialValueText(tr("None"));
    m_units->setObjectName(QStringLiteral("units"));
    m_units->addItem(tr("Format's default"), -1);
    // Each unit by its place in the core's table.
    const std::vector<LengthUnitInfo>& units = LengthUnits();
    int unit = -1;
    for (std::size_t i = 0; i < units.size(); ++i) {
        m_units->addItem(QString::fromLatin1(units[i].word), static_cast<int>(i));
        if (options.units == units[i].unit)
            unit = static_cast<int>(i);
    }
    SelectData(m_units, unit);
    m_up->setObjectName(QStringLiteral("up"));
    m_up->addItem(tr("Format's default"), -1);
    for (UpAxis axis : {UpAxis::Y, UpAxis::Z})
        m_up->addItem(QString::fromLatin1(UpAxisWord(axis)).toUpper(), static_cast<int>(axis));
    SelectData(m_up, options.up ? static_cast<int>(*options.up) : -1);
    // Numbers to the right, as in the coordinates box.
    for (QAbstractSpinBox* field : NumberFields())
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* fields = new QFormLayout;
    fields->addRow(tr("&Slices:"), m_slices);
    fields->addRow(tr("&Intervals per span:"), m_intervals);
    fields->addRow(QString(), m_caps);
    fields->addRow(tr("&Wall thickness:"), m_thickness);
    fields->addRow(tr("Sc&ale:"), m_scale);
    fields->addRow(tr("&Units:"), m_units);
    fields->addRow(tr("U&p axis:"), m_up);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportOptionsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_slices->selectAll();
}

std::array<QAbstractSpinBox*, 4> ExportOptionsDialog::NumberFields() const
{
    return {m_slices, m_intervals, m_thickness, m_scale};
}

double ExportOptionsDialog::Read(const QDoubleSpinBox* field, double given, double shown)
{
    return field->value() == shown ? given : field->value();
}

ExportOptions ExportOptionsDialog::Options() const
{
    ExportOptions options = m_given;
    options.sweep.slices = m_slices->value();
    options.sweep.intervalsPerSpan = m_intervals->value();
    options.caps = m_caps->isChecked();
    options.thickness = Read(m_thickness, m_given.thickness, m_thicknessShown);
    options.scale = Read(m_scale, m_given.scale, m_scaleShown);
    const int unit = m_units->currentData().toInt();
    options.units = std::nullopt;
    if (unit >= 0)
        options.units = LengthUnits()[static_cast<std::size_t>(unit)].unit;
    const int up = m_up->currentData().toInt();
    options.up = std::nullopt;
    if (up >= 0)
        options.up = static_cast<UpAxis>(up);
    return options;
}

void ExportOptionsDialog::accept()
{
    // Text typed but not yet taken (the key that finishes it not pressed) counts.
    for (QAbstractSpinBox* field : NumberFields())
        field->interpretText();
    if (const Result<void> checked = CheckExportOptions(Options()); !checked) {
        ShowModellerMessage(checked.Error());
        activateWindow();
        return;
    }
    QDialog::accept();
}
