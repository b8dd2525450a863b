#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "imaging/file_stream.h"
#include "project/project_file.h"
#include "test_support.h"

namespace tp {
namespace {

using test::ReadBytes;
using test::ScratchDir;
using test::WriteBytes;
using Bytes = std::vector<std::uint8_t>;

constexpr int kMethodOffset = 0;
constexpr int kHintOffset = 4;
constexpr int kPointsOffset = 12;
constexpr int kMatrixOffset = 76;

std::int32_t Int32At(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::int32_t>(LoadLe32(&bytes.at(offset)));
}

float FloatAt(const Bytes& bytes, std::size_t offset) { return std::bit_cast<float>(LoadLe32(&bytes.at(offset))); }

double DoubleAt(const Bytes& bytes, std::size_t offset)
{
    const std::uint64_t low = LoadLe32(&bytes.at(offset));
    const std::uint64_t high = LoadLe32(&bytes.at(offset + 4));
    return std::bit_cast<double>(low | (high << 32));
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t count)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

void AppendInt32(Bytes& bytes, std::int32_t value)
{
    bytes.resize(bytes.size() + 4);
    StoreLe32(&bytes[bytes.size() - 4], static_cast<std::uint32_t>(value));
}

// A pair whose every field differs from every other, so a field read from the wrong offset shows.
StoredPair DistinctPair(int seed)
{
    StoredPair pair;
    pair.method = seed % 3;
    pair.translation_hint = {1.5f + static_cast<float>(seed), -2.25f - static_cast<float>(seed)};
    for (int j = 0; j < 4; ++j) {
        const float base = 100.0f * static_cast<float>(seed) + 10.0f * static_cast<float>(j);
        pair.first_points[static_cast<std::size_t>(j)] = {base + 1.0f, base + 2.0f};
        pair.second_points[static_cast<std::size_t>(j)] = {base + 3.0f, base + 4.0f};
    }
    pair.to_next = Matrix(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) pair.to_next.at(r, c) = 0.125 * (3 * r + c + 1) + seed;
    return pair;
}

ProjectFileContents StitchedProject(int sources, std::int32_t state = 0)
{
    ProjectFileContents contents;
    for (int i = 0; i < sources; ++i) contents.stored_paths.push_back(".\\img\\p" + std::to_string(i) + ".jpg");
    contents.state = state;
    for (int i = 0; i + 1 < sources; ++i) contents.pairs.push_back(DistinctPair(i + 1));
    return contents;
}

::testing::AssertionResult SamePair(const StoredPair& expected, const StoredPair& actual)
{
    if (expected.method != actual.method) return ::testing::AssertionFailure() << "method " << actual.method;
    if (!(expected.translation_hint == actual.translation_hint)) return ::testing::AssertionFailure() << "hint";
    if (expected.first_points != actual.first_points) return ::testing::AssertionFailure() << "first points";
    if (expected.second_points != actual.second_points) return ::testing::AssertionFailure() << "second points";
    if (!(expected.to_next == actual.to_next)) return ::testing::AssertionFailure() << "matrix";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SameContents(const ProjectFileContents& expected, const ProjectFileContents& actual)
{
    if (expected.stored_paths != actual.stored_paths) return ::testing::AssertionFailure() << "paths differ";
    if (expected.state != actual.state) return ::testing::AssertionFailure() << "state " << actual.state;
    if (expected.pairs.size() != actual.pairs.size())
        return ::testing::AssertionFailure() << actual.pairs.size() << " pairs, expected " << expected.pairs.size();
    for (std::size_t i = 0; i < expected.pairs.size(); ++i) {
        const auto same = SamePair(expected.pairs[i], actual.pairs[i]);
        if (!same) return ::testing::AssertionFailure() << "pair " << i << ": " << same.message();
    }
    return ::testing::AssertionSuccess();
}

// --- layout -------------------------------------------------------------------------------------------------

TEST(ProjectFileLayoutTest, OneUnstitchedImageIsCountPathState)
{
    ProjectFileContents contents;
    contents.stored_paths = {".\\a.jpg"};
    contents.state = 2;
    const Bytes expected = {1, 0, 0, 0, 7, '.', '\\', 'a', '.', 'j', 'p', 'g', 2, 0, 0, 0};
    EXPECT_EQ(EncodeProjectFile(contents), expected);
}

TEST(ProjectFileLayoutTest, UnstitchedProjectsCarryNoRecords)
{
    ProjectFileContents contents = StitchedProject(4, 2);
    ASSERT_EQ(contents.pairs.size(), 3u);
    const Bytes bytes = EncodeProjectFile(contents);
    std::size_t paths_bytes = 0;
    for (const std::string& path : contents.stored_paths) paths_bytes += 1 + path.size();
    EXPECT_EQ(bytes.size(), 4 + paths_bytes + 4);
}

TEST(ProjectFileLayoutTest, StitchedAndFinalizedCarryOneRecordPerNeighbouringPair)
{
    for (const std::int32_t state : {0, 1}) {
        for (const int sources : {0, 1, 2, 5}) {
            const ProjectFileContents contents = StitchedProject(sources, state);
            const Bytes bytes = EncodeProjectFile(contents);
            std::size_t header = 4;
            for (const std::string& path : contents.stored_paths) header += 1 + path.size();
            const std::size_t records = sources > 1 ? static_cast<std::size_t>(sources - 1) : 0;
            EXPECT_EQ(bytes.size(), header + 4 + records * kPairRecordBytes) << sources << " sources, state " << state;
            EXPECT_EQ(Int32At(bytes, header), state);
        }
    }
}

TEST(ProjectFileLayoutTest, RecordFieldsSitAtTheirOffsets)
{
    const ProjectFileContents contents = StitchedProject(3, 0);
    const Bytes bytes = EncodeProjectFile(contents);
    std::size_t first_record = 4 + 4;
    for (const std::string& path : contents.stored_paths) first_record += 1 + path.size();

    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t record = first_record + i * kPairRecordBytes;
        const StoredPair& pair = contents.pairs[i];
        EXPECT_EQ(Int32At(bytes, record + kMethodOffset), pair.method);
        EXPECT_EQ(FloatAt(bytes, record + kHintOffset), pair.translation_hint.x);
        EXPECT_EQ(FloatAt(bytes, record + kHintOffset + 4), pair.translation_hint.y);
        for (std::size_t j = 0; j < 4; ++j) {
            const std::size_t point = record + kPointsOffset + 16 * j;
            EXPECT_EQ(FloatAt(bytes, point), pair.first_points[j].x) << "pair " << i << " point " << j;
            EXPECT_EQ(FloatAt(bytes, point + 4), pair.first_points[j].y);
            EXPECT_EQ(FloatAt(bytes, point + 8), pair.second_points[j].x);
            EXPECT_EQ(FloatAt(bytes, point + 12), pair.second_points[j].y);
        }
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(DoubleAt(bytes, record + kMatrixOffset + 8 * static_cast<std::size_t>(3 * r + c)),
                          pair.to_next.at(r, c));
    }
}

TEST(ProjectFileLayoutTest, ExactBytesOfOneRecord)
{
    ProjectFileContents contents;
    contents.stored_paths = {"a", "b"};
    contents.state = 1;
    StoredPair pair;
    pair.method = 2;
    pair.translation_hint = {1.5f, -2.0f};
    pair.first_points[0] = {1.0f, 0.0f};
    pair.second_points[0] = {0.0f, 2.0f};
    pair.to_next = Matrix::Identity(3);
    pair.to_next.at(0, 1) = -0.5;
    contents.pairs = {pair};
    const Bytes bytes = EncodeProjectFile(contents);
    ASSERT_EQ(bytes.size(), 4u + 2 * 2 + 4 + kPairRecordBytes);
    const std::size_t record = 12;
    EXPECT_EQ(Slice(bytes, record, 12), (Bytes{2, 0, 0, 0, 0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0xC0}));
    // first point 0 (1, 0), then second point 0 (0, 2)
    EXPECT_EQ(Slice(bytes, record + 12, 16),
              (Bytes{0, 0, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40}));
    EXPECT_EQ(Slice(bytes, record + 76, 16), (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0xE0, 0xBF}));
    EXPECT_EQ(Slice(bytes, record + 140, 8), (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
}

TEST(ProjectFileLayoutTest, RecordsFollowTheSourceCountNotThePairList)
{
    ProjectFileContents contents = StitchedProject(3, 0);
    contents.pairs.resize(1);
    ProjectFileContents decoded;
    ASSERT_TRUE(DecodeProjectFile(EncodeProjectFile(contents), decoded));
    ASSERT_EQ(decoded.pairs.size(), 2u);
    EXPECT_TRUE(SamePair(contents.pairs[0], decoded.pairs[0]));
    EXPECT_TRUE(SamePair(StoredPair{}, decoded.pairs[1]));
    EXPECT_EQ(decoded.pairs[1].method, -1);

    contents = StitchedProject(2, 0);
    contents.pairs.push_back(DistinctPair(9));
    EXPECT_EQ(EncodeProjectFile(contents).size(), 4u + 2 * 13 + 4 + kPairRecordBytes);
}

struct PrefixCase {
    std::size_t length;
    Bytes prefix;
};

TEST(ProjectFileLayoutTest, StringLengthPrefixes)
{
    const std::vector<PrefixCase> cases = {
        {0, {0}},
        {254, {254}},
        {255, {255, 255, 0}},
        {65533, {255, 0xFD, 0xFF}},
        {65534, {255, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0}},
        {65535, {255, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
        {70000, {255, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const PrefixCase& c : cases) {
        ProjectFileContents contents;
        contents.stored_paths = {std::string(c.length, 'x')};
        const Bytes bytes = EncodeProjectFile(contents);
        ASSERT_EQ(bytes.size(), 4 + c.prefix.size() + c.length + 4) << c.length;
        EXPECT_EQ(Slice(bytes, 4, c.prefix.size()), c.prefix) << c.length;
        if (c.length > 0) {
            EXPECT_EQ(bytes[4 + c.prefix.size()], 'x');
        }
        ProjectFileContents decoded;
        // An empty path names no file: its prefix is written as any other, but such a project is refused.
        ASSERT_EQ(DecodeProjectFile(bytes, decoded), c.length > 0) << c.length;
        if (c.length > 0) {
            EXPECT_EQ(decoded.stored_paths, contents.stored_paths);
        }
    }
}

// --- decoding -----------------------------------------------------------------------------------------------

TEST(ProjectFileDecodeTest, RoundTripKeepsEveryField)
{
    for (const std::int32_t state : {0, 1, 2}) {
        ProjectFileContents contents = StitchedProject(6, state);
        contents.stored_paths[2] = "D:\\photos\\" + std::string(300, 'q') + ".jpg";
        contents.pairs[1].translation_hint = {-0.0f, std::numeric_limits<float>::denorm_min()};
        contents.pairs[3].to_next.at(2, 0) = -1e-300;
        if (state == 2) contents.pairs.clear();
        ProjectFileContents decoded;
        ASSERT_TRUE(DecodeProjectFile(EncodeProjectFile(contents), decoded)) << state;
        EXPECT_TRUE(SameContents(contents, decoded)) << state;
    }
}

TEST(ProjectFileDecodeTest, EveryTruncationIsRefusedAndLeavesTheContentsAlone)
{
    const Bytes bytes = EncodeProjectFile(StitchedProject(3, 0));
    const ProjectFileContents sentinel = StitchedProject(2, 1);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        ProjectFileContents contents = sentinel;
        EXPECT_FALSE(DecodeProjectFile(Slice(bytes, 0, length), contents)) << "length " << length;
        EXPECT_TRUE(SameContents(sentinel, contents)) << "length " << length;
    }
}

TEST(ProjectFileDecodeTest, ImpossibleCountsAreRefused)
{
    ProjectFileContents contents;
    constexpr std::int32_t kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kHighest = std::numeric_limits<std::int32_t>::max();
    for (const std::int32_t count : {-1, kLowest, kHighest, 6}) {
        Bytes bytes;
        AppendInt32(bytes, count);
        bytes.insert(bytes.end(), {1, 'a', 1, 'b'});
        AppendInt32(bytes, 2);
        EXPECT_FALSE(DecodeProjectFile(bytes, contents)) << count;
    }
    // More sources than a project holds, every path really there: refused before any is loaded.
    for (const std::int32_t count : {kMaxSourceImages, kMaxSourceImages + 1}) {
        Bytes bytes;
        AppendInt32(bytes, count);
        for (std::int32_t i = 0; i < count; ++i) bytes.insert(bytes.end(), {1, 'a'});
        AppendInt32(bytes, 2);
        EXPECT_EQ(DecodeProjectFile(bytes, contents), count <= kMaxSourceImages) << count;
    }
}

TEST(ProjectFileDecodeTest, StringLengthsBeyondTheDataAreRefused)
{
    ProjectFileContents contents;
    const std::vector<Bytes> prefixes = {{200}, {255, 0x00, 0x01}, {255, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    for (const Bytes& prefix : prefixes) {
        Bytes bytes;
        AppendInt32(bytes, 1);
        const Bytes tail = {'a', 'b', 2, 0, 0, 0};
        bytes.insert(bytes.end(), prefix.begin(), prefix.end());
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        EXPECT_FALSE(DecodeProjectFile(bytes, contents)) << static_cast<int>(prefix.size());
    }
}

TEST(ProjectFileDecodeTest, LongerPrefixFormsAreReadButTheWideMarkerIsNot)
{
    ProjectFileContents contents;
    Bytes bytes;
    AppendInt32(bytes, 2);
    bytes.insert(bytes.end(), {255, 3, 0, 'a', 'b', 'c'});
    bytes.insert(bytes.end(), {255, 0xFF, 0xFF, 1, 0, 0, 0, 'd'});
    AppendInt32(bytes, 2);
    ASSERT_TRUE(DecodeProjectFile(bytes, contents));
    EXPECT_EQ(contents.stored_paths, (std::vector<std::string>{"abc", "d"}));

    Bytes wide;
    AppendInt32(wide, 1);
    wide.insert(wide.end(), {255, 0xFE, 0xFF, 1, 'a'});
    AppendInt32(wide, 2);
    EXPECT_FALSE(DecodeProjectFile(wide, contents));
}

TEST(ProjectFileDecodeTest, UnknownStatesAreRefused)
{
    for (const std::int32_t state : {7, 3, -1}) {
        Bytes bytes;
        AppendInt32(bytes, 1);
        bytes.insert(bytes.end(), {1, 'a'});
        AppendInt32(bytes, state);
        ProjectFileContents contents;
        EXPECT_FALSE(DecodeProjectFile(bytes, contents)) << state;
    }
}

TEST(ProjectFileDecodeTest, MissingRecordsAreRefused)
{
    ProjectFileContents one_short = StitchedProject(3, 0);
    Bytes bytes = EncodeProjectFile(one_short);
    bytes.resize(bytes.size() - kPairRecordBytes);
    ProjectFileContents contents;
    EXPECT_FALSE(DecodeProjectFile(bytes, contents));
    bytes.resize(bytes.size() - 1);
    EXPECT_FALSE(DecodeProjectFile(bytes, contents));
}

TEST(ProjectFileDecodeTest, NonFiniteMatrixEntriesAreRefused)
{
    const Bytes valid = EncodeProjectFile(StitchedProject(3, 0));
    const std::size_t second_record = valid.size() - kPairRecordBytes;
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (const double bad : {std::nan(""), kInfinity, -kInfinity}) {
        for (const int entry : {0, 8}) {
            Bytes bytes = valid;
            const auto bits = std::bit_cast<std::uint64_t>(bad);
            const std::size_t offset = second_record + kMatrixOffset + 8 * static_cast<std::size_t>(entry);
            StoreLe32(&bytes[offset], static_cast<std::uint32_t>(bits));
            StoreLe32(&bytes[offset + 4], static_cast<std::uint32_t>(bits >> 32));
            ProjectFileContents contents;
            EXPECT_FALSE(DecodeProjectFile(bytes, contents)) << bad << " at entry " << entry;
        }
    }
    // A hint or a point is only a suggestion; a NaN there does not spoil the file.
    Bytes hint = valid;
    StoreLe32(&hint[second_record + kHintOffset], std::bit_cast<std::uint32_t>(std::nanf("")));
    ProjectFileContents contents;
    EXPECT_TRUE(DecodeProjectFile(hint, contents));
}

TEST(ProjectFileDecodeTest, PathsWithNulBytesAreRefused)
{
    Bytes bytes;
    AppendInt32(bytes, 1);
    bytes.insert(bytes.end(), {3, 'a', 0, 'b'});
    AppendInt32(bytes, 2);
    ProjectFileContents contents;
    EXPECT_FALSE(DecodeProjectFile(bytes, contents));
}

TEST(ProjectFileDecodeTest, TrailingBytesAreIgnored)
{
    const ProjectFileContents original = StitchedProject(3, 1);
    Bytes bytes = EncodeProjectFile(original);
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0});
    ProjectFileContents contents;
    ASSERT_TRUE(DecodeProjectFile(bytes, contents));
    EXPECT_TRUE(SameContents(original, contents));
}

TEST(ProjectFileDecodeTest, RandomDamageNeverCrashes)
{
    const Bytes valid = EncodeProjectFile(StitchedProject(4, 0));
    std::mt19937 rng(7);
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes bytes = valid;
        const int changes = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < changes; ++k) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
        if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
        ProjectFileContents contents;
        if (DecodeProjectFile(bytes, contents)) {
            ++accepted;
            // Whatever is accepted is a consistent project.
            EXPECT_TRUE(contents.state >= 0 && contents.state <= 2);
            const std::size_t expected_pairs =
                contents.state == 2 || contents.stored_paths.size() < 2 ? 0 : contents.stored_paths.size() - 1;
            EXPECT_EQ(contents.pairs.size(), expected_pairs);
        }
    }
    // Damage to point coordinates is harmless, so some trials must have decoded.
    EXPECT_GT(accepted, 0);
}

// --- files --------------------------------------------------------------------------------------------------

std::vector<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ProjectFileStorageTest, WrittenFileHoldsTheEncodingAndReadsBack)
{
    ScratchDir dir;
    const std::string path = dir.file("p.tnp");
    const ProjectFileContents contents = StitchedProject(3, 0);
    ASSERT_TRUE(WriteProjectFile(path, contents));
    EXPECT_EQ(ReadBytes(path), EncodeProjectFile(contents));
    ProjectFileContents read;
    ASSERT_TRUE(ReadProjectFile(path, read));
    EXPECT_TRUE(SameContents(contents, read));
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"p.tnp"});
}

TEST(ProjectFileStorageTest, SavingAgainReplacesTheFileAndKeepsItsPermissions)
{
    ScratchDir dir;
    const std::string path = dir.file("p.tnp");
    ASSERT_TRUE(WriteProjectFile(path, StitchedProject(5, 0)));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const ProjectFileContents second = StitchedProject(2, 2);
    ASSERT_TRUE(WriteProjectFile(path, second));
    EXPECT_EQ(ReadBytes(path), EncodeProjectFile(second));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"p.tnp"});
}

TEST(ProjectFileStorageTest, SaveIntoAMissingFolderFails)
{
    ScratchDir dir;
    EXPECT_FALSE(WriteProjectFile(dir.file("missing/p.tnp"), StitchedProject(2, 0)));
    EXPECT_TRUE(NamesIn(dir.path()).empty());
    EXPECT_FALSE(WriteProjectFile("", StitchedProject(2, 0)));
}

TEST(ProjectFileStorageTest, FailedRenameLeavesNoTemporaryBehind)
{
    // A non-empty folder in the project file's place cannot be renamed over, whoever runs the test.
    ScratchDir dir;
    const std::filesystem::path target = dir.path() / "p.tnp";
    std::filesystem::create_directory(target);
    WriteBytes((target / "keep").string(), {1, 2, 3});
    EXPECT_FALSE(WriteProjectFile(target.string(), StitchedProject(2, 0)));
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"p.tnp"});
}

TEST(ProjectFileStorageTest, RefusedContentsLeaveThePreviousFileIntact)
{
    ScratchDir dir;
    const std::string path = dir.file("p.tnp");
    const ProjectFileContents good = StitchedProject(3, 0);
    ASSERT_TRUE(WriteProjectFile(path, good));

    ProjectFileContents broken = StitchedProject(3, 0);
    broken.pairs[1].to_next.at(1, 1) = std::nan("");
    EXPECT_FALSE(WriteProjectFile(path, broken));
    ProjectFileContents nul_path = good;
    nul_path.stored_paths[0] = std::string("a\0b", 3);
    EXPECT_FALSE(WriteProjectFile(path, nul_path));

    EXPECT_EQ(ReadBytes(path), EncodeProjectFile(good));
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"p.tnp"});
}

TEST(ProjectFileStorageTest, UnwritableFolderLeavesThePreviousFileIntact)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    ScratchDir dir;
    const std::filesystem::path folder = dir.path() / "locked";
    std::filesystem::create_directory(folder);
    const std::string path = (folder / "p.tnp").string();
    const ProjectFileContents good = StitchedProject(3, 0);
    ASSERT_TRUE(WriteProjectFile(path, good));
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const bool saved = WriteProjectFile(path, StitchedProject(2, 2));
    const Bytes on_disk = ReadBytes(path);
    const std::vector<std::string> names = NamesIn(folder);
    ::chmod(folder.c_str(), 0755);
    EXPECT_FALSE(saved);
    EXPECT_EQ(on_disk, EncodeProjectFile(good));
    EXPECT_EQ(names, std::vector<std::string>{"p.tnp"});
}

TEST(ProjectFileStorageTest, UnreadableMalformedAndOversizedFilesAreRefused)
{
    ScratchDir dir;
    ProjectFileContents contents;
    EXPECT_FALSE(ReadProjectFile(dir.file("missing.tnp"), contents));
    EXPECT_FALSE(ReadProjectFile(dir.path().string(), contents));

    const std::string garbage = dir.file("garbage.tnp");
    WriteBytes(garbage, {1, 0, 0, 0, 9, 'a'});
    EXPECT_FALSE(ReadProjectFile(garbage, contents));

    // A valid project padded far beyond any real project's size.
    const std::string huge = dir.file("huge.tnp");
    WriteBytes(huge, EncodeProjectFile(StitchedProject(2, 2)));
    std::filesystem::resize_file(huge, 64ull * 1024 * 1024 + 1);
    EXPECT_FALSE(ReadProjectFile(huge, contents));
    std::filesystem::resize_file(huge, 64ull * 1024 * 1024);
    EXPECT_TRUE(ReadProjectFile(huge, contents));
}

}  // namespace
}  // namespace tp
