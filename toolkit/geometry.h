// Points and rectangles in the frame's 1x coordinate system.
#pragma once

#include <algorithm>

namespace toolkit {

using CCoord = double;

struct CPoint {
    CCoord x = 0;
    CCoord y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(CCoord x, CCoord y) : x(x), y(y) {}

    constexpr CPoint& offset(CCoord dx, CCoord dy) {
        x += dx;
        y += dy;
        return *this;
    }
    constexpr CPoint operator+(const CPoint& other) const { return {x + other.x, y + other.y}; }
    constexpr CPoint operator-(const CPoint& other) const { return {x - other.x, y - other.y}; }
    constexpr bool operator==(const CPoint&) const = default;
};

struct CRect {
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(CCoord left, CCoord top, CCoord right, CCoord bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    constexpr CRect(const CPoint& origin, CCoord width, CCoord height)
        : left(origin.x), top(origin.y), right(origin.x + width), bottom(origin.y + height) {}

    constexpr CCoord getWidth() const { return right - left; }
    constexpr CCoord getHeight() const { return bottom - top; }
    constexpr CPoint getTopLeft() const { return {left, top}; }
    constexpr CPoint getBottomRight() const { return {right, bottom}; }
    constexpr CPoint getCenter() const { return {(left + right) / 2, (top + bottom) / 2}; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }

    constexpr CRect& setWidth(CCoord width) {
        right = left + width;
        return *this;
    }
    constexpr CRect& setHeight(CCoord height) {
        bottom = top + height;
        return *this;
    }
    // Right and bottom edges are outside, as for every hit test in the toolkit.
    constexpr bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    // Edges inclusive: the kick button and the rocker test this way.
    constexpr bool pointInsideInclusive(const CPoint& p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    constexpr bool rectOverlap(const CRect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    constexpr bool rectInside(const CRect& other) const {
        return other.left >= left && other.right <= right && other.top >= top && other.bottom <= bottom;
    }
    constexpr CRect& offset(CCoord dx, CCoord dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    constexpr CRect& moveTo(const CPoint& p) { return offset(p.x - left, p.y - top); }
    constexpr CRect& inset(CCoord dx, CCoord dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
        return *this;
    }
    constexpr CRect& unite(const CRect& other) {
        if (other.isEmpty()) {
            return *this;
        }
        if (isEmpty()) {
            return *this = other;
        }
        left = std::min(left, other.left);
        top = std::min(top, other.top);
        right = std::max(right, other.right);
        bottom = std::max(bottom, other.bottom);
        return *this;
    }
    // Clips this rectangle to `other`; an empty result collapses to zero size.
    constexpr CRect& bound(const CRect& other) {
        left = std::max(left, other.left);
        top = std::max(top, other.top);
        right = std::max(left, std::min(right, other.right));
        bottom = std::max(top, std::min(bottom, other.bottom));
        return *this;
    }
    constexpr bool operator==(const CRect&) const = default;
};

}  // namespace toolkit
