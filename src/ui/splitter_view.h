// The modification mode's container: the two bands, the edit window and the preview window arranged by one of
// the four layouts with 1-pixel splitters.
#pragma once

#include <QWidget>

#include <functional>

class QSplitter;

namespace tp {

class CMainDoc;
class CWndModification;
class CWndPreview;
class CTopModification;
class CTopPreview;

class CSplitterView : public QWidget {
    Q_OBJECT
public:
    // `layout_id` is one of 32790 (edit window only), 32791 (preview only), 32792 (side by side), 32793
    // (one above the other).
    // `horizontal_alignment` tells whether the pair is shown side by side (the frame's alignment flag).
    CSplitterView(CMainDoc& doc, int layout_id, std::function<bool()> horizontal_alignment, QWidget* parent);
    int layout_id() const { return layout_id_; }

    // The panes; the edit and preview windows are absent in the layouts without them.
    CTopModification* top_band() const { return top_band_; }
    CTopPreview* preview_band() const { return preview_band_; }
    CWndModification* edit_window() const { return edit_window_; }
    CWndPreview* preview_window() const { return preview_window_; }

    // The document selected another frame, or the edits were applied: the windows follow.
    void FrameSelected();
    void EditsApplied();

signals:
    void applyRequested();
    void endModificationRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* MakeEditWindow();
    QWidget* MakePreviewWindow();
    QSplitter* MakeSplitter(Qt::Orientation orientation, QWidget* parent);
    void ReloadEditWindow();

    CMainDoc& doc_;
    const int layout_id_;
    CTopModification* top_band_ = nullptr;
    CTopPreview* preview_band_ = nullptr;
    std::function<bool()> horizontal_alignment_;
    CWndModification* edit_window_ = nullptr;
    CWndPreview* preview_window_ = nullptr;
    QSplitter* outer_ = nullptr;
};

}  // namespace tp
