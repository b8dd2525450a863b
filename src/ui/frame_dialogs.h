// The questions the main frame asks the user: which files, which choice, whether to save. Each is a
// replaceable function, so tests drive the frame without modal dialogs; the defaults show the real dialogs.
#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "ui/export_choice.h"

class QPrinter;
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
    // The file to export to and the resolution (the path empty when cancelled).
    std::function<ExportTarget(const ExportOffer&)> export_image;
    // The print dialog for pages 1 to `page_count` on `printer`: true to print.
    std::function<bool(QPrinter& printer, int page_count)> print;
    std::function<std::optional<int>(const ChoiceQuestion&)> choose;
    // "Save changes to <name>?"
    std::function<SaveAnswer(const QString& name)> ask_save;
    // "Exit without saving?" when leaving the modification mode with edits not applied: true for Yes.
    std::function<bool()> confirm_exit;
};

// The real dialogs, parented to `window`.
FrameDialogs StandardFrameDialogs(QWidget* window);

// The project filter of the file dialogs: "Tarnel Plexaro Project(*.tnp)".
QString ProjectFilter();
// The image formats as file-dialog filters, in the writer's order ("JPG Files (*.jpg)", ...).
QStringList ImageFilters();

}  // namespace tp
