#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/ExportOptionsDialog.h"
#include "app/MainDlg.h"
#include "core/export/ExportMesh.h"
#include "GuiTestSupport.h"

// Export Mesh's options box on the real dialog, and the View menu's export
// preview.
namespace {

class ExportOptionsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(dialog->Profile().Assign({{2, -4, 0}, {6, -1, 0}, {1, 2, 0}, {3, 5, 0}}, -1));
        dialog->UndoStack().clear();
        ProcessEvents();
    }
    void TearDown() override { dialog.reset(); }

    // Runs `use` on the options box that exporting to `path` brings up,
    // closing it with Cancel if `use` left it open; false when no box came up.
    bool WithBox(const QString& path, const std::function<void(ExportOptionsDialog&)>& use, bool* exported = nullptr)
    {
        bool seen = false;
        QObject scope;  // no box: the timer goes with it
        QTimer::singleShot(0, &scope, [&] {
            if (auto* box = qobject_cast<ExportOptionsDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                use(*box);
                if (box->isVisible())
                    box->reject();
            }
        });
        const bool written = dialog->Files().AskOptionsAndExport(path);
        if (exported)
            *exported = written;
        ProcessEvents();
        return seen;
    }
    static void Press(ExportOptionsDialog& box, QDialogButtonBox::StandardButton which)
    {
        QTest::mouseClick(box.findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
    }
    template <typename Field>
    static Field* FieldOf(ExportOptionsDialog& box, const char* name)
    {
        auto* field = box.findChild<Field*>(QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    // Replaces the spin box's text by typing, as a user would.
    static void Type(QAbstractSpinBox* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }
    static void Choose(QComboBox* box, const QString& text)
    {
        const int index = box->findText(text);
        ASSERT_NE(index, -1) << text.toStdString();
        box->setCurrentIndex(index);
    }
    QAction* Action(const char* name) { return dialog->findChild<QAction*>(QString::fromLatin1(name)); }

    QTemporaryDir folder;
    RecordingMessageBoxes boxes;
    std::unique_ptr<CMainDlg> dialog;
};

} // namespace

TEST_F(ExportOptionsTest, OkKeepsTheChoicesInTheDesignAsOneStepAndExportsWithThem)
{
    const QString path = folder.filePath("vase.stl");
    bool exported = false;
    ASSERT_TRUE(WithBox(path, [&](ExportOptionsDialog& box) {
        EXPECT_EQ(box.windowTitle(), "Export Options");
        // It starts from the design's options: the defaults.
        EXPECT_EQ(FieldOf<QSpinBox>(box, "slices")->value(), 24);
        EXPECT_EQ(FieldOf<QSpinBox>(box, "intervals")->value(), 10);
        EXPECT_FALSE(FieldOf<QCheckBox>(box, "caps")->isChecked());
        EXPECT_EQ(FieldOf<QDoubleSpinBox>(box, "thickness")->text(), "None");
        EXPECT_EQ(FieldOf<QDoubleSpinBox>(box, "scale")->text(), "1") << "the digits it needs";
        EXPECT_EQ(FieldOf<QComboBox>(box, "units")->currentText(), "Format's default");
        EXPECT_EQ(FieldOf<QComboBox>(box, "up")->count(), 3);
        Type(FieldOf<QSpinBox>(box, "slices"), "48");
        Type(FieldOf<QSpinBox>(box, "intervals"), "3");
        Type(FieldOf<QDoubleSpinBox>(box, "thickness"), "0.25");
        Type(FieldOf<QDoubleSpinBox>(box, "scale"), "2.5");
        Choose(FieldOf<QComboBox>(box, "units"), "cm");
        Choose(FieldOf<QComboBox>(box, "up"), "Z");
        Press(box, QDialogButtonBox::Ok);
        EXPECT_FALSE(box.isVisible());
    }, &exported));
    EXPECT_TRUE(exported);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes.front().text;

    ExportOptions chosen;
    chosen.sweep.slices = 48;
    chosen.sweep.intervalsPerSpan = 3;
    chosen.thickness = 0.25;
    chosen.scale = 2.5;
    chosen.units = LengthUnit::Centimetre;
    chosen.up = UpAxis::Z;
    EXPECT_TRUE(dialog->Document().Output() == chosen);
    EXPECT_EQ(dialog->UndoStack().count(), 1);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Export Options");

    // The file is the mesh of the chosen options: binary STL, 50 bytes a triangle.
    const Result<IndexedMesh> mesh =
        BuildExportMesh(dialog->Profile().ControlPoints(), dialog->Path().ControlPoints(), chosen);
    ASSERT_TRUE(mesh) << mesh.Error();
    const Result<IndexedMesh> defaults =
        BuildExportMesh(dialog->Profile().ControlPoints(), dialog->Path().ControlPoints(), ExportOptions{});
    ASSERT_TRUE(defaults) << defaults.Error();
    EXPECT_NE(mesh->TriangleCount(), defaults->TriangleCount());
    EXPECT_EQ(QFile(path).size(), static_cast<qint64>(84 + 50 * mesh->TriangleCount()));

    // The box remembers them; OK on what it shows is no further step.
    ASSERT_TRUE(WithBox(path, [&](ExportOptionsDialog& box) {
        EXPECT_EQ(FieldOf<QSpinBox>(box, "slices")->value(), 48);
        EXPECT_EQ(FieldOf<QComboBox>(box, "up")->currentText(), "Z");
        EXPECT_TRUE(box.Options() == chosen);
        Press(box, QDialogButtonBox::Ok);
    }));
    EXPECT_EQ(dialog->UndoStack().count(), 1);

    dialog->UndoStack().undo();
    EXPECT_TRUE(dialog->Document().Output() == ExportOptions{});
    dialog->UndoStack().redo();
    EXPECT_TRUE(dialog->Document().Output() == chosen);
}

TEST_F(ExportOptionsTest, CancelChangesNothingAndWritesNothing)
{
    const QString path = folder.filePath("vase.glb");
    bool exported = true;
    ASSERT_TRUE(WithBox(path, [&](ExportOptionsDialog& box) {
        Type(FieldOf<QSpinBox>(box, "slices"), "6");
        FieldOf<QCheckBox>(box, "caps")->setChecked(true);
        Press(box, QDialogButtonBox::Cancel);
        EXPECT_FALSE(box.isVisible());
    }, &exported));
    EXPECT_FALSE(exported);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(dialog->Document().Output() == ExportOptions{});
    EXPECT_EQ(dialog->UndoStack().count(), 0);
    EXPECT_FALSE(dialog->Files().IsModified());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ExportOptionsTest, TypedValuesOutOfRangeCannotBeEnteredAndRefusedOptionsKeepTheBoxOpen)
{
    ASSERT_TRUE(WithBox(folder.filePath("vase.obj"), [&](ExportOptionsDialog& box) {
        // Beyond the top: the digit that would pass it is not taken.
        Type(FieldOf<QSpinBox>(box, "slices"), "5000");
        EXPECT_EQ(FieldOf<QSpinBox>(box, "slices")->value(), 500);
        Type(FieldOf<QSpinBox>(box, "intervals"), "20000");
        EXPECT_EQ(FieldOf<QSpinBox>(box, "intervals")->value(), 200);
        // Below 0: the minus sign alone is taken, and no number with it.
        Type(FieldOf<QDoubleSpinBox>(box, "thickness"), "0.5");
        Type(FieldOf<QDoubleSpinBox>(box, "thickness"), "-1");
        EXPECT_EQ(FieldOf<QDoubleSpinBox>(box, "thickness")->text(), "-");
        EXPECT_EQ(FieldOf<QDoubleSpinBox>(box, "thickness")->value(), 0.5);
        // Below the bottom: the box keeps the last value it had.
        Type(FieldOf<QSpinBox>(box, "slices"), "2");
        Type(FieldOf<QDoubleSpinBox>(box, "scale"), "0");
        Press(box, QDialogButtonBox::Ok);
        EXPECT_FALSE(box.isVisible());
    }));
    const ExportOptions& stored = dialog->Document().Output();
    EXPECT_EQ(stored.sweep.slices, 500);
    EXPECT_EQ(stored.sweep.intervalsPerSpan, 200);
    EXPECT_EQ(stored.thickness, 0.5);
    EXPECT_EQ(stored.scale, 1.0);
    EXPECT_TRUE(boxes.boxes.empty());

    // Options the core refuses (a scale of 0, which no field can show) are
    // named in a box, and the box stays open until they are put right.
    ExportOptions refused;
    refused.scale = 0.0;
    ExportOptionsDialog box(refused, dialog.get());
    box.show();
    Press(box, QDialogButtonBox::Ok);
    ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"scale must be above 0 and at most 1e+06, not 0"});
    EXPECT_EQ(boxes.boxes[0].caption, "Velmora");
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);
    Type(FieldOf<QDoubleSpinBox>(box, "scale"), "3");
    Press(box, QDialogButtonBox::Ok);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_EQ(box.Options().scale, 3.0);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(ExportOptionsTest, ThePreviewActionIsOffUntilCheckedAndShowsTheExportMesh)
{
    QAction* preview = Action("actionPreviewExport");
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isCheckable());
    EXPECT_FALSE(preview->isChecked());
    EXPECT_FALSE(dialog->SurfaceView().IsPreviewExport());
    dialog->Document().SetRenderMode(RenderMode::Wireframe);
    ExportOptions coarse;
    coarse.sweep.slices = 6;
    coarse.sweep.intervalsPerSpan = 2;
    ASSERT_TRUE(dialog->Document().SetOutput(coarse));
    const QImage surface = GrabView(dialog->SurfaceView());

    preview->trigger();
    EXPECT_TRUE(dialog->SurfaceView().IsPreviewExport());
    EXPECT_GT(CountUnequalPixels(GrabView(dialog->SurfaceView()), surface), 500);
    preview->trigger();
    EXPECT_FALSE(dialog->SurfaceView().IsPreviewExport());
    EXPECT_EQ(CountUnequalPixels(GrabView(dialog->SurfaceView()), surface), 0);
}
