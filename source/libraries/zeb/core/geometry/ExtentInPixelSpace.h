#pragma once

namespace ZEB {

class ExtentInPixelSpace {
public:
    ExtentInPixelSpace(int width = 0, int height = 0) : iWidth_(width), iHeight_(height) {}

    int width() const { return iWidth_; }
    int height() const { return iHeight_; }

private:
    int iWidth_;
    int iHeight_;
};

} // namespace ZEB
