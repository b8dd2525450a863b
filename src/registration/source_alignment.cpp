#include "registration/source_alignment.h"

namespace tp {

void StorePairResult(AlignmentTable& table, int i, const Matrix& h, const Matrix& h_inverse, double weight)
{
    SourceAlignment& first = table[static_cast<std::size_t>(i)];
    SourceAlignment& second = table[static_cast<std::size_t>(i) + 1];
    first.to_next = h;
    second.to_previous = h_inverse;
    first.has_next = 1;
    second.has_previous = 1;
    first.pair_weight = weight;
    second.pair_weight = weight;
}

void ClearPairResult(AlignmentTable& table, int i)
{
    table[static_cast<std::size_t>(i)].has_next = 0;
    table[static_cast<std::size_t>(i) + 1].has_previous = 0;
}

}  // namespace tp
