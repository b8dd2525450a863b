// Temporary: replaced by one file per format.
#include "imaging/codecs.h"
namespace tp {
int ReadBmp(ColorImage&, const std::string&) { return 1; }
int WriteBmp(const ColorImage&, const std::string&) { return 1; }
int ReadPcx(ColorImage&, const std::string&) { return 1; }
int WritePcx(const ColorImage&, const std::string&) { return 1; }
int ReadPgm(ColorImage&, const std::string&) { return 1; }
int WritePgm(const ColorImage&, const std::string&, bool) { return 1; }
int ReadSunRaster(ColorImage&, const std::string&) { return 1; }
int WriteSunRaster(const ColorImage&, const std::string&) { return 1; }
}
