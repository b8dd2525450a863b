// tarnel-plexaro-cli: the project core driven from a terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "imaging/fatal_error.h"

namespace tp::cli {

void PrintUsage(bool to_stderr)
{
    std::FILE* out = to_stderr ? stderr : stdout;
    std::fputs(
        "Usage:\n"
        "  tarnel-plexaro-cli convert IN OUT    read IN (BMP, PCX, PGM, Sun raster, JPEG, PNG, TIFF) and write\n"
        "                                       OUT in the format named by its extension\n"
        "                                       (.bmp .jpg .pcx .pgm .png .ras .tif)\n"
        "  tarnel-plexaro-cli --help            this text\n",
        out);
}

}  // namespace tp::cli

int main(int argc, char** argv)
{
    tp::SetFatalErrorHook([](const std::string& text) { std::fprintf(stderr, "%s: %s\n", tp::kFatalErrorCaption, text.c_str()); });
    if (argc < 2) {
        tp::cli::PrintUsage(true);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        tp::cli::PrintUsage(false);
        return 0;
    }
    const tp::cli::Arguments args(argv + 2, argv + argc);
    if (command == "convert") return tp::cli::RunConvert(args);
    std::fprintf(stderr, "tarnel-plexaro-cli: unknown command '%s'\n", command.c_str());
    tp::cli::PrintUsage(true);
    return 2;
}
