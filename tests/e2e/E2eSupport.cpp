#include "E2eSupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>
#include <fstream>

namespace e2e {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFFu);
    Put16(out, v >> 16);
}

} // namespace

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool WriteBmp24(const std::string& path, int width, int height,
                const std::function<QRgb(int x, int yFromBottom)>& colour)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3u + 3u) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageBytes);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = 0; y < height; ++y) {
        std::uint32_t written = 0;
        for (int x = 0; x < width; ++x, written += 3) {
            const QRgb c = colour(x, y);
            out.push_back(static_cast<std::uint8_t>(qBlue(c)));
            out.push_back(static_cast<std::uint8_t>(qGreen(c)));
            out.push_back(static_cast<std::uint8_t>(qRed(c)));
        }
        for (; written < rowBytes; ++written)
            out.push_back(0);
    }
    return WriteBytes(path, out);
}

std::string LoadTextureThroughDialog(QPushButton* loadButton, const QString& path)
{
    return ChooseFileThroughDialog(loadButton, [loadButton] { QTest::mouseClick(loadButton, Qt::LeftButton); },
                                   path);
}

std::string ChooseFileThroughDialog(QObject* context, const std::function<void()>& showDialog,
                                    const QString& path)
{
    std::string failure = "the file dialog did not appear";
    // The file dialog is modal: it runs its own event loop inside the
    // button's click handler, and a zero timer started before the click fires
    // inside that loop, once the dialog is showing.
    auto driveDialog = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* fileDialog = qobject_cast<QFileDialog*>(modal);
        if (!fileDialog) {
            if (modal) {
                failure = std::string("another modal window: ") + modal->metaObject()->className();
                if (auto* other = qobject_cast<QDialog*>(modal))
                    other->reject();
            }
            return;
        }
        auto* name = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = fileDialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QPushButton* open = nullptr;
        if (buttons)
            open = buttons->button(fileDialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                                      : QDialogButtonBox::Open);
        if (!name || !open) {
            failure = "no file-name field or Open button";
            fileDialog->reject();
            return;
        }
        // The dialog lists directories on a thread and completes a typed
        // name from the listing as it arrives; so it is opened on the file's
        // directory, and the name is typed only once that listing is in.
        const QFileInfo target(path);
        auto* model = fileDialog->findChild<QFileSystemModel*>();
        bool listed = false;
        if (model)
            QObject::connect(model, &QFileSystemModel::directoryLoaded, fileDialog,
                             [&](const QString& loaded) {
                                 listed = listed || QFileInfo(loaded) == QFileInfo(target.absolutePath());
                             });
        fileDialog->setDirectory(target.absolutePath());
        if (!WaitFor([&] { return listed; })) {
            failure = "the dialog never listed the file's directory";
            fileDialog->reject();
            return;
        }
        // While typing, the dialog selects each name it can find in the
        // listing, and it drops a stale selection only while the field has
        // the keyboard: so the dialog must be the active window first.
        fileDialog->activateWindow();
        if (!WaitFor([&] { return fileDialog->isActiveWindow(); })) {
            failure = "the dialog never became the active window";
            fileDialog->reject();
            return;
        }
        QTest::mouseClick(name, Qt::LeftButton);
        QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(name, Qt::Key_Backspace);
        QTest::keyClicks(name, target.fileName());
        if (name->text() != target.fileName() || !name->hasFocus()) {
            failure = "the name field shows \"" + name->text().toStdString() + "\"";
            fileDialog->reject();
            return;
        }
        // The completion list would take the confirming click for itself.
        if (name->completer() && name->completer()->popup())
            name->completer()->popup()->hide();
        // What counts is the file the dialog hands out.
        QTest::mouseClick(open, Qt::LeftButton);
        const QStringList chosen = fileDialog->selectedFiles();
        if (fileDialog->isVisible()) {
            failure = "the dialog refused \"" + name->text().toStdString() + "\"";
            fileDialog->reject();
        } else if (chosen.size() != 1 || QFileInfo(chosen[0]).absoluteFilePath() != QFileInfo(path).absoluteFilePath()) {
            failure = "the dialog chose " + chosen.join(QStringLiteral(", ")).toStdString();
        } else {
            failure.clear();
        }
    };
    QTimer::singleShot(0, context, driveDialog);
    showDialog();
    if (failure.empty() && QApplication::activeModalWidget() != nullptr)
        failure = "a modal window is still open";
    return failure;
}

} // namespace e2e
