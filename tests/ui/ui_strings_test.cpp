#include <gtest/gtest.h>

#include "ui/command_ids.h"
#include "ui/ui_strings.h"

namespace tp {
namespace {

TEST(UiStrings, PromptsSplitIntoStatusTextAndTooltip)
{
    EXPECT_EQ(CommandStatusText(kCmdShowCroppedImage), "Shows the cropped wide-view image.");
    EXPECT_EQ(CommandTooltip(kCmdShowCroppedImage), "Show Cropped Image");
    EXPECT_EQ(UiText(ui_strings::kReady), "Ready...");
    EXPECT_EQ(UiText(57344), "Tarnel Plexaro");  // the core's table answers ids it owns
    EXPECT_TRUE(UiText(1).isEmpty());
}

}  // namespace
}  // namespace tp
