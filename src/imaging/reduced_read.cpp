#include "imaging/reduced_read.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "imaging/area_reducer.h"
#include "imaging/image_file.h"
#include "imaging/image_ops.h"
#include "imaging/nearest_reducer.h"
#include "imaging/row_sink.h"

namespace tp {

namespace {

// Feeds every decoded row to the reducers. Rows are decoded straight into a copy that keeps the picture's
// size when there is one, otherwise into a band of a few rows.
class ReducingSink final : public RowSink {
public:
    ReducingSink(const ReductionRequest& request, ReducedPicture& picture, MemoryBudget* budget)
        : request_(request), picture_(picture), budget_(budget)
    {
    }

    bool Begin(int width, int height, std::size_t decoder_bytes) override
    {
        try {
            return Prepare(width, height, decoder_bytes);
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::length_error&) {
            return false;
        }
    }

    std::uint8_t* Row(int y) override
    {
        if (direct_) return direct_->row(y);
        return band_.data() + static_cast<std::size_t>(y % kSinkBandRows) * row_bytes_;
    }

    void RowsWritten(int end) override
    {
        for (; written_ < end; ++written_) {
            const std::uint8_t* row = Row(written_);
            if (second_copy_) std::memcpy(second_copy_->row(written_), row, row_bytes_);
            if (area_) area_->AddRow(row);
            if (nearest_) nearest_->AddRow(row);
        }
    }

private:
    bool Prepare(int width, int height, std::size_t decoder_bytes)
    {
        picture_.full_width = width;
        picture_.full_height = height;
        row_bytes_ = 3 * static_cast<std::size_t>(width);
        std::size_t own_bytes = 0;
        if (request_.fit_width > 0 && request_.fit_height > 0) {
            const FittedSize size = FitWithin(width, height, request_.fit_width, request_.fit_height);
            if (!picture_.fitted.allocate(size.width, size.height)) return false;
            own_bytes += picture_.fitted.block_size();
            if (size.width == width && size.height == height)
                TakeCopy(picture_.fitted);
            else
                area_ = std::make_unique<AreaReducer>(width, height, picture_.fitted);
            own_bytes += 2 * 3 * sizeof(float) * static_cast<std::size_t>(size.width);
        }
        if (request_.nearest_side >= 0) {
            const int side = request_.nearest_side;
            if (!picture_.nearest.allocate(NearestReducer::ReducedSide(width, width, height, side),
                                           NearestReducer::ReducedSide(height, width, height, side)))
                return false;
            own_bytes += picture_.nearest.block_size();
            if (picture_.nearest.width() == width && picture_.nearest.height() == height)
                TakeCopy(picture_.nearest);
            else
                nearest_ = std::make_unique<NearestReducer>(width, height, side, picture_.nearest);
        }
        if (!direct_) {
            band_.resize(static_cast<std::size_t>(kSinkBandRows) * row_bytes_);
            own_bytes += band_.size();
        }
        if (budget_) hold_ = budget_->Reserve(decoder_bytes + own_bytes);
        return true;
    }

    // A copy at the picture's own size: rows are decoded into the first such copy and copied into a second.
    void TakeCopy(ColorImage& copy)
    {
        if (!direct_)
            direct_ = &copy;
        else
            second_copy_ = &copy;
    }

    const ReductionRequest request_;
    ReducedPicture& picture_;
    MemoryBudget* budget_;
    MemoryBudget::Hold hold_;
    std::size_t row_bytes_ = 0;
    ColorImage* direct_ = nullptr;
    ColorImage* second_copy_ = nullptr;
    std::unique_ptr<AreaReducer> area_;
    std::unique_ptr<NearestReducer> nearest_;
    std::vector<std::uint8_t> band_;
    int written_ = 0;
};

}  // namespace

int ReadReduced(const std::string& path, const ReductionRequest& request, ReducedPicture& picture, MemoryBudget* budget)
{
    picture = ReducedPicture{};
    int code = 0;
    {
        ReducingSink sink(request, picture, budget);
        code = DecodeImage(path, sink);
    }
    if (code != 0) picture = ReducedPicture{};
    return code;
}

}  // namespace tp
