// Box-filter reduction of a colour image that takes its rows one at a time, so that a decoder can feed it
// without the full-size picture ever being held in memory.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image_buffer.h"

namespace tp {

// One output sample of a box reduction along one axis: the output covers source interval
// [k r, (k + 1) r) with r = source length / target length. The sample cut by the interval's start counts with
// the part left over from the previous output (lead), whole samples count 1, and the sample cut by its end
// counts with the fraction inside (tail); an index past the last sample is clamped to it.
struct BoxTap {
    int lead_index = 0;
    float lead_weight = 0.0f;
    int first = 0;  // whole samples [first, end)
    int end = 0;
    int tail_index = 0;
    float tail_weight = 0.0f;
};

std::vector<BoxTap> PlanBoxReduction(int source_length, int target_length);

class AreaReducer {
public:
    // `destination` is already allocated at the target size (no larger than the source in either direction)
    // and must outlive the reducer.
    AreaReducer(int source_width, int source_height, ColorImage& destination);

    // Row y of the source (blue, green, red), in order from the top; each finished output row is written as
    // soon as its last source row has arrived.
    void AddRow(const std::uint8_t* row);

private:
    void FinishOutputRow(const std::vector<float>& last_row);

    ColorImage& destination_;
    int target_width_;
    std::vector<BoxTap> columns_;
    std::vector<BoxTap> rows_;
    float column_scale_;
    float row_scale_;
    int next_row_ = 0;
    int output_row_ = 0;
    std::vector<float> reduced_;  // the current source row reduced across, channel planes one after another
    std::vector<float> sum_;      // the output row being accumulated, same layout
};

}  // namespace tp
