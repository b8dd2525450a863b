// Small geometric value types shared by registration and compositing.
#pragma once

namespace tp {

// A position as 32-bit floats; in centred coordinates unless a name says otherwise.
struct PointF {
    float x = 0.0f;
    float y = 0.0f;
    bool operator==(const PointF&) const = default;
};

struct PointI {
    int x = 0;
    int y = 0;
    bool operator==(const PointI&) const = default;
};

// Inclusive integer box: minimum and maximum x and y.
struct BoxI {
    int min_x = 0;
    int min_y = 0;
    int max_x = 0;
    int max_y = 0;
    bool operator==(const BoxI&) const = default;
};

}  // namespace tp
