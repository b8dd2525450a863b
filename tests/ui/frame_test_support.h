// A main frame on a scratch settings file, with its questions answered by the test instead of dialogs.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QSettings>

#include "project/workflow_test_support.h"
#include "ui/choice_dialogs.h"
#include "ui/command_ids.h"
#include "ui/main_frame.h"

namespace tp::test {

struct FrameFixture {
    ScratchDir dir;
    QSettings settings{QString::fromStdString(dir.file("settings.ini")), QSettings::IniFormat};
    CMainDoc doc;
    std::unique_ptr<CMainFrame> frame;

    // What the "dialogs" answer.
    QStringList images;
    int stitch_choice = 1;
    int finalize_choice = 0;
    int crop_choice = 1;
    QString save_path;
    QString open_path;
    QString export_path;
    OutputResolution export_resolution;
    std::vector<ExportOffer> export_offers;  // what each export offered
    // The print dialog: sets the printer up and answers (no printing by default).
    std::function<bool(QPrinter&, int page_count)> print = [](QPrinter&, int) { return false; };
    SaveAnswer save_answer = SaveAnswer::No;
    int save_questions = 0;
    int picker_calls = 0;
    bool* dialogs_answer_exit = nullptr;  // "Exit without saving?": Yes when it points to true

    FrameFixture() { Make(); }

    void Make()
    {
        frame.reset();
        doc.NewProject();
        frame = std::make_unique<CMainFrame>(doc, settings);
        FrameDialogs dialogs;
        dialogs.pick_images = [this]() -> std::optional<QStringList> {
            ++picker_calls;
            if (images.isEmpty()) return std::nullopt;
            return images;
        };
        dialogs.open_project = [this] { return open_path; };
        dialogs.save_project = [this](const QString&) { return save_path; };
        dialogs.export_image = [this](const ExportOffer& offer) {
            export_offers.push_back(offer);
            return ExportTarget{export_path, export_resolution};
        };
        dialogs.print = [this](QPrinter& printer, int page_count) { return print(printer, page_count); };
        dialogs.choose = [this](const ChoiceQuestion& question) -> std::optional<int> {
            if (question.first_id == kStitchingChoice.first_id) return stitch_choice;
            if (question.first_id == kFinalizationChoice.first_id) return finalize_choice;
            return crop_choice;
        };
        dialogs.ask_save = [this](const QString&) {
            ++save_questions;
            return save_answer;
        };
        dialogs.confirm_exit = [this] { return dialogs_answer_exit && *dialogs_answer_exit; };
        frame->set_dialogs(dialogs);
    }

    // Views of `width` x `height` panning by `step` pixels across one scene.
    void LoadViews(int count, int width = 320, int height = 240, int step = 110)
    {
        images.clear();
        for (const std::string& path : WritePanningViews(dir, count, width, height, step)) images << QString::fromStdString(path);
        frame->RunProcessingCommand(kCmdLoad);
    }
};

}  // namespace tp::test
