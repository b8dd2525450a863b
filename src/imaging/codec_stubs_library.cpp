// Temporary: replaced by one file per format.
#include "imaging/codecs.h"
namespace tp {
int ReadJpeg(ColorImage&, const std::string&) { return 1; }
int WriteJpeg(const ColorImage&, const std::string&, int) { return 1; }
int ReadPng(ColorImage&, const std::string&) { return 1; }
int WritePng(const ColorImage&, const std::string&) { return 1; }
int ReadTiff(ColorImage&, const std::string&) { return 2; }
int WriteTiff(const ColorImage&, const std::string&, int, int, TiffPlanes) { return 1; }
}
