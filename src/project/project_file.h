// The ".tnp" project file: source paths, stitch state and one 148-byte alignment record per neighbouring
// pair, little-endian, no header. It holds no pixels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/matrix.h"
#include "registration/geometry_types.h"

namespace tp {

inline constexpr int kPairRecordBytes = 148;

// The most source images a project holds. Far beyond any row of photographs this program joins (500 working
// images side by side make a canvas of hundreds of thousands of pixels), and low enough that a file claiming
// more cannot make opening it take minutes or gigabytes.
inline constexpr int kMaxSourceImages = 500;

// One stored pair (i, i + 1), as in the alignment record of source i.
struct StoredPair {
    std::int32_t method = -1;
    PointF translation_hint;
    std::array<PointF, 4> first_points{};
    std::array<PointF, 4> second_points{};
    Matrix to_next = Matrix::Identity(3);  // 3 x 3, stored row by row as doubles
};

struct ProjectFileContents {
    // Source paths exactly as stored: backslash-separated, usually relative to the project's folder.
    std::vector<std::string> stored_paths;
    std::int32_t state = 2;  // 2 unstitched, 0 stitched, 1 finalized
    // Present only when state != 2: one per neighbouring pair.
    std::vector<StoredPair> pairs;
};

// The bytes of a project file (the writer's exact layout). When state != 2 exactly n - 1 records are written
// (none for n < 2): pairs beyond that are dropped, missing ones written as never registered (method -1,
// identity), and a matrix that is not 3 x 3 is written as the identity.
std::vector<std::uint8_t> EncodeProjectFile(const ProjectFileContents& contents);

// Parses the bytes of a project file. False for anything malformed: too short, a negative count, one the
// data cannot hold or one above kMaxSourceImages, a string length beyond the data, an empty path or one holding a NUL byte, a state other
// than 0, 1 or 2, a stitched state with no sources, pair records cut short, a matrix entry that is not finite. Bytes after the last record are ignored.
// Nothing is allocated beyond what the data can hold; `contents` is changed only on success.
bool DecodeProjectFile(const std::vector<std::uint8_t>& bytes, ProjectFileContents& contents);

// Writes the file through a temporary file in the same folder that replaces the old file only after a
// complete, flushed write; a failure leaves the old file as it was and no temporary file behind. Saving through
// a symbolic link replaces the file it points to and keeps the link. Contents the decoder would refuse (an
// empty path or one with a NUL, a non-finite matrix entry) are not written. False on any failure.
bool WriteProjectFile(const std::string& path, const ProjectFileContents& contents);
// Reads and decodes the file; false when it cannot be read, is larger than 64 MiB or is malformed.
bool ReadProjectFile(const std::string& path, ProjectFileContents& contents);

}  // namespace tp
