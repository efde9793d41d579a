#include "app/FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <utility>

#include "app/DesignFiles.h"
#include "app/TextureFile.h"

namespace {

// The one local file a drag carries; empty for anything else.
QString DraggedFile(const QMimeData* mime)
{
    if (!mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().constFirst().isLocalFile())
        return {};
    return mime->urls().constFirst().toLocalFile();
}

} // namespace

FileDrops::FileDrops(DesignFiles& files, QObject* parent) : QObject(parent), m_files(files) {}

void FileDrops::Watch(QObject* target)
{
    target->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        AnswerDrag(static_cast<QDropEvent*>(event));
        return true;
    case QEvent::Drop:
        Drop(static_cast<QDropEvent*>(event));
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

std::function<void()> FileDrops::ActionFor(const QString& fileName)
{
    if (IsTextureFileName(fileName))
        return [this, fileName] { m_files.OpenTexture(fileName); };
    if (fileName.endsWith(QStringLiteral(".velmora"), Qt::CaseInsensitive))
        return [this, fileName] {
            if (m_files.MaybeSaveChanges())
                m_files.OpenDesign(fileName);
        };
    return {};
}

void FileDrops::AnswerDrag(QDropEvent* event)
{
    // Always a copy: a source told of a move might delete the user's file.
    if ((event->possibleActions() & Qt::CopyAction) && ActionFor(DraggedFile(event->mimeData()))) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FileDrops::Drop(QDropEvent* event)
{
    std::function<void()> action = ActionFor(DraggedFile(event->mimeData()));
    if (!action || !(event->possibleActions() & Qt::CopyAction))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // After the drop is answered, so that a message box never holds up the
    // program the file came from.
    QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}
