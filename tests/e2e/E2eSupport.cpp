#include "E2eSupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QPointer>
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
    std::string failure = "the file dialog did not appear";
    int attempts = 0;
    // Polls for the modal file dialog: it appears only once exec() runs
    // inside the button's click handler.
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++attempts;
        QWidget* modal = QApplication::activeModalWidget();
        auto* fileDialog = qobject_cast<QFileDialog*>(modal);
        if (!fileDialog || !fileDialog->isVisible()) {
            if (modal)
                failure = std::string("another modal window: ") + modal->metaObject()->className();
            if (attempts > 600)
                poll.stop();
            return;
        }
        poll.stop();
        auto* name = fileDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        auto* buttons = fileDialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
        if (!name || !open) {
            failure = "no file-name field or Open button";
            fileDialog->reject();
            return;
        }
        // The dialog lists directories on a thread and rewrites a typed path
        // as the listing arrives; so it is opened on the file's directory, the
        // listing awaited, and only the name is typed.
        const QFileInfo target(path);
        fileDialog->setDirectory(target.absolutePath());
        auto* model = fileDialog->findChild<QFileSystemModel*>();
        WaitFor([&] { return model && model->index(target.absoluteFilePath()).isValid(); }, 5000);
        for (int attempt = 0; attempt < 3 && name->text() != target.fileName(); ++attempt) {
            QTest::mouseClick(name, Qt::LeftButton);
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(name, Qt::Key_Backspace);
            QTest::keyClicks(name, target.fileName());
            WaitFor([] { return false; }, 50);
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
        } else if (chosen.size() != 1 || QFileInfo(chosen[0]) != QFileInfo(path)) {
            failure = "the dialog chose " + chosen.join(QStringLiteral(", ")).toStdString();
        } else {
            failure.clear();
        }
    });
    // Last resort: whatever modal window is left open ends here.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    poll.start();
    guard.start(40000);
    QTest::mouseClick(loadButton, Qt::LeftButton);
    poll.stop();
    guard.stop();
    if (failure.empty() && QApplication::activeModalWidget() != nullptr)
        failure = "a modal window is still open";
    return failure;
}

} // namespace e2e
