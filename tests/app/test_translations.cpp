#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/DialogTemplate.h"
#include "app/DialogFont.h"
#include "app/ExportOptionsDialog.h"
#include "app/FileFilters.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "app/TextureMessages.h"
#include "app/Translations.h"
#include "GuiTestSupport.h"

namespace {

const QLocale kKorean(QLocale::Korean, QLocale::SouthKorea);

// A box in the dialog's face: the face the font substitution gives "굴림".
void ExpectDialogFace(const QWidget* widget, const char* what)
{
    EXPECT_EQ(QFontInfo(widget->font()).family(), QFontInfo(DialogFont()).family()) << what;
    EXPECT_EQ(widget->font().pointSize(), kDialogFontPoints) << what;
}

// Runs `inspect` on the modal window that `open` brings up, then closes it.
// A zero timer started before `open` fires inside the modal loop.
template <typename Modal>
bool InspectModal(const std::function<void()>& open, const std::function<void(Modal&)>& inspect)
{
    bool seen = false;
    QTimer::singleShot(0, qApp, [&] {
        if (auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget())) {
            seen = true;
            inspect(*modal);
            modal->reject();
        }
    });
    open();
    return seen;
}

class Translations : public testing::Test {
protected:
    // The suite goes on in the locale it was started in.
    void TearDown() override { InstallTranslations(QLocale()); }
};

} // namespace

TEST_F(Translations, KoreanLocaleTranslatesTheApplicationAndTheToolkitOthersStayEnglish)
{
    ASSERT_TRUE(InstallTranslations(kKorean));
    EXPECT_EQ(QCoreApplication::translate("DesignFiles", "Load Texture"), "텍스처 불러오기");
    // The export options box and the preview, in the contexts that ask for them.
    EXPECT_EQ(ExportOptionsDialog(ExportOptions{}, nullptr).windowTitle(), "내보내기 옵션");
    EXPECT_EQ(QCoreApplication::translate("ViewMenu", "&Preview export"), "내보내기 미리 보기(&P)");
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Ok).button(QDialogButtonBox::Ok)->text(), "확인");
    // A picture's refusal is the application's text; a bitmap's is the reader's fixed one.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"notreally.png", "words.bmp"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("no picture, only words");
    }
    // Qt's own words in brackets, in Qt's translation.
    EXPECT_EQ(LoadTextureFile(dir.filePath("notreally.png").toLocal8Bit().constData()).Error().rfind(
                  "notreally.png: Qt가 읽을 수 있는 그림이 아닙니다 (", 0),
              0u);
    EXPECT_EQ(LoadTextureFile(dir.filePath("words.bmp").toLocal8Bit().constData()).Error(),
              "Unknown DIB file format.");
    // Korean named anywhere in the user's languages (LANGUAGE=de:ko) counts.
    EXPECT_TRUE(InstallTranslations(QLocale(QLocale::Korean)));

    for (const QLocale& other : {QLocale(QLocale::English, QLocale::UnitedStates),
                                 QLocale(QLocale::German, QLocale::Germany), QLocale::c()}) {
        // A language the application has no texts for leaves the toolkit
        // English too, whatever Debian ships for it.
        EXPECT_FALSE(InstallTranslations(other)) << other.name().toStdString();
        EXPECT_EQ(QCoreApplication::translate("DesignFiles", "Load Texture"), "Load Texture");
        EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Open).button(QDialogButtonBox::Open)->text(), "Open");
    }
}

TEST_F(Translations, BoxesSpeakTheLocaleInTheDialogFaceWhileFixedTextsStay)
{
    struct Case {
        QLocale locale;
        QString title, open, ok;
    };
    for (const Case& c : {Case{kKorean, "텍스처 불러오기", "열기(&O)", "확인"},
                          Case{QLocale::c(), "Load Texture", "&Open", "OK"}}) {
        SCOPED_TRACE(c.locale.name().toStdString());
        InstallTranslations(c.locale);
        CMainDlg dialog;
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog, kHangGuardMs));
        auto* load = qobject_cast<QPushButton*>(dialog.GetDlgItem(IDC_LOAD_TEXTURE));
        EXPECT_EQ(load->text(), "Load Texture");

        const bool fileDialogSeen = InspectModal<QFileDialog>(
            [&] { QTest::mouseClick(load, Qt::LeftButton); },
            [&](QFileDialog& files) {
                EXPECT_EQ(files.windowTitle(), c.title);
                EXPECT_EQ(files.nameFilters().value(1), "Bitmap Files (*.bmp)") << "the fixed filter stays";
                auto* buttons = files.findChild<QDialogButtonBox*>();
                ASSERT_NE(buttons, nullptr);
                EXPECT_EQ(buttons->button(QDialogButtonBox::Open)->text(), c.open);
                ExpectDialogFace(buttons->button(QDialogButtonBox::Open), "file dialog");
            });
        EXPECT_TRUE(fileDialogSeen);

        // The real message box, as the program shows the degree refusal.
        const bool boxSeen = InspectModal<QMessageBox>(
            [] { ShowStandardMessage("양의 정수를 입력하십시오."); },
            [&](QMessageBox& box) {
                EXPECT_EQ(box.text(), "양의 정수를 입력하십시오.");
                ASSERT_NE(box.button(QMessageBox::Ok), nullptr);
                EXPECT_EQ(box.button(QMessageBox::Ok)->text(), c.ok);
                ExpectDialogFace(box.button(QMessageBox::Ok), "OK button");
                ExpectDialogFace(box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")), "message");
            });
        EXPECT_TRUE(boxSeen);
    }
}

// The export dialog's filters come from the format registry, in the
// registry's order, and keep the translations of their texts.
TEST_F(Translations, MeshExportFiltersAreTranslated)
{
    ASSERT_TRUE(InstallTranslations(kKorean));
    EXPECT_EQ(MeshExportFilters(),
              QStringList({"glTF 바이너리 (*.glb)", "Wavefront OBJ (*.obj)", "바이너리 STL (*.stl)",
                           "3D 제조 형식 (*.3mf)"}));
    InstallTranslations(QLocale::c());
    EXPECT_EQ(MeshExportFilters(),
              QStringList({"glTF Binary (*.glb)", "Wavefront OBJ (*.obj)", "Binary STL (*.stl)",
                           "3D Manufacturing Format (*.3mf)"}));
}
