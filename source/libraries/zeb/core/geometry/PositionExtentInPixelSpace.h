#pragma once

#include "zeb/core/geometry/ExtentInPixelSpace.h"
#include "zeb/core/geometry/PositionInPixelSpace.h"

namespace ZEB {

// A pixel rectangle: its lower-left corner and its size.
class PositionExtentInPixelSpace {
public:
    PositionExtentInPixelSpace(const PositionInPixelSpace& position, const ExtentInPixelSpace& extent)
        : position_(position), extent_(extent)
    {
    }

    const PositionInPixelSpace& position() const { return position_; }
    const ExtentInPixelSpace& extent() const { return extent_; }
    int x() const { return position_.x(); }
    int y() const { return position_.y(); }
    int width() const { return extent_.width(); }
    int height() const { return extent_.height(); }

private:
    PositionInPixelSpace position_;
    ExtentInPixelSpace extent_;
};

} // namespace ZEB
