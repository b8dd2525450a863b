#include "ui/splitter_view.h"

#include <QSplitter>
#include <QVBoxLayout>

#include "project/main_doc.h"
#include "ui/command_ids.h"
#include "ui/edit_window.h"
#include "ui/modification_bands.h"
#include "ui/preview_window.h"

namespace tp {

CSplitterView::CSplitterView(CMainDoc& doc, int layout_id, std::function<bool()> horizontal_alignment, QWidget* parent)
    : QWidget(parent), doc_(doc), layout_id_(layout_id), horizontal_alignment_(std::move(horizontal_alignment))
{
    top_band_ = new CTopModification(doc_, this);
    preview_band_ = new CTopPreview(doc_, this);
    connect(preview_band_, &CTopPreview::applyRequested, this, &CSplitterView::applyRequested);
    connect(preview_band_, &CTopPreview::endRequested, this, &CSplitterView::endModificationRequested);
    connect(top_band_, &CTopModification::modeChanged, this, &CSplitterView::ReloadEditWindow);
    connect(top_band_, &CTopModification::pointSelected, this, [this] {
        if (edit_window_) {
            edit_window_->update();
            edit_window_->setFocus();
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    switch (layout_id) {
        case kCmdEditWindowOnly:
        case kCmdPreviewWindowOnly: {
            outer_ = MakeSplitter(Qt::Vertical, this);
            outer_->addWidget(top_band_);
            outer_->addWidget(layout_id == kCmdEditWindowOnly ? MakeEditWindow() : MakePreviewWindow());
            outer_->addWidget(preview_band_);
            outer_->setStretchFactor(1, 1);
            break;
        }
        default: {
            outer_ = MakeSplitter(layout_id == kCmdVerticalAlignment ? Qt::Horizontal : Qt::Vertical, this);
            QSplitter* editing = MakeSplitter(Qt::Vertical, outer_);
            editing->addWidget(top_band_);
            editing->addWidget(MakeEditWindow());
            editing->setStretchFactor(1, 1);
            QSplitter* previewing = MakeSplitter(Qt::Vertical, outer_);
            previewing->addWidget(preview_band_);
            previewing->addWidget(MakePreviewWindow());
            previewing->setStretchFactor(1, 1);
            outer_->addWidget(editing);
            outer_->addWidget(previewing);
            break;
        }
    }
    layout->addWidget(outer_);
}

QSplitter* CSplitterView::MakeSplitter(Qt::Orientation orientation, QWidget* parent)
{
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setHandleWidth(1);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

QWidget* CSplitterView::MakeEditWindow()
{
    edit_window_ = new CWndModification(doc_, horizontal_alignment_, this);
    connect(edit_window_, &CWndModification::previewRequested, this, &CSplitterView::applyRequested);
    connect(edit_window_, &CWndModification::editRecorded, preview_band_, qOverload<>(&QWidget::update));
    connect(edit_window_, &CWndModification::modeChanged, top_band_, qOverload<>(&QWidget::update));
    return edit_window_;
}

QWidget* CSplitterView::MakePreviewWindow()
{
    preview_window_ = new CWndPreview(doc_, this);
    return preview_window_;
}

void CSplitterView::ReloadEditWindow()
{
    if (edit_window_) edit_window_->ReloadPair();
}

void CSplitterView::FrameSelected()
{
    ReloadEditWindow();
    top_band_->update();
    preview_band_->update();
    if (preview_window_) preview_window_->update();
}

void CSplitterView::EditsApplied()
{
    preview_band_->update();
    if (preview_window_) preview_window_->ShowWideView();
}

void CSplitterView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The two-window layouts split evenly on every resize.
    if (layout_id_ == kCmdVerticalAlignment) outer_->setSizes({width() / 2, width() - width() / 2});
    if (layout_id_ == kCmdHorizontalAlignment) outer_->setSizes({height() / 2, height() - height() / 2});
}

}  // namespace tp
