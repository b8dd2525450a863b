// The modification mode's preview: the planar wide-view image with the current pair outlined, the first
// image in red and the second in green, zoomable from its context menu.
#pragma once

#include "ui/xview.h"

namespace tp {

class CMainDoc;

class CWndPreview final : public CXView {
    Q_OBJECT
public:
    CWndPreview(CMainDoc& doc, QWidget* parent);
    // Takes a copy of the mosaic's planar image at zoom 1 (clears when there is none).
    void ShowWideView();

protected:
    void DrawOverlay(QPainter& painter, const QRect& clip) override;

private:
    CMainDoc& doc_;
};

}  // namespace tp
