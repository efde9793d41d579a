#include "E2eSupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDrag>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <utility>

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

// A window that starts a drag of one file when the pointer moves over it
// with the left button held, and tells `started` once the drag is on.
class FileDragSource : public QWidget {
public:
    FileDragSource(const QString& path, std::function<void()> started)
        : m_path(path), m_started(std::move(started))
    {
    }

    bool finished = false;
    Qt::DropAction result = Qt::IgnoreAction;

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton) || !m_started)
            return;
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(m_path)});
        drag->setMimeData(mime);
        // Runs inside the drag's own event loop, once it has the pointer.
        QTimer::singleShot(0, this, std::exchange(m_started, nullptr));
        // Offered as a move too: the window must still take a copy.
        result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        finished = true;
    }

private:
    QString m_path;
    std::function<void()> m_started;
};

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

Qt::DropAction DragFileWithThePointer(const QString& path, QPoint target)
{
    auto at = [](QPoint p) { return QStringList{QString::number(p.x()), QString::number(p.y())}; };
    // The pointer goes to the target only once the drag has it: moves sent
    // earlier would reach the source window as plain moves.
    QProcess press, carry;
    FileDragSource source(path, [&] {
        carry.start(QStringLiteral("xdotool"), QStringList{QStringLiteral("mousemove")} + at(target) +
                                                   QStringList{QStringLiteral("mousemove")} +
                                                   at(target + QPoint(1, 1)) +
                                                   QStringList{QStringLiteral("mouseup"), QStringLiteral("1")});
    });
    // Below the dialog, which the window system centres on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    source.setGeometry(screen.right() - 140, screen.bottom() - 140, 100, 100);
    source.show();
    if (!QTest::qWaitForWindowExposed(&source, kHangGuardMs))
        return Qt::IgnoreAction;
    const QPoint from = source.mapToGlobal(QPoint(50, 50));
    press.start(QStringLiteral("xdotool"), QStringList{QStringLiteral("mousemove")} + at(from) +
                                               QStringList{QStringLiteral("mousedown"), QStringLiteral("1"),
                                                           QStringLiteral("mousemove")} +
                                               at(from + QPoint(8, 8)));
    // The drag runs its own event loop inside the source's handler until
    // the pointer lets go.
    const bool done = WaitFor([&] { return source.finished; });
    press.waitForFinished(kHangGuardMs);
    carry.waitForFinished(kHangGuardMs);
    return done ? source.result : Qt::IgnoreAction;
}

} // namespace e2e
