#pragma once

// An integer rectangle with exclusive right and bottom edges. The slider's
// layout rules are stated in edges (left, top, right, bottom); keeping them
// in that form avoids QRect's inclusive right()/bottom() off-by-one traps.

#include <QPoint>
#include <QRect>

#include <algorithm>

namespace quorrel::controls {

struct Box final {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(QPoint p) const { return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom; }
    bool operator==(const Box&) const = default;

    Box Adjusted(int dl, int dt, int dr, int db) const { return {left + dl, top + dt, right + dr, bottom + db}; }
    Box United(const Box& o) const
    {
        if (IsEmpty())
            return o;
        if (o.IsEmpty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    static Box FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};

} // namespace quorrel::controls
