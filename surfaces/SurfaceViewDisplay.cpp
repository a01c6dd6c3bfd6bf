#include "surfaces/SurfaceViewDisplay.h"

#include "surfaces/SurfaceViews.h"

using namespace platform;

void TSurfaceViewDisplay::Assign(const TSurfaceViewDisplay& other) {
    width_ = other.width_;
    height_ = other.height_;
    bitCount_ = other.bitCount_;
    FixedBitCount = other.FixedBitCount;
    FixedRatio = other.FixedRatio;
    FixedSize = other.FixedSize;
}

void TSurfaceViewDisplay::SetBitCount(int v) {
    if (v != 8 && v != 16 && v != 24 && v != 32) {
        throw EDirectDrawError(SurfaceTexts::InvalidDisplayBitCount);
    }
    bitCount_ = v;
}

const std::vector<TSurfaceViewDisplayMode>& TSurfaceViewDisplay::Modes() {
    if (modes_.empty()) {
        auto collect = [this](ddraw::DirectDraw& dd) {
            dd.EnumDisplayModes([this](const ddraw::DisplayMode& m) { modes_.push_back({m}); });
        };
        if (owner_ && owner_->DDraw()) {
            collect(owner_->DDraw()->IDraw());
        } else {
            TDirectDraw temp(true);
            collect(temp.IDraw());
        }
        std::stable_sort(modes_.begin(), modes_.end(), [](const auto& a, const auto& b) {
            if (a.Width() != b.Width()) {
                return a.Width() < b.Width();
            }
            if (a.Height() != b.Height()) {
                return a.Height() < b.Height();
            }
            return a.BitCount() < b.BitCount();
        });
    }
    return modes_;
}

int TSurfaceViewDisplay::IndexOf(int width, int height, int bitCount) {
    const auto& m = Modes();
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (m[i].Width() == width && m[i].Height() == height && m[i].BitCount() == bitCount) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool TSurfaceViewDisplay::SetMode(int width, int height, int bitCount) {
    if (!owner_ || !owner_->DDraw()) {
        return false;
    }
    if (owner_->DDraw()->IDraw().SetDisplayMode(width, height, bitCount) != ddraw::DD_OK) {
        return false;
    }
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    return true;
}

bool TSurfaceViewDisplay::DynSetSize(int width, int height, int bitCount) {
    if (width < 1 || height < 1 ||
        (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        return false;
    }
    if (SetMode(width, height, bitCount)) {
        return true;
    }
    if (FixedSize) {
        return false;
    }
    // The smallest larger mode, with the same proportions first when asked to keep them.
    for (bool sameRatio : {true, false}) {
        if (!sameRatio && FixedRatio) {
            break;
        }
        for (const auto& m : Modes()) {
            if (m.Width() < width || m.Height() < height) {
                continue;
            }
            if (FixedBitCount && m.BitCount() != bitCount) {
                continue;
            }
            if (sameRatio && std::int64_t(m.Width()) * height != std::int64_t(m.Height()) * width) {
                continue;
            }
            if (SetMode(m.Width(), m.Height(), m.BitCount())) {
                return true;
            }
        }
    }
    return false;
}

std::uint32_t BitCountToFlags(int bitCount) {
    switch (bitCount) {
    case 1:
        return 0x4000;
    case 2:
        return 0x2000;
    case 4:
        return 0x1000;
    case 8:
        return 0x800;
    case 16:
        return 0x400;
    case 24:
        return 0x200;
    case 32:
        return 0x100;
    default:
        return 0;
    }
}
