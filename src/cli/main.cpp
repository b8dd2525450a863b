// tarnel-plexaro-cli: the project core driven from a terminal.
#include <malloc.h>

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/pipeline.h"
#include "imaging/fatal_error.h"

namespace tp::cli {

void PrintUsage(bool to_stderr)
{
    std::FILE* out = to_stderr ? stderr : stdout;
    std::fputs(
        "Usage:\n"
        "  tarnel-plexaro-cli stitch [options] IMAGE...   load, stitch automatically (basic blend), then options\n"
        "  tarnel-plexaro-cli open PROJECT.tnp [options]  reopen a project (rebuilds the basic blend), then options\n"
        "  tarnel-plexaro-cli info PROJECT.tnp            print the project as JSON\n"
        "  tarnel-plexaro-cli convert IN OUT              convert an image (BMP, PCX, PGM, Sun raster, JPEG, PNG,\n"
        "                                                 TIFF; output format by extension: .bmp .jpg .pcx .pgm .png\n"
        "                                                 .ras .tif)\n"
        "Options:\n"
        "  -o, --output FILE          export the wide-view image (format by extension); default pano.jpg\n"
        "  -p, --project FILE.tnp     save the project after the run\n"
        "  --finalize none|blend|realign\n"
        "                             none (default); blend = advanced blending; realign = re-alignment + advanced\n"
        "  --projection planar|cylindrical\n"
        "  --crop none|circumscribed|inscribed\n"
        "                             none = the whole shown image\n"
        "  --resolution working|full|NMP\n"
        "                             size of the exported image: working (default) as the working images\n"
        "                             give it; full at the photographs' own resolution; NMP at most N megapixels\n"
        "                             (e.g. 20MP), never beyond full. Placements, seams and gains stay those\n"
        "                             found on the working images\n"
        "  --exposure-compensation    even out the sources' brightness (one gain each, estimated over the\n"
        "                             overlaps) before every blend\n"
        "  --report FILE.json         machine-readable summary of the run\n"
        "  --threads N                threads to use (default 0: every core); results never depend on it\n"
        "  -q, --quiet                no progress output\n"
        "Ctrl+C cancels at the next step.\n"
        "Exit status: 0 done; 1 failed; 2 usage error; 3 done, but some neighbouring pairs could not be aligned\n"
        "automatically (each is named; the wide-view image holds what could be joined); 130 cancelled.\n",
        out);
}

}  // namespace tp::cli

int main(int argc, char** argv)
{
    // Freed memory stays with the process for the next stage instead of going back to the system: fresh
    // pages cost more here than the work done on them.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    // The engine's messages and fatal errors go to the terminal.
    tp::SetFatalErrorHook([](const std::string& text) { std::fprintf(stderr, "%s: %s\n", tp::kFatalErrorCaption, text.c_str()); });
    tp::SetMessageHook([](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    // On the terminal a message names the file and the reason after the system's own words.
    tp::SetDetailedMessageHook([](const std::string& text, const std::string& detail) {
        std::fprintf(stderr, "%s (%s)\n", text.c_str(), detail.c_str());
    });
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
    if (command == "stitch") return tp::cli::RunStitch(args);
    if (command == "open") return tp::cli::RunOpen(args);
    if (command == "info") return tp::cli::RunInfo(args);
    std::fprintf(stderr, "tarnel-plexaro-cli: unknown command '%s'\n", command.c_str());
    tp::cli::PrintUsage(true);
    return 2;
}
