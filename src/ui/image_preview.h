// A picture of one image file, fitted into the area (never enlarged) on the dark background: the preview of
// the source-image picker.
#pragma once

#include <QString>
#include <QWidget>

#include "project/display_copy.h"

namespace tp {

class ImagePreview : public QWidget {
    Q_OBJECT
public:
    explicit ImagePreview(QWidget* parent = nullptr);
    // Shows the file at `path`; an empty path (or an unreadable file) shows only the background.
    void ShowFile(const QString& path);
    const QString& path() const { return path_; }
    bool showing_image() const { return copy_.loaded(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString path_;
    DisplayCopy copy_;
};

}  // namespace tp
