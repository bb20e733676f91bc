// The view region in 6-byte reals and the exact mapping from buffer cells to points.
#pragma once

#include "engine/Real48.h"

namespace engine {

inline constexpr int kBufferWidth = 1024;
inline constexpr int kBufferHeight = 768;
inline constexpr int kBufferCells = kBufferWidth * kBufferHeight;

// The region as a calculation reads it: widened to extended once at its start.
struct RegionValues {
    Extended XStart = 0.0L;
    Extended XWidth = 0.0L;
    Extended YStart = 0.0L;
    Extended YHeight = 0.0L;

    bool operator==(const RegionValues&) const = default;
};

inline constexpr Extended kInv1023 = 1.0L / 1023.0L;
inline constexpr Extended kInv767 = 1.0L / 767.0L;

// Multiplying by the extended reciprocal, not dividing, is part of the
// picture: the last bits of every coordinate depend on it.
inline Extended CellX(const RegionValues& r, int column)
{
    return ((static_cast<Extended>(column) * r.XWidth) * kInv1023) + r.XStart;
}

inline Extended CellY(const RegionValues& r, int row)
{
    return ((static_cast<Extended>(row) * r.YHeight) * kInv767) + r.YStart;
}

// The grid of a picture of any size: the last column lies at XStart +
// XWidth and the last row at YStart + YHeight whatever the size, as in the
// 1024 x 768 picture. The steps are the extended values nearest to
// 1/(width - 1) and 1/(height - 1); a division of two extended numbers is
// correctly rounded, so at 1024 x 768 they equal kInv1023 and kInv767 and
// every coordinate is the one CellX and CellY give.
struct Grid {
    int width = kBufferWidth;
    int height = kBufferHeight;
    Extended xStep = kInv1023;
    Extended yStep = kInv767;

    // Each side 2 or more (a single column has no step).
    static Grid OfSize(int width, int height)
    {
        return Grid{width, height, 1.0L / static_cast<Extended>(width - 1), 1.0L / static_cast<Extended>(height - 1)};
    }

    Extended CellX(const RegionValues& r, int column) const
    {
        return ((static_cast<Extended>(column) * r.XWidth) * xStep) + r.XStart;
    }
    Extended CellY(const RegionValues& r, int row) const
    {
        return ((static_cast<Extended>(row) * r.YHeight) * yStep) + r.YStart;
    }
};

// The four stored fields. Every assignment narrows at once, so a later step
// of the same command reads the rounded value; an overflowing assignment
// throws and leaves that field and the later ones untouched.
struct Region {
    Real48 XWidth;
    Real48 YHeight;
    Real48 XStart;
    Real48 YStart;

    void SetRegionBySize(Extended xStart, Extended xWidth, Extended yStart, Extended yHeight)
    {
        XStart = Real48::FromExtended(xStart);
        XWidth = Real48::FromExtended(xWidth);
        YStart = Real48::FromExtended(yStart);
        YHeight = Real48::FromExtended(yHeight);
    }

    // The differences come from the arguments, not from the stored values.
    void SetRegionByCorners(Extended x1, Extended x2, Extended y1, Extended y2)
    {
        XStart = Real48::FromExtended(x1);
        XWidth = Real48::FromExtended(x2 - x1);
        YStart = Real48::FromExtended(y1);
        YHeight = Real48::FromExtended(y2 - y1);
    }

    RegionValues Values() const
    {
        return {XStart.ToExtended(), XWidth.ToExtended(), YStart.ToExtended(), YHeight.ToExtended()};
    }

    bool operator==(const Region&) const = default;
};

} // namespace engine
