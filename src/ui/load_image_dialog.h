// The source-image picker: a file browser beside a list of the images chosen so far, with Add, Delete, Sort
// and a preview. The result is the list, in its order.
#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QFileDialog;
class QListWidget;
class QPushButton;

namespace tp {

class ImagePreview;

// The names in the browser's name field: one plain name, or several in double quotes (sorted by bytes).
// `too_many` when several were given but the text, cut at the field's limit, no longer ends with a quote.
struct NameField {
    QStringList names;
    bool too_many = false;
};
inline constexpr int kNameFieldLimit = 2048;
NameField ParseNameField(const QString& text);

class LoadImageDialog : public QDialog {
    Q_OBJECT
public:
    explicit LoadImageDialog(QWidget* parent, const QString& start_folder = QString());

    QStringList result() const;

    // The buttons' work, callable directly.
    void AddFromNameField();
    void AddNames(const QString& field_text);
    void DeleteSelected();
    void Sort();
    void SetPreviewOn(bool on);

    QFileDialog* browser() const { return browser_; }
    QListWidget* list() const { return list_; }
    ImagePreview* preview() const { return preview_; }

    void accept() override;  // refused while the list is empty

private:
    void AddPath(const QString& path);
    void PreviewPath(const QString& path);

    QFileDialog* browser_;
    QListWidget* list_;
    QCheckBox* preview_check_;
    ImagePreview* preview_;
    QPushButton* ok_;
};

}  // namespace tp
