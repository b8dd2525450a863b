// The modification mode's container: the band and window panes of one of the four layouts, arranged with
// splitters. The pair editor and the preview are filled in by the modification mode itself.
#pragma once

#include <QWidget>

namespace tp {

class CMainDoc;

class CSplitterView : public QWidget {
    Q_OBJECT
public:
    // `layout_id` is one of 32790 (edit window only), 32791 (preview only), 32792 (side by side), 32793
    // (one above the other).
    CSplitterView(CMainDoc& doc, int layout_id, QWidget* parent);
    int layout_id() const { return layout_id_; }
    bool has_edit_window() const { return edit_window_ != nullptr; }
    bool has_preview_window() const { return preview_window_ != nullptr; }

signals:
    void endModificationRequested();

private:
    QWidget* MakeTopBand();
    QWidget* MakeEditWindow();
    QWidget* MakePreviewWindow();
    QWidget* MakePreviewBand();

    CMainDoc& doc_;
    const int layout_id_;
    QWidget* edit_window_ = nullptr;
    QWidget* preview_window_ = nullptr;
};

}  // namespace tp
