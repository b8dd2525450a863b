// convert IN OUT: reads any supported image and writes it in the format named by OUT's extension.
#include <cstdio>

#include "cli/commands.h"
#include "imaging/image_file.h"

namespace tp::cli {

int RunConvert(const Arguments& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "convert: expected an input and an output file\n");
        PrintUsage(true);
        return 2;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    ColorImage image;
    int detect_code = 0;
    const ImageFormat in_format = DetectImageFormat(in, &detect_code);
    if (detect_code == -1) {
        std::fprintf(stderr, "%s: cannot open\n", in.c_str());
        return 1;
    }
    const int read_code = ReadImage(image, in);
    if (read_code != 0) {
        if (read_code < 0)
            std::fprintf(stderr, "%s: unrecognised file format\n", in.c_str());
        else
            std::fprintf(stderr, "%s: reading error (code %d: %s)\n", in.c_str(), read_code,
                         DescribeReadResult(in_format, read_code).c_str());
        return 1;
    }
    const int write_code = WriteImage(image, out);
    if (write_code < 0) {
        std::fprintf(stderr, "%s: unsupported file format\n", out.c_str());
        return 1;
    }
    if (write_code > 0) {
        std::fprintf(stderr, "%s: writing error (code %d: %s)\n", out.c_str(), write_code,
                     DescribeWriteResult(FormatForFileName(out), write_code).c_str());
        return 1;
    }
    return 0;
}

}  // namespace tp::cli
