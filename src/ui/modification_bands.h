// The two bands of the modification mode. Above the edit window: frame navigation, the four point buttons
// (Four Points Mode) and the mode choice. Above the preview window: "Save changes and preview", "End
// Modification" and the current pair's status.
#pragma once

#include "ui/band_view.h"

class QComboBox;

namespace tp {

class CMainDoc;

class CTopModification final : public BandView {
    Q_OBJECT
public:
    CTopModification(CMainDoc& doc, QWidget* parent);

    // Frame navigation: to k - 1 or k + 1 when there is such a frame; the editor's mode follows the new pair's
    // record (translation or four points) and stays otherwise.
    void PreviousFrames();
    void NextFrames();
    void SelectPoint(int point);
    // Item 0 Translation Mode, 1 Four Points Mode; nothing when it is the current mode.
    void ChooseMode(int item);
    QComboBox* mode_box() const { return mode_box_; }

signals:
    // The editor's mode changed: the edit window reloads the pair.
    void modeChanged();
    // A point button was released: the edit window repaints and takes the focus.
    void pointSelected();

protected:
    void PaintExtras(QPainter& painter) override;

private:
    void GoToFrame(int k);

    CMainDoc& doc_;
    QComboBox* mode_box_;
    int mark_left_ = 0;
};

class CTopPreview final : public BandView {
    Q_OBJECT
public:
    CTopPreview(CMainDoc& doc, QWidget* parent);
    QString StatusText() const;

signals:
    void applyRequested();
    void endRequested();

protected:
    void PaintExtras(QPainter& painter) override;

private:
    CMainDoc& doc_;
    QRect status_rect_;
};

}  // namespace tp
