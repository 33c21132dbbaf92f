#include "controller/views/graph_mapping.h"

#include <algorithm>

namespace korvex {

namespace {

// Origins are kept this far from the window at most: a drag cannot run them into overflow, and
// no program point maps further than this beyond it anyway at scale 1.
constexpr int64_t kOriginLimit = int64_t{1} << 40;

int64_t ceilDiv(int64_t a, int64_t b) { return -floorDiv(-a, b); }

}  // namespace

void GraphMapping::resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    originX_ = width_ / 2;
    originY_ = height_ / 2;
    if (fitPending_ && width_ > 0 && height_ > 0)
        fit();
}

bool GraphMapping::fit() {
    if (width_ <= 0 || height_ <= 0) {
        fitPending_ = true;
        return false;
    }
    fitPending_ = false;
    const int64_t dx = extents_.maxX - extents_.minX;
    const int64_t dy = extents_.maxY - extents_.minY;
    const int64_t s = std::clamp(std::max({ceilDiv(dx, width_), ceilDiv(dy, height_), int64_t{1}}), kMinScale,
                                 kMaxScale);
    scale_ = fitScale_ = s;
    level_ = 0;
    originX_ = -extents_.minX / s + (width_ - dx / s) / 2;
    originY_ = extents_.maxY / s + (height_ - dy / s) / 2;
    return true;
}

void GraphMapping::rescale(int64_t p, int64_t q, int64_t newScale) {
    const int64_t old = scale_;
    scale_ = newScale;
    originX_ = std::clamp(p - (p - originX_) * old / newScale, -kOriginLimit, kOriginLimit);
    originY_ = std::clamp(q - (q - originY_) * old / newScale, -kOriginLimit, kOriginLimit);
}

void GraphMapping::zoomIn(int64_t p, int64_t q) {
    if (level_ >= kMaxZoomLevel)
        return;
    ++level_;
    // s / 1.02 truncated, in integers: exact for every scale.
    rescale(p, q, std::max(scale_ * 100 / 102, kMinScale));
}

void GraphMapping::zoomOut(int64_t p, int64_t q) {
    if (scale_ >= kMaxScale)
        return;  // at the cap nothing changes, the level included
    const int64_t next = level_ <= kMinZoomLevel ? scale_ + 1 : scale_ * 102 / 100 + 1;
    level_ = std::max(level_ - 1, kMinZoomLevel);
    rescale(p, q, std::min(next, kMaxScale));
}

void GraphMapping::moveOrigin(int64_t dx, int64_t dy) {
    originX_ = std::clamp(originX_ + dx, -kOriginLimit, kOriginLimit);
    originY_ = std::clamp(originY_ + dy, -kOriginLimit, kOriginLimit);
}

void GraphMapping::clear() {
    scale_ = fitScale_ = kInitialScale;
    level_ = 0;
    fitPending_ = false;
    originX_ = width_ / 2;
    originY_ = height_ / 2;
}

}  // namespace korvex
