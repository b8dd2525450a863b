#include "imaging/area_reducer.h"

#include <algorithm>

#include "imaging/pixel.h"

namespace tp {

namespace {

float Scale(int source_length, int target_length)
{
    return 1.0f / (static_cast<float>(source_length) / static_cast<float>(target_length));
}

}  // namespace

std::vector<BoxTap> PlanBoxReduction(int source_length, int target_length)
{
    std::vector<BoxTap> plan(static_cast<std::size_t>(std::max(target_length, 0)));
    const float ratio = static_cast<float>(source_length) / static_cast<float>(target_length);
    const int last = source_length - 1;
    int next = 0;
    float carry = 0.0f;
    int carry_index = 0;
    for (int k = 0; k < target_length; ++k) {
        BoxTap& tap = plan[static_cast<std::size_t>(k)];
        tap.lead_index = carry_index;
        tap.lead_weight = carry;
        const float interval_end = static_cast<float>(k + 1) * ratio;
        tap.first = next;
        while (next < source_length && static_cast<float>(next + 1) <= interval_end) ++next;
        tap.end = next;
        const float fraction = interval_end - static_cast<float>(next);
        carry = 0.0f;
        if (fraction > 0.0f) {
            tap.tail_index = std::min(next, last);
            tap.tail_weight = std::min(fraction, 1.0f);
            carry = 1.0f - tap.tail_weight;
            carry_index = tap.tail_index;
            ++next;
        }
    }
    return plan;
}

AreaReducer::AreaReducer(int source_width, int source_height, ColorImage& destination)
    : destination_(destination),
      target_width_(destination.width()),
      columns_(PlanBoxReduction(source_width, destination.width())),
      rows_(PlanBoxReduction(source_height, destination.height())),
      column_scale_(Scale(source_width, destination.width())),
      row_scale_(Scale(source_height, destination.height())),
      reduced_(3 * static_cast<std::size_t>(destination.width())),
      sum_(3 * static_cast<std::size_t>(destination.width()), 0.0f)
{
}

void AreaReducer::AddRow(const std::uint8_t* in)
{
    const int y = next_row_++;
    if (output_row_ >= static_cast<int>(rows_.size())) return;

    // Across: whole samples of an interval are summed as integers (exact) before the cut ones are added.
    const std::size_t w = static_cast<std::size_t>(target_width_);
    for (std::size_t k = 0; k < w; ++k) {
        const BoxTap& tap = columns_[k];
        int whole[3] = {0, 0, 0};
        for (const std::uint8_t* p = in + 3 * tap.first; p < in + 3 * tap.end; p += 3) {
            whole[0] += p[0];
            whole[1] += p[1];
            whole[2] += p[2];
        }
        const std::uint8_t* lead = in + 3 * tap.lead_index;
        const std::uint8_t* tail = in + 3 * tap.tail_index;
        for (std::size_t c = 0; c < 3; ++c) {
            const float sum = tap.lead_weight * static_cast<float>(lead[c]) + static_cast<float>(whole[c]) +
                              tap.tail_weight * static_cast<float>(tail[c]);
            reduced_[c * w + k] = sum * column_scale_;
        }
    }

    // Down: a whole row adds in; the row that ends the output interval finishes it.
    const BoxTap& tap = rows_[static_cast<std::size_t>(output_row_)];
    if (y >= tap.first && y < tap.end)
        for (std::size_t i = 0; i < sum_.size(); ++i) sum_[i] += reduced_[i];
    const bool finished = tap.tail_weight > 0.0f ? y == tap.tail_index : y == tap.end - 1;
    if (finished) FinishOutputRow(reduced_);
}

void AreaReducer::FinishOutputRow(const std::vector<float>& last_row)
{
    const BoxTap& tap = rows_[static_cast<std::size_t>(output_row_)];
    const std::size_t w = static_cast<std::size_t>(target_width_);
    std::uint8_t* out = destination_.row(output_row_);
    for (std::size_t c = 0; c < 3; ++c)
        for (std::size_t x = 0; x < w; ++x)
            out[3 * x + c] = TruncateToByte((sum_[c * w + x] + tap.tail_weight * last_row[c * w + x]) * row_scale_);
    ++output_row_;
    // The next output starts with the part of this row its interval still covers.
    if (output_row_ < static_cast<int>(rows_.size())) {
        const float lead = rows_[static_cast<std::size_t>(output_row_)].lead_weight;
        for (std::size_t i = 0; i < sum_.size(); ++i) sum_[i] = lead * last_row[i];
    }
}

}  // namespace tp
