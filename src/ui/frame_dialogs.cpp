#include "ui/frame_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/choice_dialogs.h"
#include "ui/export_dialog.h"
#include "ui/load_image_dialog.h"
#include "ui/printing.h"
#include "ui/ui_strings.h"

namespace tp {

QString ProjectFilter() { return UiText(ui_strings::kDocumentType).section(QLatin1Char('\n'), 3, 3); }

QStringList ImageFilters()
{
    const QStringList parts = UiText(57347).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i];
    return filters;
}

FrameDialogs StandardFrameDialogs(QWidget* window)
{
    FrameDialogs dialogs;
    dialogs.pick_images = [window]() -> std::optional<QStringList> {
        LoadImageDialog dialog(window);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.result();
    };
    dialogs.open_project = [window] {
        return QFileDialog::getOpenFileName(window, QStringLiteral("Open Project"), QString(), ProjectFilter());
    };
    dialogs.save_project = [window](const QString& suggested) {
        QFileDialog dialog(window, QStringLiteral("Save Project As"), suggested, ProjectFilter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("tnp"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    dialogs.export_image = [window](const ExportOffer& offer) {
        ExportDialog dialog(offer, window);
        return dialog.exec() == QDialog::Accepted ? dialog.target() : ExportTarget{};
    };
    dialogs.print = [window](QPrinter& printer, int page_count) { return AskToPrint(printer, page_count, window); };
    dialogs.choose = [window](const ChoiceQuestion& question) { return AskChoice(question, window); };
    dialogs.ask_save = [window](const QString& name) {
        const auto answer = QMessageBox::question(window, UiText(57344), UiText(ui_strings::kSaveChanges).arg(name),
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return answer == QMessageBox::Yes ? SaveAnswer::Yes : answer == QMessageBox::No ? SaveAnswer::No : SaveAnswer::Cancel;
    };
    dialogs.confirm_exit = [window] {
        return QMessageBox::question(window, UiText(35079), UiText(35078), QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    return dialogs;
}

}  // namespace tp
