// A zlib stream made of separately compressed pieces must inflate to the input, whatever the cuts.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include <zlib.h>

#include "imaging/deflate_pieces.h"

namespace tp {
namespace {

constexpr DeflateSettings kSettings{Z_DEFAULT_COMPRESSION, Z_FILTERED};

// Text-like data: words from a small vocabulary, so matches are everywhere and cross every cut.
std::vector<std::uint8_t> RepetitiveData(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<std::vector<std::uint8_t>> words(300);
    for (std::vector<std::uint8_t>& word : words) {
        word.resize(3 + rng() % 8);
        for (std::uint8_t& letter : word) letter = static_cast<std::uint8_t>('a' + rng() % 26);
    }
    std::vector<std::uint8_t> data;
    while (data.size() < size) {
        const std::vector<std::uint8_t>& word = words[rng() % words.size()];
        data.insert(data.end(), word.begin(), word.end());
        data.push_back(' ');
    }
    data.resize(size);
    return data;
}

std::vector<std::uint8_t> CompressInPieces(const std::vector<std::uint8_t>& data, const std::vector<std::size_t>& cuts)
{
    std::vector<std::uint8_t> stream = ZlibHeader(kSettings.level);
    std::uint32_t adler = Adler32(nullptr, 0);
    std::size_t start = 0;
    for (std::size_t k = 0; k <= cuts.size(); ++k) {
        const std::size_t end = k < cuts.size() ? cuts[k] : data.size();
        EXPECT_TRUE(DeflatePiece(data.data() + start, end - start, data.data(), start, k == cuts.size(), kSettings, stream));
        adler = JoinAdler32(adler, Adler32(data.data() + start, end - start), end - start);
        start = end;
    }
    for (int shift = 24; shift >= 0; shift -= 8) stream.push_back(static_cast<std::uint8_t>(adler >> shift));
    return stream;
}

std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& stream, std::size_t expected_size)
{
    std::vector<std::uint8_t> out(expected_size + 1);
    uLongf size = static_cast<uLongf>(out.size());
    const int result = uncompress(out.data(), &size, stream.data(), static_cast<uLong>(stream.size()));
    EXPECT_EQ(result, Z_OK);
    out.resize(result == Z_OK ? size : 0);
    return out;
}

TEST(DeflatePieces, ConcatenatedPiecesInflateToTheInput)
{
    const std::vector<std::uint8_t> data = RepetitiveData(200000, 3);
    const std::vector<std::vector<std::size_t>> cut_sets = {
        {},                              // one piece
        {1},                             // a one-byte first piece
        {100000},                        // two halves
        {5000, 5000, 70000, 199999},     // an empty piece and a one-byte last piece
        {10, 20000, 40001, 100000, 150003},
    };
    for (const std::vector<std::size_t>& cuts : cut_sets) {
        SCOPED_TRACE(::testing::Message() << cuts.size() << " cuts");
        EXPECT_EQ(Inflate(CompressInPieces(data, cuts), data.size()), data);
    }
}

TEST(DeflatePieces, EmptyInputIsAValidStream)
{
    EXPECT_TRUE(Inflate(CompressInPieces({}, {}), 0).empty());
}

TEST(DeflatePieces, PrimedPiecesCompressAlmostAsWellAsOneStream)
{
    const std::vector<std::uint8_t> data = RepetitiveData(400000, 9);
    std::vector<std::size_t> cuts;
    for (std::size_t at = 50000; at < data.size(); at += 50000) cuts.push_back(at);
    const std::size_t whole = CompressInPieces(data, {}).size();
    const std::size_t pieces = CompressInPieces(data, cuts).size();
    EXPECT_LT(pieces, whole + whole / 50);  // within 2 %

    // Without the dictionary every piece starts cold: clearly larger, so the priming is doing its work.
    std::vector<std::uint8_t> cold = ZlibHeader(kSettings.level);
    std::size_t start = 0;
    for (std::size_t k = 0; k <= cuts.size(); ++k) {
        const std::size_t end = k < cuts.size() ? cuts[k] : data.size();
        ASSERT_TRUE(DeflatePiece(data.data() + start, end - start, nullptr, 0, k == cuts.size(), kSettings, cold));
        start = end;
    }
    EXPECT_GT(cold.size(), pieces + pieces / 50);
}

TEST(DeflatePieces, HeaderNamesTheLevelGroupAndPassesTheCheck)
{
    for (const int level : {Z_DEFAULT_COMPRESSION, 0, 1, 5, 6, 9}) {
        const std::vector<std::uint8_t> header = ZlibHeader(level);
        ASSERT_EQ(header.size(), 2u);
        EXPECT_EQ(header[0], 0x78);
        EXPECT_EQ((header[0] * 256 + header[1]) % 31, 0);
        EXPECT_EQ(header[1] & 0x20, 0);  // no preset dictionary for the stream as a whole
    }
    EXPECT_EQ(ZlibHeader(Z_DEFAULT_COMPRESSION)[1], 0x9C);  // what zlib itself writes at its default level
    EXPECT_EQ(ZlibHeader(1)[1], 0x01);
    EXPECT_EQ(ZlibHeader(9)[1], 0xDA);
}

TEST(DeflatePieces, JoinedChecksumEqualsTheChecksumOfTheWhole)
{
    const std::vector<std::uint8_t> data = RepetitiveData(10000, 5);
    const std::uint32_t whole = Adler32(data.data(), data.size());
    const std::uint32_t joined = JoinAdler32(Adler32(data.data(), 3333), Adler32(data.data() + 3333, 6667), 6667);
    EXPECT_EQ(joined, whole);
    EXPECT_EQ(whole, static_cast<std::uint32_t>(adler32(1, data.data(), static_cast<uInt>(data.size()))));
}

}  // namespace
}  // namespace tp
