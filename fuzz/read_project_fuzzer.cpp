// Feeds arbitrary bytes to the project decoder: it must refuse or accept, never crash, hang or allocate
// beyond what the bytes hold; what it accepts names a file for every source, has a record for every pair of a
// stitched project, and is written back to bytes that decode to the same contents.
#include <cstdint>
#include <vector>

#include "project/project_file.h"

namespace {

bool SameContents(const tp::ProjectFileContents& a, const tp::ProjectFileContents& b)
{
    if (a.stored_paths != b.stored_paths || a.state != b.state || a.pairs.size() != b.pairs.size()) return false;
    for (std::size_t i = 0; i < a.pairs.size(); ++i)
        if (a.pairs[i].method != b.pairs[i].method || !(a.pairs[i].to_next == b.pairs[i].to_next)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    tp::ProjectFileContents contents;
    if (!tp::DecodeProjectFile(bytes, contents)) return 0;
    for (const std::string& path : contents.stored_paths)
        if (path.empty()) __builtin_trap();
    const bool stitched = contents.state != 2;
    if (stitched && (contents.stored_paths.empty() || contents.pairs.size() != contents.stored_paths.size() - 1)) __builtin_trap();
    tp::ProjectFileContents again;
    if (!tp::DecodeProjectFile(tp::EncodeProjectFile(contents), again) || !SameContents(contents, again)) __builtin_trap();
    return 0;
}
