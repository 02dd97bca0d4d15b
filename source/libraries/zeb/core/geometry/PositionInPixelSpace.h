#pragma once

namespace ZEB {

class PositionInPixelSpace {
public:
    PositionInPixelSpace(int x = 0, int y = 0) : iX_(x), iY_(y) {}

    int x() const { return iX_; }
    int y() const { return iY_; }

private:
    int iX_;
    int iY_;
};

} // namespace ZEB
