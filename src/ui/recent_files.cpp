#include "ui/recent_files.h"

#include <QFileInfo>

namespace tp {

namespace {

QString Section() { return QStringLiteral("Recent File List"); }

}  // namespace

void RecentFiles::Load(QSettings& settings)
{
    paths_.clear();
    settings.beginGroup(Section());
    for (int i = 1; i <= kCount; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !paths_.contains(path)) paths_.append(path);
    }
    settings.endGroup();
}

void RecentFiles::Save(QSettings& settings) const
{
    settings.beginGroup(Section());
    for (int i = 1; i <= kCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= paths_.size())
            settings.setValue(key, paths_[i - 1]);
        else
            settings.remove(key);
    }
    settings.endGroup();
}

void RecentFiles::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    paths_.removeAll(absolute);
    paths_.prepend(absolute);
    while (paths_.size() > kCount) paths_.removeLast();
}

void RecentFiles::Remove(const QString& path) { paths_.removeAll(QFileInfo(path).absoluteFilePath()); }

QString RecentFiles::MenuText(int index) const
{
    const QFileInfo info(paths_.value(index));
    int same_name = 0;
    for (const QString& other : paths_) same_name += QFileInfo(other).fileName() == info.fileName() ? 1 : 0;
    const QString shown = same_name > 1 ? info.absoluteFilePath() : info.fileName();
    QString escaped = shown;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(escaped);
}

}  // namespace tp
