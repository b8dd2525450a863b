#include "ui/export_dialog.h"

#include <algorithm>
#include <cmath>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/frame_dialogs.h"

namespace tp {

namespace {

QString SizeText(QSize size) { return QStringLiteral("(%1 x %2)").arg(size.width()).arg(size.height()); }

}  // namespace

ExportDialog::ExportDialog(const ExportOffer& offer, QWidget* parent)
    : QFileDialog(parent, QStringLiteral("Export Wide-View Image"), QString(), ImageFilters().join(QStringLiteral(";;"))),
      offer_(offer)
{
    // Qt's own dialog, so that the resolution row can join its layout.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    // No overwrite prompt: the writer replaces the file whole, or leaves it as it was.
    setOption(QFileDialog::DontConfirmOverwrite);
    setDefaultSuffix(QStringLiteral("jpg"));

    auto* choices = new QWidget(this);
    auto* column = new QVBoxLayout(choices);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    working_ = new QRadioButton(QStringLiteral("Working size ") + SizeText(offer.SizeAt(OutputResolution::Working())), choices);
    full_ = new QRadioButton(QStringLiteral("Full size ") + SizeText(offer.SizeAt(OutputResolution::Full())), choices);
    full_->setEnabled(offer.full_offered());
    limit_ = new QRadioButton(QStringLiteral("At most"), choices);
    megapixels_ = new QSpinBox(choices);
    megapixels_->setRange(1, 999);
    limit_size_ = new QLabel(choices);
    auto* limit_row = new QHBoxLayout;
    limit_row->addWidget(limit_);
    limit_row->addWidget(megapixels_);
    limit_row->addWidget(limit_size_);
    limit_row->addStretch();
    column->addWidget(working_);
    column->addWidget(full_);
    column->addLayout(limit_row);

    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        const int row = grid->rowCount();
        // Level with the first choice rather than with the column's middle.
        auto* label = new QLabel(QStringLiteral("Resolution:"), this);
        label->setMinimumHeight(working_->sizeHint().height());
        grid->addWidget(label, row, 0, Qt::AlignTop);
        grid->addWidget(choices, row, 1);
    }

    const OutputResolution& last = offer.last;
    megapixels_->setValue(last.kind == OutputResolution::Kind::Megapixels
                              ? std::max(1, static_cast<int>(std::lround(last.megapixels)))
                              : kDefaultMegapixels);
    switch (last.kind) {
    case OutputResolution::Kind::Working: working_->setChecked(true); break;
    case OutputResolution::Kind::Full: (offer.full_offered() ? full_ : working_)->setChecked(true); break;
    case OutputResolution::Kind::Megapixels: limit_->setChecked(true); break;
    }
    ShowLimitSize();
    connect(megapixels_, &QSpinBox::valueChanged, this, [this] {
        limit_->setChecked(true);
        ShowLimitSize();
    });
}

OutputResolution ExportDialog::resolution() const
{
    if (full_->isChecked()) return OutputResolution::Full();
    if (limit_->isChecked()) return OutputResolution::Limit(megapixels_->value());
    return OutputResolution::Working();
}

ExportTarget ExportDialog::target() const { return ExportTarget{selectedFiles().value(0), resolution()}; }

void ExportDialog::ShowLimitSize()
{
    limit_size_->setText(QStringLiteral("megapixels ") + SizeText(offer_.SizeAt(OutputResolution::Limit(megapixels_->value()))));
}

}  // namespace tp
