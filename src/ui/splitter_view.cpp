#include "ui/splitter_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "project/main_doc.h"
#include "ui/command_ids.h"

namespace tp {

namespace {

QWidget* DarkPane(const QString& text, QWidget* parent)
{
    auto* pane = new QLabel(text, parent);
    pane->setAlignment(Qt::AlignCenter);
    pane->setAutoFillBackground(true);
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Window, QColor(47, 47, 47));
    palette.setColor(QPalette::WindowText, QColor(200, 200, 200));
    pane->setPalette(palette);
    pane->setMinimumSize(120, 60);
    return pane;
}

QSplitter* Column(QWidget* top, QWidget* bottom, QWidget* parent)
{
    auto* splitter = new QSplitter(Qt::Vertical, parent);
    splitter->addWidget(top);
    splitter->addWidget(bottom);
    splitter->setStretchFactor(1, 1);
    return splitter;
}

}  // namespace

CSplitterView::CSplitterView(CMainDoc& doc, int layout_id, QWidget* parent)
    : QWidget(parent), doc_(doc), layout_id_(layout_id)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    switch (layout_id) {
        case kCmdEditWindowOnly: {
            auto* splitter = Column(MakeTopBand(), MakeEditWindow(), this);
            splitter->addWidget(MakePreviewBand());
            layout->addWidget(splitter);
            break;
        }
        case kCmdPreviewWindowOnly: {
            auto* splitter = Column(MakeTopBand(), MakePreviewWindow(), this);
            splitter->addWidget(MakePreviewBand());
            layout->addWidget(splitter);
            break;
        }
        case kCmdVerticalAlignment: {
            auto* outer = new QSplitter(Qt::Horizontal, this);
            outer->addWidget(Column(MakeTopBand(), MakeEditWindow(), outer));
            outer->addWidget(Column(MakePreviewBand(), MakePreviewWindow(), outer));
            layout->addWidget(outer);
            break;
        }
        default: {
            auto* outer = new QSplitter(Qt::Vertical, this);
            outer->addWidget(Column(MakeTopBand(), MakeEditWindow(), outer));
            outer->addWidget(Column(MakePreviewBand(), MakePreviewWindow(), outer));
            layout->addWidget(outer);
            break;
        }
    }
}

QWidget* CSplitterView::MakeTopBand()
{
    auto* band = new QWidget(this);
    band->setAutoFillBackground(true);
    QPalette palette = band->palette();
    palette.setColor(QPalette::Window, QColor(47, 47, 47));
    palette.setColor(QPalette::WindowText, Qt::white);
    band->setPalette(palette);
    auto* row = new QHBoxLayout(band);
    const int k = doc_.current_frame();
    row->addWidget(new QLabel(QStringLiteral("Frame %1 - %2").arg(k).arg(k + 1), band));
    row->addStretch();
    auto* end = new QPushButton(QStringLiteral("End Modification"), band);
    connect(end, &QPushButton::clicked, this, &CSplitterView::endModificationRequested);
    row->addWidget(end);
    band->setMaximumHeight(48);
    return band;
}

QWidget* CSplitterView::MakeEditWindow()
{
    edit_window_ = DarkPane(QStringLiteral("Edit window"), this);
    return edit_window_;
}

QWidget* CSplitterView::MakePreviewWindow()
{
    preview_window_ = DarkPane(QStringLiteral("Preview window"), this);
    return preview_window_;
}

QWidget* CSplitterView::MakePreviewBand()
{
    auto* band = DarkPane(QStringLiteral("Preview"), this);
    band->setMaximumHeight(32);
    band->setMinimumHeight(24);
    return band;
}

}  // namespace tp
