#pragma once

#include <QObject>
#include <QString>
#include <functional>

class DesignFiles;
class QDropEvent;

// Takes files dropped on the window: a picture becomes the texture, a design
// is opened (after asking about unsaved changes). A drag that carries one
// such local file is taken as a copy; any other is refused.
class FileDrops : public QObject {
    Q_OBJECT
public:
    FileDrops(DesignFiles& files, QObject* parent);

    // Answers drags over `target` too. A view is a native window of its
    // own: a drag over it goes to the view, not to the dialog around it.
    void Watch(QObject* target);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What dropping this file does, decided by its type; empty for a file
    // the window does not take.
    std::function<void()> ActionFor(const QString& fileName);
    void AnswerDrag(QDropEvent* event);
    void Drop(QDropEvent* event);

    DesignFiles& m_files;
};
