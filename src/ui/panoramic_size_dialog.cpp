#include "ui/panoramic_size_dialog.h"

#include <tuple>

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tp {

namespace {

bool IsMillimetres(PanoramicField field)
{
    return field == PanoramicField::kWidthMm || field == PanoramicField::kHeightMm;
}

QString Hundredths(double value)
{
    return QString::asprintf("%.2f", value);
}

QString FieldText(const PanoramicImageSize& size, PanoramicField field)
{
    switch (field) {
    case PanoramicField::kWidthMm: return Hundredths(size.wmm());
    case PanoramicField::kHeightMm: return Hundredths(size.hmm());
    case PanoramicField::kWidthPixels: return QString::number(size.pw());
    case PanoramicField::kHeightPixels: return QString::number(size.ph());
    case PanoramicField::kPagesAcross: return QString::number(size.nh());
    case PanoramicField::kPagesDown: return QString::number(size.nv());
    }
    return {};
}

QLabel* ValueLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

PanoramicSizeDialog::PanoramicSizeDialog(const PanoramicSizeInputs& inputs, QWidget* parent)
    : QDialog(parent), size_(inputs)
{
    setWindowTitle(QStringLiteral("Panoramic Image Size"));

    auto* print = new QGroupBox(QStringLiteral("Print Size"), this);
    auto* print_grid = new QGridLayout(print);
    print_grid->addWidget(new QLabel(QStringLiteral("Width"), print), 0, 1, Qt::AlignHCenter);
    print_grid->addWidget(new QLabel(QStringLiteral("Height"), print), 0, 2, Qt::AlignHCenter);
    const QString row_names[] = {QStringLiteral("Millimetres:"), QStringLiteral("Pixels:"), QStringLiteral("Pages:")};
    for (int row = 0; row < 3; ++row) print_grid->addWidget(new QLabel(row_names[row], print), row + 1, 0);
    for (size_t i = 0; i < kPanoramicFields.size(); ++i) {
        const PanoramicField field = kPanoramicFields[i];
        auto* edit = new QLineEdit(print);
        edit->setObjectName(QStringLiteral("field%1").arg(int(field)));
        edit->setAlignment(Qt::AlignRight);
        if (size_.read_only()) {
            edit->setReadOnly(true);
            // Greyed like the dialog, so that the fields do not look as if they took input.
            QPalette greyed = edit->palette();
            greyed.setColor(QPalette::Base, greyed.color(QPalette::Window));
            edit->setPalette(greyed);
        }
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) { FieldEdited(int(i), text); });
        // Leaving a field shows what was kept, so refused text does not linger.
        connect(edit, &QLineEdit::editingFinished, this, [this] { Refresh(-1); });
        // Fields come in width, height pairs: millimetres, pixels, pages.
        print_grid->addWidget(edit, int(i) / 2 + 1, int(i) % 2 + 1);
        fields_[i] = edit;
    }

    const PanoramicSizeInputs& in = size_.inputs();
    auto* printable = new QGroupBox(QStringLiteral("Printable Area"), this);
    auto* printable_grid = new QGridLayout(printable);
    const auto add_row = [printable, printable_grid](int row, const QString& caption, const QString& name,
                                                     const QString& value, const QString& unit) {
        printable_grid->addWidget(new QLabel(caption, printable), row, 0);
        printable_grid->addWidget(ValueLabel(name, value, printable), row, 1);
        printable_grid->addWidget(new QLabel(unit, printable), row, 2);
    };
    add_row(0, "Width:", "printableWidth", QString::number(in.PW), "pixels");
    add_row(1, "Height:", "printableHeight", QString::number(in.PH), "pixels");
    add_row(2, "Resolution:", "resolution", Hundredths(size_.pixels_per_cm()), "pixels/cm");
    for (const auto& [row, name, mm] : {std::tuple(0, "printableWidthMm", size_.printable_width_mm()),
                                        std::tuple(1, "printableHeightMm", size_.printable_height_mm())}) {
        printable_grid->addWidget(ValueLabel(name, Hundredths(mm), printable), row, 3);
        printable_grid->addWidget(new QLabel(QStringLiteral("mm"), printable), row, 4);
    }
    printable_grid->setColumnStretch(5, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(print);
    layout->addWidget(printable);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Refresh(-1);
}

void PanoramicSizeDialog::FieldEdited(int index, const QString& text)
{
    const PanoramicField field = kPanoramicFields[size_t(index)];
    bool ok = false;
    // Pixels and pages are whole numbers: "12.5" is refused there rather than cut to 12.
    const double value = IsMillimetres(field) ? text.trimmed().toDouble(&ok) : text.trimmed().toInt(&ok);
    if (!ok || !size_.Edit(field, value)) return;
    Refresh(index);
}

void PanoramicSizeDialog::Refresh(int skipped)
{
    for (size_t i = 0; i < fields_.size(); ++i)
        if (int(i) != skipped) fields_[i]->setText(FieldText(size_, kPanoramicFields[i]));
}

}  // namespace tp
