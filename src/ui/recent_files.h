// The four most recent projects, kept in the settings under "Recent File List" as File1 .. File4.
#pragma once

#include <QSettings>
#include <QStringList>

namespace tp {

class RecentFiles {
public:
    static constexpr int kCount = 4;

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;
    // Puts `path` first; an entry already in the list moves up instead of appearing twice.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& paths() const { return paths_; }
    // The menu text of entry i: "&1 name" with the file name, the folder shown only when two entries share a name.
    QString MenuText(int index) const;

private:
    QStringList paths_;
};

}  // namespace tp
