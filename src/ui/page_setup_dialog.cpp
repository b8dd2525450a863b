#include "ui/page_setup_dialog.h"

#include <vector>

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/page_miniatures.h"
#include "ui/ui_strings.h"

namespace tp {

namespace {

constexpr int kButtonPadding = 8;

}  // namespace

PageSetupDialog::PageSetupDialog(PageOrganization current, const PageSetupGeometry& geometry, QWidget* parent)
    : QDialog(parent), organization_(current)
{
    if (int(current) < 0 || int(current) >= kPageOrganizationCount) current = PageOrganization::kOneImagePerPage;
    setWindowTitle(QStringLiteral("Print Page Setup"));
    auto* group = new QGroupBox(QStringLiteral("Page Organization"), this);
    auto* buttons_row = new QHBoxLayout;
    auto* choices = new QButtonGroup(this);

    const QImage picture = SamplePicture();
    const QColor background = palette().color(QPalette::Window);
    const qreal ratio = devicePixelRatioF();
    // Without a printer the miniatures are empty; the buttons keep a miniature's size.
    QSize icon_size(kMiniatureLongSide, kMiniatureLongSide);
    std::vector<QPixmap> miniatures;
    for (int i = 0; i < kPageOrganizationCount; ++i) {
        miniatures.push_back(PaintOrganizationMiniature(PageOrganization(i), geometry, picture, background, ratio));
        icon_size = icon_size.expandedTo(miniatures.back().deviceIndependentSize().toSize());
    }
    for (int i = 0; i < kPageOrganizationCount; ++i) {
        auto* button = new QToolButton(group);
        button->setObjectName(QStringLiteral("organization%1").arg(kFirstButtonId + i));
        button->setCheckable(true);
        button->setIcon(QIcon(miniatures[i]));
        button->setIconSize(icon_size);
        button->setFixedSize(icon_size + QSize(kButtonPadding, kButtonPadding) * 2);
        button->setToolTip(UiText(OrganizationDescriptionId(PageOrganization(i))));
        choices->addButton(button, i);
        buttons_row->addWidget(button);
    }
    connect(choices, &QButtonGroup::idClicked, this, [this](int id) { Choose(PageOrganization(id)); });
    choices->button(int(current))->setChecked(true);

    description_ = new QLabel(group);
    description_->setObjectName(QStringLiteral("description%1").arg(kDescriptionId));
    auto* group_layout = new QVBoxLayout(group);
    group_layout->addLayout(buttons_row);
    group_layout->addWidget(description_);

    auto* dialog_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(dialog_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(dialog_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(dialog_buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Choose(current);
}

void PageSetupDialog::Choose(PageOrganization organization)
{
    organization_ = organization;
    description_->setText(UiText(OrganizationDescriptionId(organization)));
}

}  // namespace tp
