// Reference files decoded by other tools: tests/data/reference/library holds small JPEG, PNG and TIFF files
// made by independent programs, each beside that program's own decode as a binary PPM ("name.jpg" and
// "name.jpg.ppm"). The codec tests read every pair and require the same pixels.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/image_buffer.h"
#include "test_support.h"

namespace tp::test {

inline std::string LibraryReferenceDir() { return TestDataDir() + "/reference/library"; }

// A binary PPM (P6, maximum 255) as a ColorImage; empty when the file is anything else.
inline ColorImage ReadPpm(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    std::size_t at = 0;
    auto skip_blanks_and_comments = [&] {
        while (at < bytes.size()) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n') ++at;
            } else if (std::isspace(bytes[at])) {
                ++at;
            } else {
                break;
            }
        }
    };
    auto number = [&]() -> long {
        skip_blanks_and_comments();
        long value = -1;
        while (at < bytes.size() && std::isdigit(bytes[at])) value = (value < 0 ? 0 : value * 10) + (bytes[at++] - '0');
        return value;
    };
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') return {};
    at = 2;
    const long width = number();
    const long height = number();
    const long maximum = number();
    if (width <= 0 || height <= 0 || maximum != 255 || at >= bytes.size()) return {};
    ++at;  // the single white-space byte before the samples
    if (bytes.size() - at < static_cast<std::size_t>(width * height * 3)) return {};
    ColorImage image(static_cast<int>(width), static_cast<int>(height));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x, at += 3) {
            image.at(x, y, 0) = bytes[at + 2];
            image.at(x, y, 1) = bytes[at + 1];
            image.at(x, y, 2) = bytes[at];
        }
    return image;
}

// The reference files whose names end in one of `extensions` (lower case, with the dot), in name order.
inline std::vector<std::string> ReferenceFiles(const std::vector<std::string>& extensions)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(LibraryReferenceDir())) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const auto& wanted : extensions)
            if (extension == wanted) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace tp::test
