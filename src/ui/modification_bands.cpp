#include "ui/modification_bands.h"

#include <QComboBox>
#include <QPainter>

#include "project/main_doc.h"
#include "ui/artwork.h"
#include "ui/modification_state.h"

namespace tp {

namespace {

CXButton Button(BandButton picture)
{
    const qreal ratio = 2.0;  // sharp on high-density screens, scaled down elsewhere
    return CXButton(BandButtonPicture(picture, false, ratio), BandButtonPicture(picture, true, ratio));
}

int ButtonTop(const CXButton& button) { return (24 - button.picture_size().height()) / 2; }

}  // namespace

CTopModification::CTopModification(CMainDoc& doc, QWidget* parent)
    : BandView(QStringLiteral("Edit Window"), parent), doc_(doc), mode_box_(new QComboBox(this))
{
    CXButton previous = Button(BandButton::PreviousFrames);
    previous.set_position({140, ButtonTop(previous)});
    CXButton next = Button(BandButton::NextFrames);
    next.set_position({previous.bounds().right() + 1 + 4, ButtonTop(next)});
    AddButton({previous, QStringLiteral("Previous frames"), {}, [this] { return doc_.current_frame() > 1; },
               {}, [this] { PreviousFrames(); }});
    AddButton({next, QStringLiteral("Next frames"), {}, [this] { return doc_.current_frame() < doc_.image_count() - 1; },
               {}, [this] { NextFrames(); }});

    int x = 2 * (previous.picture_size().width() + 6) + 161;
    const auto four_points = [this] { return !doc_.translation_mode(); };
    for (int point = 1; point <= 4; ++point) {
        CXButton button = Button(static_cast<BandButton>(static_cast<int>(BandButton::Point1) + point - 1));
        button.set_position({x, ButtonTop(button)});
        x += button.picture_size().width() + 5;
        AddButton({button, QString(), four_points, four_points, [this, point] { return !doc_.translation_mode() && doc_.selected_point() == point; },
                   [this, point] { SelectPoint(point); }});
    }
    const int point_width = kBandPictureWidth + 6;
    mode_box_->setObjectName(QStringLiteral("mode32797"));
    mode_box_->addItems({QStringLiteral("Translation Mode"), QStringLiteral("Four Points Mode")});
    mode_box_->setFont(font());
    mode_box_->setGeometry(x + 1 + 17, 3, point_width + 130, 24);
    mode_box_->setCurrentIndex(doc_.translation_mode() ? 0 : 1);
    mode_box_->setFocusPolicy(Qt::NoFocus);
    connect(mode_box_, &QComboBox::activated, this, &CTopModification::ChooseMode);
    mark_left_ = mode_box_->geometry().right() + 12;
}

void CTopModification::GoToFrame(int k)
{
    if (k == doc_.current_frame() || k < 1 || k > doc_.image_count() - 1) return;
    const int mode = k - 1 < static_cast<int>(doc_.pair_edits().size()) ? doc_.pair_edits()[static_cast<std::size_t>(k - 1)].mode : -1;
    if (mode == 1) doc_.set_translation_mode(true);
    if (mode == 2) doc_.set_translation_mode(false);
    doc_.SelectFrame(k);
    mode_box_->setCurrentIndex(doc_.translation_mode() ? 0 : 1);
    update();
}

void CTopModification::PreviousFrames() { GoToFrame(doc_.current_frame() - 1); }
void CTopModification::NextFrames() { GoToFrame(doc_.current_frame() + 1); }

void CTopModification::SelectPoint(int point)
{
    doc_.set_selected_point(point);
    update();
    emit pointSelected();
}

void CTopModification::ChooseMode(int item)
{
    const bool translation = item == 0;
    if (translation == doc_.translation_mode()) return;
    doc_.set_translation_mode(translation);
    update();
    emit modeChanged();
}

void CTopModification::PaintExtras(QPainter& painter)
{
    mode_box_->setCurrentIndex(doc_.translation_mode() ? 0 : 1);
    // Where the frame stands, and, quietly, why this pair wants a look.
    const int k = doc_.current_frame();
    if (k < 1) return;
    QString text = QStringLiteral("Images %1 and %2 of %3").arg(k).arg(k + 1).arg(doc_.image_count());
    painter.setPen(QColor(200, 200, 200));
    const QRect area(mark_left_, 0, std::max(0, width() - mark_left_ - 6), 28);
    painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
    const QString doubt = PairDoubt(doc_, k);
    if (doubt.isEmpty()) return;
    const int after = painter.fontMetrics().horizontalAdvance(text + QStringLiteral("  "));
    painter.setPen(QColor(230, 170, 70));
    painter.drawText(area.adjusted(after, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                     QStringLiteral("\u2022 ") + doubt);
}

CTopPreview::CTopPreview(CMainDoc& doc, QWidget* parent) : BandView(QStringLiteral("Preview Window"), parent), doc_(doc)
{
    CXButton save = Button(BandButton::SaveAndPreview);
    save.set_position({140, ButtonTop(save)});
    CXButton end = Button(BandButton::EndModification);
    end.set_position({save.bounds().right() + 1 + 4, ButtonTop(end)});
    AddButton({save, QStringLiteral("Save changes and preview"), {}, [this] { return PreviewAvailable(doc_); }, {},
               [this] { emit applyRequested(); }});
    AddButton({end, QStringLiteral("End Modification"), {}, {}, {}, [this] { emit endRequested(); }});
    status_rect_ = QRect(end.bounds().right() + 1 + 10, end.bounds().top(), end.bounds().width() + 100 + 200, end.bounds().height());
}

QString CTopPreview::StatusText() const
{
    const int pair = doc_.current_frame() - 1;
    if (pair < 0 || pair >= static_cast<int>(doc_.pair_edits().size())) return QString();
    return PairStatusText(doc_.pair_edits()[static_cast<std::size_t>(pair)]);
}

void CTopPreview::PaintExtras(QPainter& painter)
{
    painter.setPen(Qt::white);
    painter.drawText(status_rect_, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, StatusText());
}

}  // namespace tp
