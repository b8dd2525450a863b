// The words that name an output resolution on the command line and in the settings.
#include <gtest/gtest.h>

#include "project/output_resolution.h"

namespace tp {
namespace {

TEST(OutputResolutionWords, ParseAndFormatRoundTrip)
{
    struct Case {
        const char* text;
        bool valid;
        const char* formatted;
    };
    const Case cases[] = {
        {"working", true, "working"}, {"FULL", true, "full"}, {"12MP", true, "12MP"}, {"2.5mp", true, "2.5MP"},
        {"12", false, ""},            {"MP", false, ""},       {"-3MP", false, ""},  {"0MP", false, ""},
        {"1e3MP", false, ""},         {"nanMP", false, ""},    {"", false, ""},      {"1.2.3MP", false, ""},
    };
    for (const Case& c : cases) {
        const std::optional<OutputResolution> parsed = ParseOutputResolution(c.text);
        EXPECT_EQ(parsed.has_value(), c.valid) << c.text;
        if (parsed) EXPECT_EQ(FormatOutputResolution(*parsed), c.formatted) << c.text;
    }
}

}  // namespace
}  // namespace tp
