#include "ui/choice_dialogs.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tp {

ChoiceDialog::ChoiceDialog(const ChoiceQuestion& question, QWidget* parent) : QDialog(parent), value_(question.first_value)
{
    setWindowTitle(QString::fromUtf8(question.title));
    auto* group = new QGroupBox(QString::fromUtf8(question.group), this);
    auto* first = new QRadioButton(QString::fromUtf8(question.first), group);
    auto* second = new QRadioButton(QString::fromUtf8(question.second), group);
    first->setObjectName(QStringLiteral("choice%1").arg(question.first_id));
    second->setObjectName(QStringLiteral("choice%1").arg(question.second_id));
    first->setChecked(true);
    connect(first, &QRadioButton::clicked, this, [this, v = question.first_value] { value_ = v; });
    connect(second, &QRadioButton::clicked, this, [this, v = question.second_value] { value_ = v; });
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

std::optional<int> AskChoice(const ChoiceQuestion& question, QWidget* parent)
{
    ChoiceDialog dialog(question, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value();
}

}  // namespace tp
