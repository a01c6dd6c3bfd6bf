// The display mode a drawing-surface control wants in full-screen mode, and the modes there are.
#pragma once

#include "platform/ddraw/DirectDraw.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class TCustomSurfaceView;

struct TSurfaceViewDisplayMode {
    platform::ddraw::DisplayMode Mode;
    int Width() const { return Mode.width; }
    int Height() const { return Mode.height; }
    int BitCount() const { return Mode.bitCount; }
};

// The display mode wanted in full-screen mode.
class TSurfaceViewDisplay {
public:
    explicit TSurfaceViewDisplay(TCustomSurfaceView* owner) : owner_(owner) {}
    void Assign(const TSurfaceViewDisplay& other);

    int Width() const { return width_; }
    void SetWidth(int v) { width_ = std::max(v, 0); }
    int Height() const { return height_; }
    void SetHeight(int v) { height_ = std::max(v, 0); }
    int BitCount() const { return bitCount_; }
    // Only 8, 16, 24 or 32; anything else raises and keeps the old value.
    void SetBitCount(int v);
    bool FixedBitCount = true;
    bool FixedRatio = true;
    bool FixedSize = false;

    // Filled on first use, ordered by width, height and bit count.
    const std::vector<TSurfaceViewDisplayMode>& Modes();
    int Count() { return static_cast<int>(Modes().size()); }
    int IndexOf(int width, int height, int bitCount);
    void ClearModes() { modes_.clear(); }
    bool SetMode(int width, int height, int bitCount);
    bool DynSetSize(int width, int height, int bitCount);

private:
    TCustomSurfaceView* owner_;
    int width_ = 640;
    int height_ = 480;
    int bitCount_ = 8;
    std::vector<TSurfaceViewDisplayMode> modes_;
};

// The DDBD flag of a bit count (0 for an unknown one).
std::uint32_t BitCountToFlags(int bitCount);
