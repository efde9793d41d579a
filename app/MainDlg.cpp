#include "app/MainDlg.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <functional>
#include <utility>

#include "app/DialogFont.h"
#include "app/DialogTemplate.h"
#include "app/FileDrops.h"
#include "app/KeyboardFocusKeeper.h"
#include "app/StatusBar.h"
#include "app/ViewMenu.h"
#include "app/ViewToolTip.h"
#include "app/DialogText.h"
#include "app/MessageBox.h"

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
    m_Viewport3 = new CCurveView(m_design, m_design.Path());
    m_Viewport2 = new CSurfaceView(m_design);
    m_Viewport1 = new CCurveView(m_design, m_design.Profile());
    m_files = new DesignFiles(m_design, m_recorder, *m_Viewport2, this);
    m_drops = new FileDrops(*m_files, this);
    m_points = new PointCommands(m_design, m_recorder, this);
    CreateMenus();
    const PixelRect client = MapDialogRect(0, 0, kDialogWidthDlu, kDialogHeightDlu, m_baseUnits);
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, client.width, menuHeight);
    m_client = new QWidget(this);
    m_client->setGeometry(0, menuHeight, client.width, client.height);
    m_statusBar = new StatusBar(m_design, *m_Viewport1, *m_Viewport3, *m_Viewport2, this);
    const PixelRect bar = MapDialogRect(0, kDialogHeightDlu, kDialogWidthDlu, kStatusBarHeightDlu, m_baseUnits);
    m_statusBar->setGeometry(0, menuHeight + bar.y, bar.width, bar.height);
    setFixedSize(client.width, menuHeight + bar.y + bar.height);
    CreateControls();
    UpdateData(false);
    OnInitDialog();
    auto* focusKeeper = new CKeyboardFocusKeeper(this, m_client, m_controls.at(IDC_ADD_CP1));
    for (QMenu* menu : m_menuBar->findChildren<QMenu*>())
        focusKeeper->Watch(menu);
    connect(m_files, &DesignFiles::FileChanged, this, [this] { UpdateTitle(); });
    UpdateTitle();
}

CMainDlg::~CMainDlg()
{
    // The views, the status bar and the file commands go first: they know the design.
    delete m_statusBar;
    delete m_drops;
    delete m_files;
    delete m_client;
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
    add(file, tr("&New"), QKeySequence::New, "actionNew", [this] { m_files->OnNew(); });
    add(file, tr("&Open..."), QKeySequence::Open, "actionOpen", [this] { m_files->OnOpen(); });
    QMenu* recent = file->addMenu(tr("Open &Recent"));
    recent->setObjectName(QStringLiteral("menuRecent"));
    // Filled as the File menu opens: a disabled submenu never opens, and
    // the list may have grown since.
    connect(file, &QMenu::aboutToShow, this, [this, recent] { m_files->FillRecentMenu(recent); });
    m_files->FillRecentMenu(recent);
    file->addSeparator();
    add(file, tr("&Save"), QKeySequence::Save, "actionSave", [this] { m_files->OnSave(); });
    add(file, tr("Save &As..."), QKeySequence::SaveAs, "actionSaveAs", [this] { m_files->OnSaveAs(); });
    file->addSeparator();
    file->addAction(tr("&Export Mesh..."), this, [this] { m_files->OnExportMesh(); })
        ->setObjectName(QStringLiteral("actionExportMesh"));
    file->addAction(tr("Save &Image..."), this, [this] { m_files->OnSaveImage(); })
        ->setObjectName(QStringLiteral("actionSaveImage"));
    file->addSeparator();
    add(file, tr("&Quit"), QKeySequence::Quit, "actionQuit", [this] { close(); });

    QMenu* edit = m_menuBar->addMenu(tr("&Edit"));
    // Qt's own "Undo %1" and "Redo %1", translated with Qt's texts.
    QAction* undo = m_recorder.Stack().createUndoAction(this);
    undo->setShortcuts(QKeySequence::Undo);
    undo->setObjectName(QStringLiteral("actionUndo"));
    QAction* redo = m_recorder.Stack().createRedoAction(this);
    redo->setShortcuts(QKeySequence::Redo);
    redo->setObjectName(QStringLiteral("actionRedo"));
    edit->addAction(undo);
    edit->addAction(redo);
    m_points->AddTo(edit);

    new ViewMenu(m_design, *m_Viewport2, m_menuBar);
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
            m_drops->Watch(view);
            break;
        }
        }
        widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
        widget->setProperty("controlId", control.id);
        if (control.id != IDC_STATIC)
            m_controls[control.id] = widget;
    }
    ConnectButtons();
    SetToolTips();
    setAcceptDrops(true);
    m_drops->Watch(this);
}

void CMainDlg::ConnectButtons()
{
    const std::pair<int, std::function<void()>> commands[] = {
        {IDC_SOLID, [this] { OnSolid(); }},
        {IDC_WIREFRAME, [this] { OnWireframe(); }},
        {IDC_POINT, [this] { OnPoint(); }},
        {IDC_RESET, [this] { OnReset(); }},
        {IDC_LOAD_TEXTURE, [this] { m_files->OnLoadTexture(); }},
        {IDC_ADD_CP1, [this] { Profile().SetMode(EditMode::Add); }},
        {IDC_SELECT_CP1, [this] { Profile().SetMode(EditMode::Select); }},
        {IDC_DELETE_CP1, [this] { m_points->DeleteSelected(Profile()); }},
        {IDC_ADD_CP3, [this] { Path().SetMode(EditMode::Add); }},
        {IDC_SELECT_CP3, [this] { Path().SetMode(EditMode::Select); }},
        {IDC_DELETE_CP3, [this] { m_points->DeleteSelected(Path()); }},
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
    const auto button = [this](int id) { return static_cast<QPushButton*>(m_controls.at(id)); };
    m_points->Watch(*m_Viewport1, {button(IDC_ADD_CP1), button(IDC_SELECT_CP1), button(IDC_DELETE_CP1)});
    m_points->Watch(*m_Viewport3, {button(IDC_ADD_CP3), button(IDC_SELECT_CP3), button(IDC_DELETE_CP3)});
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
        {IDC_ADD_CP1, Profile().Mode() == EditMode::Add},
        {IDC_SELECT_CP1, Profile().Mode() == EditMode::Select},
        {IDC_ADD_CP3, Path().Mode() == EditMode::Add},
        {IDC_SELECT_CP3, Path().Mode() == EditMode::Select},
        {IDC_SOLID, m_design.GetRenderMode() == RenderMode::Solid},
        {IDC_WIREFRAME, m_design.GetRenderMode() == RenderMode::Wireframe},
        {IDC_POINT, m_design.GetRenderMode() == RenderMode::Point},
    };
    for (const auto& [id, on] : states)
        static_cast<QPushButton*>(m_controls.at(id))->setChecked(on);
    m_statusBar->ShowModes();
}

void CMainDlg::OnInitDialog()
{
    m_Viewport1->InitGL();
    m_Viewport2->InitGL();
    m_Viewport3->InitGL();
    m_design.AddListener(this);
    RefreshReadOut();
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

void CMainDlg::OnDesignChanged(const DesignDocument& design, DesignParts changed)
{
    if (changed & kDegreePart)
        m_nDegree = design.Degree();
    if (changed & (kProfilePart | kPathPart | kDegreePart))
        RefreshReadOut();
    if (changed & kRenderModePart)
        SyncModeButtons();
}

void CMainDlg::OnEditRefused(const CurveDocument&, EditRefusal refusal)
{
    switch (refusal) {
    case EditRefusal::NegativeX:
        ShowStandardMessage("X > 0이어야 합니다.");
        break;
    case EditRefusal::TooManyPoints:
        ShowModellerMessage(tr("A curve can hold at most %1 control points.")
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
    const int index = Profile().GetSelectedPoint(point);
    m_strStatus = QString::fromStdString(FormatSelectedPoint(index, point.x, point.y));
    UpdateData(false);
    // The path's selection has no line of its own: its view's tool tip says it.
    const int pathIndex = Path().GetSelectedPoint(point);
    m_controls.at(IDC_VIEWPORT3)
        ->setToolTip(m_pathViewTip + QLatin1Char('\n') +
                     QString::fromStdString(FormatSelectedPoint(pathIndex, point.x, point.y)));
}

void CMainDlg::OnSolid()
{
    m_design.SetRenderMode(RenderMode::Solid);
}

void CMainDlg::OnWireframe()
{
    m_design.SetRenderMode(RenderMode::Wireframe);
}

void CMainDlg::OnPoint()
{
    m_design.SetRenderMode(RenderMode::Point);
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
    // The degree is part of the step: undo puts back the one in use before.
    m_recorder.Record(tr("Reset"), [this] {
        m_design.SetDegree(m_nDegree);
        m_design.ResetPath();
    });
}

void CMainDlg::UpdateTitle()
{
    setWindowTitle(tr("%1[*] - %2").arg(m_files->DisplayName(), QString::fromUtf8(kDialogCaption)));
    setWindowModified(m_files->IsModified());
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A press in a view starts a gesture: the moves of one drag are one step.
    if (event->type() == QEvent::MouseButtonPress)
        m_recorder.BeginGesture();
    return QDialog::eventFilter(watched, event);
}

void CMainDlg::OnOK()
{
    if (UpdateData(true) && m_files->MaybeSaveChanges())
        accept();
}

void CMainDlg::reject()
{
    // Escape and the close button end the dialog here.
    if (m_files->MaybeSaveChanges())
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
