// The dialogs that ask for one choice before a step: how to stitch, how to finalize, which cropping box.
#pragma once

#include <optional>

#include <QDialog>

class QRadioButton;

namespace tp {

struct ChoiceQuestion {
    const char* title;
    const char* group;
    const char* first;   // selected on opening
    int first_id;        // control id (the radio button's object name is "choice<id>")
    int first_value;
    const char* second;
    int second_id;
    int second_value;
};

inline constexpr ChoiceQuestion kStitchingChoice{"Image Stitching", "Stitching Methods", "&Automatic", 1008, 1,
                                             "&Manual", 1009, 0};
inline constexpr ChoiceQuestion kFinalizationChoice{"Wide-View Image Finalization", "Finalization Methods",
                                                "Advanced &Blending", 1083, 0,
                                                "&Re-alignment + Advanced Blending", 1084, 1};
inline constexpr ChoiceQuestion kCroppingChoice{"Non-image Area Cropping", "Cropping Box", "Circumscribed Cr&opping Box",
                                            1029, 1, "&Inscribed Cropping Box", 1030, 0};

class ChoiceDialog : public QDialog {
    Q_OBJECT
public:
    ChoiceDialog(const ChoiceQuestion& question, QWidget* parent);
    // The value of the choice made so far (each radio button sets it when clicked).
    int value() const { return value_; }

private:
    int value_;
};

// Shows the dialog; the value chosen on OK, nothing on Cancel.
std::optional<int> AskChoice(const ChoiceQuestion& question, QWidget* parent);

}  // namespace tp
