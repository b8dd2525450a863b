// The floor of any stitch: reading every source once. Prints, per set, the seconds for one ReadImage of each
// of its files (best of three), as JSON lines.
//
//   decode_floor SET_DIR...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/image_file.h"

int main(int argc, char** argv)
{
    for (int a = 1; a < argc; ++a) {
        std::vector<std::string> paths;
        for (const auto& entry : std::filesystem::directory_iterator(argv[a]))
            if (entry.is_regular_file()) paths.push_back(entry.path().string());
        std::sort(paths.begin(), paths.end());
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            for (const std::string& path : paths) {
                tp::ColorImage image;
                tp::ReadImage(image, path);
            }
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        std::filesystem::path set(argv[a]);
        if (set.filename().empty()) set = set.parent_path();
        std::printf("{\"set\": \"%s\", \"n\": %zu, \"decode_s\": %.4f}\n", set.filename().string().c_str(), paths.size(), best);
    }
    return 0;
}
