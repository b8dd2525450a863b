#include "ui/choice_dialogs.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tp {

ChoiceDialog::ChoiceDialog(const ChoiceSpec& spec, QWidget* parent) : QDialog(parent), value_(spec.first_value)
{
    setWindowTitle(QString::fromUtf8(spec.title));
    auto* group = new QGroupBox(QString::fromUtf8(spec.group), this);
    auto* first = new QRadioButton(QString::fromUtf8(spec.first), group);
    auto* second = new QRadioButton(QString::fromUtf8(spec.second), group);
    first->setObjectName(QStringLiteral("choice%1").arg(spec.first_id));
    second->setObjectName(QStringLiteral("choice%1").arg(spec.second_id));
    first->setChecked(true);
    connect(first, &QRadioButton::clicked, this, [this, v = spec.first_value] { value_ = v; });
    connect(second, &QRadioButton::clicked, this, [this, v = spec.second_value] { value_ = v; });
    auto* group_layout = new QVBoxLayout(group);
    group_layout->addWidget(first);
    group_layout->addWidget(second);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

std::optional<int> AskChoice(const ChoiceSpec& spec, QWidget* parent)
{
    ChoiceDialog dialog(spec, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value();
}

}  // namespace tp
