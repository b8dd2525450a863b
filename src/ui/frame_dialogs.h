// The questions the main frame asks the user: which files, which choice, whether to save. Each is a
// replaceable function, so tests drive the frame without modal dialogs; the defaults show the real dialogs.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace tp {

struct ChoiceQuestion;

enum class SaveAnswer { Yes, No, Cancel };

struct FrameDialogs {
    // Source images from the picker (nothing when cancelled).
    std::function<std::optional<QStringList>()> pick_images;
    // A project to open, or to save under (empty when cancelled); the suggested name for saving.
    std::function<QString()> open_project;
    std::function<QString(const QString& suggested)> save_project;
    // The file to export to (empty when cancelled).
    std::function<QString()> export_image;
    std::function<std::optional<int>(const ChoiceQuestion&)> choose;
    // "Save changes to <name>?"
    std::function<SaveAnswer(const QString& name)> ask_save;
    // "Exit without saving?" when leaving the modification mode with edits not applied: true for Yes.
    std::function<bool()> confirm_exit;
};

// The real dialogs, parented to `window`.
FrameDialogs StandardFrameDialogs(QWidget* window);

// The export dialog: a save dialog with the seven formats as filters, "jpg" by default, no overwrite prompt.
std::unique_ptr<QFileDialog> MakeExportDialog(QWidget* parent);

// The project filter of the file dialogs: "Tarnel Plexaro Project(*.tnp)".
QString ProjectFilter();
// The image formats as file-dialog filters, in the writer's order ("JPG Files (*.jpg)", ...).
QStringList ImageFilters();

}  // namespace tp
