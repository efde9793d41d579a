#include "app/MainDlg.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <utility>

#include "app/DialogTemplate.h"
#include "core/DialogText.h"
#include "core/MessageBox.h"
#include "core/bmp/DibReader.h"

namespace {

DialogBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return ComputeDialogBaseUnits(letters, metrics.ascent() + metrics.descent());
}

} // namespace

CMainDlg::CMainDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_strStatus(QStringLiteral("Selected CP :")),
      m_nDegree(1),
      m_hIcon()
{
    m_hIcon.addFile(QStringLiteral(":/velmora-16.png"));
    m_hIcon.addFile(QStringLiteral(":/velmora-32.png"));
    QFont dialogFont(QString::fromUtf8(kDialogFontFace));
    dialogFont.setPointSize(kDialogFontPoints);
    setFont(dialogFont);
    m_baseUnits = BaseUnitsOf(font());
    setWindowTitle(QString::fromUtf8(kDialogCaption));
    const PixelRect client = MapDialogRect(0, 0, kDialogWidthDlu, kDialogHeightDlu, m_baseUnits);
    setFixedSize(client.width, client.height);
    m_Viewport3 = new CCurveView(m_path);
    m_Viewport2 = new CSurfaceView();
    m_Viewport1 = new CCurveView(m_profile);
    CreateControls();
    UpdateData(false);
    OnInitDialog();
}

void CMainDlg::CreateControls()
{
    const std::map<int, CGLView*> views = {
        {IDC_VIEWPORT1, m_Viewport1}, {IDC_VIEWPORT2, m_Viewport2}, {IDC_VIEWPORT3, m_Viewport3}};
    for (const ControlTemplate& control : kMainDialogControls) {
        const PixelRect rect =
            MapDialogRect(control.x, control.y, control.width, control.height, m_baseUnits);
        const QString text = QString::fromUtf8(control.text);
        QWidget* widget = nullptr;
        switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, this);
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_degree = edit;
            widget = edit;
            break;
        }
        case ControlKind::Static: {
            auto* label = new QLabel(text, this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            if (control.id == IDC_STATUS)
                m_status = label;
            widget = label;
            break;
        }
        case ControlKind::Viewport: {
            CGLView* view = views.at(control.id);
            // The native window and its size must exist before the first
            // make-current, which happens before the dialog is shown.
            view->resize(rect.width, rect.height);
            view->create();
            widget = QWidget::createWindowContainer(view, this);
            widget->setFocusPolicy(Qt::NoFocus);
            break;
        }
        }
        widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
        widget->setProperty("controlId", control.id);
        if (control.id != IDC_STATIC)
            m_controls[control.id] = widget;
    }
    const std::pair<int, std::function<void()>> commands[] = {
        {IDC_SOLID, [this] { OnSolid(); }},
        {IDC_WIREFRAME, [this] { OnWireframe(); }},
        {IDC_POINT, [this] { OnPoint(); }},
        {IDC_RESET, [this] { OnReset(); }},
        {IDC_LOAD_TEXTURE, [this] { OnLoadTexture(); }},
        {IDC_ADD_CP1, [this] { m_profile.SetMode(EditMode::Add); }},
        {IDC_SELECT_CP1, [this] { m_profile.SetMode(EditMode::Select); }},
        {IDC_DELETE_CP1, [this] { m_profile.DeleteSelectedPoint(); }},
        {IDC_ADD_CP3, [this] { m_path.SetMode(EditMode::Add); }},
        {IDC_SELECT_CP3, [this] { m_path.SetMode(EditMode::Select); }},
        {IDC_DELETE_CP3, [this] { m_path.DeleteSelectedPoint(); }},
    };
    for (const auto& [id, command] : commands)
        connect(static_cast<QPushButton*>(m_controls.at(id)), &QPushButton::clicked, this, command);
}

void CMainDlg::OnInitDialog()
{
    m_Viewport1->InitGL();
    m_Viewport2->InitGL();
    m_Viewport3->InitGL();
    m_profile.SetListener(this);
    m_path.SetListener(this);
    m_path.ResetCurve(m_nDegree);
    setWindowIcon(m_hIcon);
    m_controls.at(IDC_ADD_CP1)->setFocus();
}

QWidget* CMainDlg::GetDlgItem(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

bool CMainDlg::UpdateData(bool saveAndValidate)
{
    if (!saveAndValidate) {
        // Replacing only changed text keeps a repaint from causing another.
        if (m_status->text() != m_strStatus)
            m_status->setText(m_strStatus);
        const QString degreeText = QString::fromStdString(FormatDegreeText(m_nDegree));
        if (m_degree->text() != degreeText)
            m_degree->setText(degreeText);
        return true;
    }
    m_strStatus = m_status->text();
    std::uint32_t degree = 0;
    if (!ParseDegreeText(m_degree->text().toStdString(), degree)) {
        ShowStandardMessage("양의 정수를 입력하십시오.");
        m_degree->setFocus();
        m_degree->selectAll();
        return false;
    }
    m_nDegree = degree;
    return true;
}

void CMainDlg::OnCurveChanged(const CurveDocument& document)
{
    // Of the editors only the one whose curve changed can show anything new;
    // it is drawn first, while the surface's mesh is computed on another
    // thread. The surface view rebuilds at its next frame, and only if what
    // the surface is swept from has changed.
    (&document == &m_profile ? m_Viewport1 : m_Viewport3)->Invalidate();
    m_Viewport2->RequestSurface(m_profile.SamplePoints(), m_path.ControlPoints(), m_profile.ControlPoints());
    RefreshReadOut();
}

void CMainDlg::OnEditRefused(const CurveDocument&, EditRefusal refusal)
{
    switch (refusal) {
    case EditRefusal::NegativeX:
        ShowStandardMessage("X > 0이어야 합니다.");
        break;
    case EditRefusal::TooManyPoints:
        ShowStandardMessage(tr("A curve can hold at most %1 control points.")
                                .arg(kMaxCurvePoints)
                                .toStdString());
        break;
    }
}

void CMainDlg::RefreshReadOut()
{
    // The fields go back to the controls with it, so a degree typed but not
    // applied gives way to the one in use.
    CVector3 point{};
    const int index = m_profile.GetSelectedPoint(point);
    m_strStatus = QString::fromStdString(FormatSelectedPoint(index, point.x, point.y));
    UpdateData(false);
}

void CMainDlg::RepaintAll()
{
    update();
    m_Viewport1->Invalidate();
    m_Viewport2->Invalidate();
    m_Viewport3->Invalidate();
}

void CMainDlg::OnSolid()
{
    m_Viewport2->SetRenderMode(RenderMode::Solid);
}

void CMainDlg::OnWireframe()
{
    m_Viewport2->SetRenderMode(RenderMode::Wireframe);
}

void CMainDlg::OnPoint()
{
    m_Viewport2->SetRenderMode(RenderMode::Point);
}

void CMainDlg::OnReset()
{
    // A text that does not parse keeps the previous degree; the reset goes on.
    UpdateData(true);
    if (m_nDegree < 1) {
        ShowStandardMessage("1보다 큰 값을 입력하세요.");
        m_nDegree = 1;
    } else if (m_nDegree > kMaxDesignDegree) {
        ShowStandardMessage("100 이하의 값을 입력하세요.");
        m_nDegree = kMaxDesignDegree;
    }
    m_path.ResetCurve(m_nDegree);
}

void CMainDlg::OnLoadTexture()
{
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Bitmap Files (*.bmp)"));
    dialog.selectFile(QStringLiteral("*.bmp"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QByteArray path = QFile::encodeName(dialog.selectedFiles().constFirst());
    // A file that cannot be opened at all is passed over in silence.
    const std::optional<DibResult> result = m_Viewport2->LoadTexture(path.constData());
    if (result && *result != DibResult::Ok)
        ShowMessageBox(DibLoadMessage(*result, path.constData()), "Error", MessageIcon::None);
}

void CMainDlg::OnOK()
{
    if (UpdateData(true))
        accept();
}

void CMainDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Enter on a push button presses it; anywhere else it is the OK command.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}
