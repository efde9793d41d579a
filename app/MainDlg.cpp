#include "app/MainDlg.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include "app/DesignCommands.h"
#include "app/DialogFont.h"
#include "app/DialogTemplate.h"
#include "app/KeyboardFocusKeeper.h"
#include "app/TextureMessages.h"
#include "app/ViewToolTip.h"
#include "core/DialogText.h"
#include "core/MessageBox.h"
#include "core/design/DesignFile.h"
#include "views/TextureFile.h"

namespace {

SaveChoice AskInABox(QWidget* parent, const QString& designName)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kDialogCaption),
                    CMainDlg::tr("The design \"%1\" has unsaved changes.").arg(designName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(CMainDlg::tr("Do you want to save them?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save: return SaveChoice::Save;
    case QMessageBox::Discard: return SaveChoice::Discard;
    default: return SaveChoice::Cancel;
    }
}

QString DesignFilter()
{
    return CMainDlg::tr("Velmora Designs (*.velmora)");
}

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The one local file a drag carries; empty for anything else.
QString DraggedFile(const QMimeData* mime)
{
    if (!mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().constFirst().isLocalFile())
        return {};
    return mime->urls().constFirst().toLocalFile();
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
    setFont(DialogFont());
    m_baseUnits = DialogBaseUnitsOf(font());
    m_askToSave = [this](const QString& name) { return AskInABox(this, name); };
    CreateMenus();
    const PixelRect client = MapDialogRect(0, 0, kDialogWidthDlu, kDialogHeightDlu, m_baseUnits);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, client.width, menuHeight);
    m_client = new QWidget(this);
    m_client->setGeometry(0, menuHeight, client.width, client.height);
    setFixedSize(client.width, client.height + menuHeight);
    m_Viewport3 = new CCurveView(m_path);
    m_Viewport2 = new CSurfaceView();
    m_Viewport1 = new CCurveView(m_profile);
    CreateControls();
    UpdateData(false);
    OnInitDialog();
    auto* focusKeeper = new CKeyboardFocusKeeper(this, m_client, m_controls.at(IDC_ADD_CP1));
    for (QMenu* menu : m_menuBar->findChildren<QMenu*>())
        focusKeeper->Watch(menu);
    connect(&m_undoStack, &QUndoStack::cleanChanged, this, [this] { UpdateTitle(); });
    UpdateTitle();
}

void CMainDlg::CreateMenus()
{
    m_menuBar = new QMenuBar(this);
    QMenu* file = m_menuBar->addMenu(tr("&File"));
    const auto add = [this](QMenu* menu, const QString& text, QKeySequence::StandardKey key,
                            const char* name, std::function<void()> command) {
        QAction* action = menu->addAction(text, this, std::move(command));
        action->setShortcuts(key);
        // Outside a desktop that defines one, Save As has no standard key.
        if (action->shortcuts().isEmpty() && key == QKeySequence::SaveAs)
            action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    add(file, tr("&New"), QKeySequence::New, "actionNew", [this] { OnNew(); });
    add(file, tr("&Open..."), QKeySequence::Open, "actionOpen", [this] { OnOpen(); });
    m_recentMenu = file->addMenu(tr("Open &Recent"));
    m_recentMenu->setObjectName(QStringLiteral("menuRecent"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
    FillRecentMenu();
    file->addSeparator();
    add(file, tr("&Save"), QKeySequence::Save, "actionSave", [this] { OnSave(); });
    add(file, tr("Save &As..."), QKeySequence::SaveAs, "actionSaveAs", [this] { OnSaveAs(); });
    file->addSeparator();
    file->addAction(tr("&Export Mesh..."), this, [this] { OnExportMesh(); })
        ->setObjectName(QStringLiteral("actionExportMesh"));
    file->addAction(tr("Save &Image..."), this, [this] { OnSaveImage(); })
        ->setObjectName(QStringLiteral("actionSaveImage"));
    file->addSeparator();
    add(file, tr("&Quit"), QKeySequence::Quit, "actionQuit", [this] { close(); });

    QMenu* edit = m_menuBar->addMenu(tr("&Edit"));
    // Qt's own "Undo %1" and "Redo %1", translated with Qt's texts.
    QAction* undo = m_undoStack.createUndoAction(this);
    undo->setShortcuts(QKeySequence::Undo);
    undo->setObjectName(QStringLiteral("actionUndo"));
    QAction* redo = m_undoStack.createRedoAction(this);
    redo->setShortcuts(QKeySequence::Redo);
    redo->setObjectName(QStringLiteral("actionRedo"));
    edit->addAction(undo);
    edit->addAction(redo);
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
            auto* button = new QPushButton(text, m_client);
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, m_client);
            edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_degree = edit;
            widget = edit;
            break;
        }
        case ControlKind::Static: {
            auto* label = new QLabel(text, m_client);
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
            widget = QWidget::createWindowContainer(view, m_client);
            widget->setFocusPolicy(Qt::NoFocus);
            new CViewToolTip(view, widget);
            view->installEventFilter(this);
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
        {IDC_DELETE_CP1, [this] { EditCurve(tr("Delete Point"), [this] { m_profile.DeleteSelectedPoint(); }); }},
        {IDC_ADD_CP3, [this] { m_path.SetMode(EditMode::Add); }},
        {IDC_SELECT_CP3, [this] { m_path.SetMode(EditMode::Select); }},
        {IDC_DELETE_CP3, [this] { EditCurve(tr("Delete Point"), [this] { m_path.DeleteSelectedPoint(); }); }},
    };
    // A mode button stays pressed while its mode is on. The documents and
    // the view hold the modes, and every command ends by showing them, so
    // one button of each group is pressed (no button group: it would make
    // each group a single tab stop).
    for (int id : {IDC_ADD_CP1, IDC_SELECT_CP1, IDC_ADD_CP3, IDC_SELECT_CP3, IDC_SOLID, IDC_WIREFRAME, IDC_POINT})
        static_cast<QPushButton*>(m_controls.at(id))->setCheckable(true);
    for (const auto& [id, command] : commands)
        connect(static_cast<QPushButton*>(m_controls.at(id)), &QPushButton::clicked, this,
                [this, command = command] {
                    command();
                    SyncModeButtons();
                });
    SetToolTips();
    setAcceptDrops(true);
}

void CMainDlg::SetToolTips()
{
    const std::pair<int, QString> tips[] = {
        {IDC_VIEWPORT1, tr("Profile: each point's distance from the vertical axis becomes a radius of the "
                           "surface, its height a place along the path. Points stay right of the axis.")},
        {IDC_SELECT_CP1, tr("Profile (left view), select mode: a click picks a point, a drag moves it")},
        {IDC_ADD_CP1, tr("Profile (left view), add mode: a click adds a point after the selected one")},
        {IDC_DELETE_CP1, tr("Profile (left view): delete the selected point")},
        {IDC_STATUS, tr("The selected point of the profile (left view): its number and X, Y")},
        {IDC_VIEWPORT3, tr("Path: the curve the profile is swept along.")},
        {IDC_DEGREE, tr("Path (middle view): the degree that Reset uses, 1 to 100")},
        {IDC_RESET, tr("Path (middle view): make it a straight row of degree + 1 points")},
        {IDC_SELECT_CP3, tr("Path (middle view), select mode: a click picks a point, a drag moves it")},
        {IDC_ADD_CP3, tr("Path (middle view), add mode: a click adds a point after the selected one")},
        {IDC_DELETE_CP3, tr("Path (middle view): delete the selected point")},
        {IDC_VIEWPORT2, tr("The swept surface: drag with the left button to turn it, drag left or right "
                           "with the right button to zoom. Drop a picture here to wrap it around.")},
        {IDC_LOAD_TEXTURE, tr("Surface (right view): wrap a picture around it (BMP, PNG, JPEG and more)")},
        {IDC_SOLID, tr("Surface (right view): draw it filled")},
        {IDC_WIREFRAME, tr("Surface (right view): draw its edges")},
        {IDC_POINT, tr("Surface (right view): draw its points")},
    };
    for (const auto& [id, tip] : tips)
        m_controls.at(id)->setToolTip(tip);
    m_pathViewTip = m_controls.at(IDC_VIEWPORT3)->toolTip();
}

void CMainDlg::SyncModeButtons()
{
    const std::pair<int, bool> states[] = {
        {IDC_ADD_CP1, m_profile.Mode() == EditMode::Add},
        {IDC_SELECT_CP1, m_profile.Mode() == EditMode::Select},
        {IDC_ADD_CP3, m_path.Mode() == EditMode::Add},
        {IDC_SELECT_CP3, m_path.Mode() == EditMode::Select},
        {IDC_SOLID, m_Viewport2->GetRenderMode() == RenderMode::Solid},
        {IDC_WIREFRAME, m_Viewport2->GetRenderMode() == RenderMode::Wireframe},
        {IDC_POINT, m_Viewport2->GetRenderMode() == RenderMode::Point},
    };
    for (const auto& [id, on] : states)
        static_cast<QPushButton*>(m_controls.at(id))->setChecked(on);
}

void CMainDlg::OnInitDialog()
{
    m_Viewport1->InitGL();
    m_Viewport2->InitGL();
    m_Viewport3->InitGL();
    m_profile.SetListener(this);
    m_path.SetListener(this);
    ReplaceDesign([this] { m_path.ResetCurve(m_nDegree); });
    setWindowIcon(m_hIcon);
    SyncModeButtons();
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
    RecordCurveEdit(document);
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
    // The path's selection has no line of its own: its view's tool tip says it.
    const int pathIndex = m_path.GetSelectedPoint(point);
    m_controls.at(IDC_VIEWPORT3)
        ->setToolTip(m_pathViewTip + QLatin1Char('\n') +
                     QString::fromStdString(FormatSelectedPoint(pathIndex, point.x, point.y)));
}

void CMainDlg::OnSolid()
{
    ChangeRenderMode(RenderMode::Solid);
}

void CMainDlg::OnWireframe()
{
    ChangeRenderMode(RenderMode::Wireframe);
}

void CMainDlg::OnPoint()
{
    ChangeRenderMode(RenderMode::Point);
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
    EditCurve(tr("Reset"), [this] { m_path.ResetCurve(m_nDegree); });
}

void CMainDlg::OnLoadTexture()
{
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(tr("Load Texture"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("Images (%1)").arg(TextureFilePatterns().join(QLatin1Char(' '))),
                           QStringLiteral("Bitmap Files (*.bmp)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenTexture(dialog.selectedFiles().constFirst());
}

void CMainDlg::OpenTexture(const QString& fileName)
{
    const std::string path = LocalPath(QFileInfo(fileName).absoluteFilePath());
    // A file that cannot be read leaves the texture as it was, and so is no
    // step; one that cannot be opened at all is passed over in silence.
    const std::optional<TextureLoad> load = m_Viewport2->LoadTexture(path.c_str());
    if (!load)
        return;
    if (!load->Ok()) {
        TextureMessages::ShowFailure(*load, path);
        return;
    }
    const std::string before = m_texturePath;
    m_texturePath = path;
    m_undoStack.push(new ValueCommand<std::string>(tr("Load Texture"), before, m_texturePath,
                                                   [this](const std::string& p) { ApplyTexture(p); }));
    if (load->Shrunk())
        ShowStandardMessage(TextureMessages::Shrunk(path, load->size, load->shown));
}

std::optional<TextureLoad> CMainDlg::ApplyTexture(const std::string& path)
{
    std::optional<TextureLoad> load;
    if (!path.empty())
        load = m_Viewport2->LoadTexture(path.c_str());
    // Undo and a design want the texture they name or none: a file that
    // cannot be read shows none, and only a texture shown keeps its path.
    if (load && load->Ok()) {
        m_texturePath = path;
    } else {
        m_Viewport2->RemoveTexture();
        m_texturePath.clear();
    }
    return load;
}

void CMainDlg::ChangeRenderMode(RenderMode mode)
{
    const RenderMode before = m_Viewport2->GetRenderMode();
    m_Viewport2->SetRenderMode(mode);
    if (mode != before)
        m_undoStack.push(new ValueCommand<RenderMode>(tr("Render Mode"), before, mode,
                                                      [this](RenderMode m) {
                                                          m_Viewport2->SetRenderMode(m);
                                                          SyncModeButtons();
                                                      }));
}

void CMainDlg::EditCurve(const QString& name, const std::function<void()>& edit)
{
    m_editName = name;
    edit();
    m_editName.clear();
}

void CMainDlg::RecordCurveEdit(const CurveDocument& document)
{
    CurveSnapshot& recorded = &document == &m_profile ? m_profileRecorded : m_pathRecorded;
    CurveSnapshot now = CurveSnapshot::Of(document);
    // A selection alone is no step, but undo goes back to it.
    if (m_replaying || now.SamePoints(recorded)) {
        recorded = std::move(now);
        return;
    }
    QString name = m_editName;
    long gesture = -1;
    if (name.isEmpty()) {
        if (now.points.size() > recorded.points.size()) {
            name = tr("Add Point");
        } else {
            name = tr("Move Point");
            gesture = m_gesture;
        }
    }
    CurveSnapshot before = recorded;
    recorded = now;
    CurveDocument& edited = &document == &m_profile ? m_profile : m_path;
    m_undoStack.push(new CurveEditCommand(name, document, std::move(before), std::move(now), gesture,
                                          [this, &edited](const CurveSnapshot& snapshot) {
                                              // Undo and redo change the curve again: no new step.
                                              m_replaying = true;
                                              edited.Assign(snapshot.points, snapshot.selected);
                                              m_replaying = false;
                                          }));
}

void CMainDlg::ReplaceDesign(const std::function<void()>& replace)
{
    m_replaying = true;
    replace();
    m_replaying = false;
    m_undoStack.clear();
}

Design CMainDlg::CurrentDesign() const
{
    Design design;
    design.profile = m_profile.ControlPoints();
    design.path = m_path.ControlPoints();
    design.degree = m_nDegree;
    design.texturePath = m_texturePath;
    design.renderMode = m_Viewport2->GetRenderMode();
    const float* rotation = m_Viewport2->Trackball().Matrix();
    std::copy(rotation, rotation + 16, design.viewRotation);
    design.viewDistance = m_Viewport2->Trackball().Distance();
    return design;
}

void CMainDlg::OnNew()
{
    if (!MaybeSaveChanges())
        return;
    const Design blank;
    ReplaceDesign([&] {
        m_profile.Assign({}, -1);
        m_nDegree = kMinDesignDegree;
        m_path.ResetCurve(m_nDegree);
        ApplyTexture({});
        m_Viewport2->SetRenderMode(blank.renderMode);
        m_Viewport2->SetView(blank.viewRotation, blank.viewDistance);
    });
    SyncModeButtons();
    UpdateData(false);
    m_fileName.clear();
    m_filePath.clear();
    UpdateTitle();
}

void CMainDlg::OnOpen()
{
    if (!MaybeSaveChanges())
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Open Design"), QFileInfo(m_fileName).path(),
                                                      DesignFilter(), nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        OpenDesign(path);
}

void CMainDlg::OpenRecent(const QString& path)
{
    if (!MaybeSaveChanges())
        return;
    if (!OpenDesign(path) && !QFileInfo::exists(path))
        m_recentFiles.Remove(path);
}

void CMainDlg::FillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList paths = m_recentFiles.List();
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path),
                                                  this, [this, path] { OpenRecent(path); });
        action->setData(path);
    }
    m_recentMenu->setEnabled(!paths.isEmpty());
}

bool CMainDlg::OpenDesign(const QString& path)
{
    return OpenDesignAt(LocalPath(path));
}

bool CMainDlg::OpenDesignAt(const std::string& localPath)
{
    const Result<Design> read = OpenDesignFile(localPath);
    if (!read) {
        ShowStandardMessage(read.Error());
        return false;
    }
    const Design& design = *read;
    std::optional<TextureLoad> texture;
    ReplaceDesign([&] {
        m_profile.Assign(design.profile, -1);
        m_path.Assign(design.path, -1);
        m_nDegree = design.degree;
        m_Viewport2->SetRenderMode(design.renderMode);
        m_Viewport2->SetView(design.viewRotation, design.viewDistance);
        texture = ApplyTexture(design.texturePath);
    });
    SyncModeButtons();
    UpdateData(false);
    SetFile(localPath);
    const QString name = QFileInfo(m_fileName).fileName();
    const QString texturePath = QFile::decodeName(design.texturePath.c_str());
    if (!design.texturePath.empty() && !texture)
        ShowStandardMessage(tr("%1: the texture %2 is missing; the design is open without it.")
                                .arg(name, texturePath).toStdString());
    else if (texture && !texture->Ok())
        TextureMessages::ShowFailure(*texture, design.texturePath);
    else if (texture && texture->Shrunk())
        ShowStandardMessage(TextureMessages::Shrunk(design.texturePath, texture->size, texture->shown));
    return true;
}

bool CMainDlg::OnSave()
{
    return m_filePath.empty() ? OnSaveAs() : SaveDesignAt(m_filePath);
}

bool CMainDlg::OnSaveAs()
{
    const QString path = AskForOutputFile(tr("Save Design"), {DesignFilter()});
    return !path.isEmpty() && SaveDesign(path);
}

bool CMainDlg::SaveDesign(const QString& path)
{
    return SaveDesignAt(LocalPath(path));
}

bool CMainDlg::SaveDesignAt(const std::string& localPath)
{
    const Result<void> saved = SaveDesignFile(localPath, CurrentDesign());
    if (!saved) {
        ShowStandardMessage(saved.Error());
        return false;
    }
    m_undoStack.setClean();
    SetFile(localPath);
    return true;
}

void CMainDlg::SetFile(const std::string& localPath)
{
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(localPath, failed);
    m_filePath = failed ? localPath : absolute.lexically_normal().string();
    // Shown with U+FFFD for bytes that are not UTF-8, and, being text, kept
    // in the recent files only when it names the same file again.
    m_fileName = QFile::decodeName(m_filePath.c_str());
    if (LocalPath(m_fileName) == m_filePath)
        m_recentFiles.Add(m_fileName);
    UpdateTitle();
}

// A save dialog for a file named after the design, with the extension of
// the chosen filter, in the design's folder; empty when cancelled.
QString CMainDlg::AskForOutputFile(const QString& title, const QStringList& filters)
{
    QFileDialog dialog(this, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    const auto suffixOf = [](const QString& filter) {
        return filter.section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0);
    };
    dialog.setDefaultSuffix(suffixOf(filters.first()));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog, suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    const QFileInfo design(m_fileName.isEmpty() ? tr("untitled.velmora") : m_fileName);
    dialog.selectFile(design.completeBaseName() + QLatin1Char('.') + suffixOf(filters.first()));
    if (!m_fileName.isEmpty())
        dialog.setDirectory(design.absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void CMainDlg::OnExportMesh()
{
    const QString path = AskForOutputFile(tr("Export Mesh"), {tr("glTF Binary (*.glb)"), tr("Wavefront OBJ (*.obj)"),
                                                              tr("Binary STL (*.stl)")});
    if (!path.isEmpty())
        ExportMesh(path);
}

void CMainDlg::OnSaveImage()
{
    const QString path = AskForOutputFile(tr("Save Image"), {tr("PNG Images (*.png)")});
    if (!path.isEmpty())
        SaveImage(path);
}

namespace {

// Shows how a command that writes a file went; true when it wrote it.
bool Report(const Result<Written>& outcome)
{
    if (!outcome) {
        ShowStandardMessage(outcome.Error());
        return false;
    }
    if (!outcome->warning.empty())
        ShowStandardMessage(outcome->warning);
    return true;
}

} // namespace

bool CMainDlg::ExportMesh(const QString& path)
{
    return Report(ExportDesignToFile(CurrentDesign(), LocalPath(path)));
}

bool CMainDlg::SaveImage(const QString& path)
{
    return Report(SaveSurfaceImage(*m_Viewport2, LocalPath(path)));
}

bool CMainDlg::MaybeSaveChanges()
{
    if (!IsModified())
        return true;
    const QString name = m_fileName.isEmpty() ? tr("Untitled") : QFileInfo(m_fileName).fileName();
    switch (m_askToSave(name)) {
    case SaveChoice::Save: return OnSave();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

void CMainDlg::UpdateTitle()
{
    const QString caption = QString::fromUtf8(kDialogCaption);
    if (m_fileName.isEmpty())
        setWindowTitle(caption + QStringLiteral("[*]"));
    else
        setWindowTitle(tr("%1[*] - %2").arg(QFileInfo(m_fileName).fileName(), caption));
    setWindowModified(IsModified());
}

std::function<void()> CMainDlg::DropActionFor(const QString& fileName)
{
    if (IsTextureFileName(fileName))
        return [this, fileName] { OpenTexture(fileName); };
    if (fileName.endsWith(QStringLiteral(".velmora"), Qt::CaseInsensitive))
        return [this, fileName] {
            if (MaybeSaveChanges())
                OpenDesign(fileName);
        };
    return {};
}

void CMainDlg::dragEnterEvent(QDragEnterEvent* event)
{
    AnswerDrag(event);
}

void CMainDlg::AnswerDrag(QDropEvent* event)
{
    // Always a copy: a source told of a move might delete the user's file.
    if ((event->possibleActions() & Qt::CopyAction) && DropActionFor(DraggedFile(event->mimeData()))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A view is a native window of its own: a drag over it goes to the view,
    // not to the dialog around it, so the dialog answers for its views.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // A press starts a gesture: the moves of one drag are one step.
        ++m_gesture;
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        AnswerDrag(static_cast<QDropEvent*>(event));
        return true;
    case QEvent::Drop:
        dropEvent(static_cast<QDropEvent*>(event));
        return true;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void CMainDlg::dropEvent(QDropEvent* event)
{
    std::function<void()> action = DropActionFor(DraggedFile(event->mimeData()));
    if (!action || !(event->possibleActions() & Qt::CopyAction))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // After the drop is answered, so that a message box never holds up the
    // program the file came from.
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void CMainDlg::OnOK()
{
    if (UpdateData(true) && MaybeSaveChanges())
        accept();
}

void CMainDlg::reject()
{
    // Escape and the close button end the dialog here.
    if (MaybeSaveChanges())
        QDialog::reject();
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
