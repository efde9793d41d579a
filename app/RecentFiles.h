#pragma once

#include <QString>
#include <QStringList>

// The designs opened or saved last, newest first, kept in the user's
// settings so that they outlive the program.
class RecentFiles {
public:
    static constexpr int kMaxCount = 8;

    QStringList List() const;
    // Puts a design first (once), dropping the oldest beyond the limit.
    void Add(const QString& path);
    void Remove(const QString& path);
    void Clear();

private:
    void Store(const QStringList& paths);
};
