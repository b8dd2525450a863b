#include "ui/load_image_dialog.h"

#include <algorithm>
#include <functional>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "imaging/fatal_error.h"
#include "ui/frame_dialogs.h"
#include "ui/image_preview.h"
#include "ui/ui_strings.h"

namespace tp {

namespace {

// The browser lives inside the picker: its own Open (or Enter in the name field) adds the named files to the
// list, and its Cancel cancels the picker.
class EmbeddedBrowser final : public QFileDialog {
public:
    EmbeddedBrowser(QWidget* parent, std::function<void()> add, std::function<void()> cancel)
        : QFileDialog(parent, Qt::Widget), add_(std::move(add)), cancel_(std::move(cancel))
    {
    }
    void accept() override { add_(); }
    void reject() override { cancel_(); }

private:
    std::function<void()> add_;
    std::function<void()> cancel_;
};

bool ByteLess(const QString& a, const QString& b) { return a.toLocal8Bit() < b.toLocal8Bit(); }

constexpr int kPathRole = Qt::UserRole;

}  // namespace

NameField ParseNameField(const QString& full_text)
{
    NameField field;
    const QString text = full_text.left(kNameFieldLimit);
    if (!text.trimmed().startsWith(QLatin1Char('"'))) {
        if (!text.trimmed().isEmpty()) field.names << text.trimmed();
        return field;
    }
    // Several names, each in double quotes.
    if (!text.trimmed().endsWith(QLatin1Char('"'))) {
        field.too_many = true;
        return field;
    }
    const QStringList pieces = text.split(QLatin1Char('"'));
    for (int i = 1; i < pieces.size(); i += 2)
        if (!pieces[i].isEmpty()) field.names << pieces[i];
    std::sort(field.names.begin(), field.names.end(), ByteLess);
    return field;
}

LoadImageDialog::LoadImageDialog(QWidget* parent, const QString& start_folder)
    : QDialog(parent),
      browser_(new EmbeddedBrowser(this, [this] { AddFromNameField(); }, [this] { reject(); })),
      list_(new QListWidget(this)), preview_check_(new QCheckBox(QStringLiteral("Pre&view"), this)),
      preview_(new ImagePreview(this)), ok_(nullptr)
{
    setWindowTitle(QStringLiteral("Load Source Images"));
    browser_->setOption(QFileDialog::DontUseNativeDialog);
    browser_->setFileMode(QFileDialog::ExistingFiles);
    browser_->setNameFilters(ImageFilters());
    browser_->setLabelText(QFileDialog::Accept, QStringLiteral("&Add"));
    if (!start_folder.isEmpty()) browser_->setDirectory(start_folder);
    browser_->setSizeGripEnabled(false);
    // The picker has one Cancel, under the whole dialog.
    if (auto* box = browser_->findChild<QDialogButtonBox*>())
        if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel)) cancel->hide();

    list_->setViewMode(QListView::ListMode);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    auto* remove = new QPushButton(QStringLiteral("&Delete"), this);
    auto* sort = new QPushButton(QStringLiteral("&Sort"), this);
    preview_check_->setChecked(true);
    connect(add, &QPushButton::clicked, this, &LoadImageDialog::AddFromNameField);
    connect(remove, &QPushButton::clicked, this, &LoadImageDialog::DeleteSelected);
    connect(sort, &QPushButton::clicked, this, &LoadImageDialog::Sort);
    connect(preview_check_, &QCheckBox::toggled, this, &LoadImageDialog::SetPreviewOn);
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { PreviewPath(item->data(kPathRole).toString()); });
    connect(browser_, &QFileDialog::currentChanged, this, &LoadImageDialog::PreviewPath);
    connect(browser_, &QFileDialog::directoryEntered, this, [this] { preview_->ShowFile(QString()); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(sort);
    buttons->addStretch();
    buttons->addWidget(preview_check_);
    auto* chosen = new QWidget(this);
    auto* chosen_layout = new QVBoxLayout(chosen);
    chosen_layout->setContentsMargins(0, 0, 0, 0);
    chosen_layout->addWidget(new QLabel(QStringLiteral("Images to load (pick them on the left, then Add):"), chosen));
    chosen_layout->addWidget(list_, 1);
    chosen_layout->addLayout(buttons);
    chosen_layout->addWidget(preview_, 1);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(browser_);
    splitter->addWidget(chosen);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = box->button(QDialogButtonBox::Ok);
    ok_->setAutoDefault(false);
    connect(box, &QDialogButtonBox::accepted, this, &LoadImageDialog::accept);
    // OK stays refused while the list is empty; showing it disabled says so before the click.
    const auto update_ok = [this] { ok_->setEnabled(list_->count() > 0); };
    connect(list_->model(), &QAbstractItemModel::rowsInserted, this, update_ok);
    connect(list_->model(), &QAbstractItemModel::rowsRemoved, this, update_ok);
    connect(list_->model(), &QAbstractItemModel::modelReset, this, update_ok);
    update_ok();
    connect(box, &QDialogButtonBox::rejected, this, &LoadImageDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(box);
    resize(980, 560);
}

QStringList LoadImageDialog::result() const
{
    QStringList paths;
    for (int i = 0; i < list_->count(); ++i) paths << list_->item(i)->data(kPathRole).toString();
    return paths;
}

void LoadImageDialog::AddFromNameField()
{
    const auto* field = browser_->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    AddNames(field ? field->text() : QString());
}

void LoadImageDialog::AddNames(const QString& field_text)
{
    const NameField field = ParseNameField(field_text);
    if (field.too_many) {
        ShowMessage(UiText(ui_strings::kTooManyImages).toStdString());
        return;
    }
    const QString folder = browser_->directory().absolutePath();
    for (const QString& name : field.names) AddPath(QFileInfo(name).isAbsolute() ? name : folder + QLatin1Char('/') + name);
}

void LoadImageDialog::AddPath(const QString& path)
{
    auto* item = new QListWidgetItem(QFileInfo(path).fileName(), list_);
    item->setData(kPathRole, path);
    item->setToolTip(path);
}

void LoadImageDialog::DeleteSelected() { qDeleteAll(list_->selectedItems()); }

void LoadImageDialog::Sort()
{
    QStringList paths = result();
    std::sort(paths.begin(), paths.end(), ByteLess);
    list_->clear();
    for (const QString& path : paths) AddPath(path);
}

void LoadImageDialog::SetPreviewOn(bool on)
{
    if (preview_check_->isChecked() != on) preview_check_->setChecked(on);  // comes back here through toggled
    if (!on) {
        preview_->ShowFile(QString());
        return;
    }
    const QStringList selected = browser_->selectedFiles();
    PreviewPath(selected.isEmpty() ? QString() : selected.first());
}

void LoadImageDialog::PreviewPath(const QString& path)
{
    if (!preview_check_->isChecked()) return;
    preview_->ShowFile(QFileInfo(path).isFile() ? path : QString());
}

void LoadImageDialog::accept()
{
    if (list_->count() == 0) return;
    QDialog::accept();
}

}  // namespace tp
