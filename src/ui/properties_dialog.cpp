#include "ui/properties_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/ui_strings.h"

namespace tp {

std::vector<PropertyRow> CollectImageProperties(const std::string& path, int full_width, int full_height)
{
    const QFileInfo file(QString::fromStdString(path));
    const QString size = file.exists() && file.isFile() ? QStringLiteral("%1 bytes").arg(file.size())
                                                        : UiText(ui_strings::kPropertyUnavailable);
    return {
        {QStringLiteral("Location"), QDir::toNativeSeparators(file.path())},
        {QStringLiteral("Name"), file.fileName()},
        {QStringLiteral("Size"), size},
        {QStringLiteral("Width"), QStringLiteral("%1 pixels").arg(full_width)},
        {QStringLiteral("Height"), QStringLiteral("%1 pixels").arg(full_height)},
    };
}

PropertiesDialog::PropertiesDialog(const std::vector<PropertyRow>& rows, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Properties"));
    auto* list = new QTreeWidget(this);
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("Property"), QStringLiteral("Value")});
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAllColumnsShowFocus(true);
    for (const PropertyRow& row : rows) new QTreeWidgetItem(list, {row.property, row.value});
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(380, 220);
}

}  // namespace tp
