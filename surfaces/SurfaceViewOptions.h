// The options of a drawing-surface control and the rule for the options in force.
#pragma once

#include <cstdint>
#include <initializer_list>

enum TSurfaceViewOption : std::uint8_t {
    doFullScreen,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer
};

// A 16-bit set of options, bit 0 first.
class TSurfaceViewOptions {
public:
    constexpr TSurfaceViewOptions() = default;
    constexpr TSurfaceViewOptions(std::initializer_list<TSurfaceViewOption> options) {
        for (auto o : options) {
            bits_ |= std::uint16_t(1u << o);
        }
    }
    constexpr bool Contains(TSurfaceViewOption o) const { return bits_ & (1u << o); }
    constexpr void Include(TSurfaceViewOption o) { bits_ |= std::uint16_t(1u << o); }
    constexpr void Exclude(TSurfaceViewOption o) { bits_ &= std::uint16_t(~(1u << o)); }
    constexpr std::uint16_t Bits() const { return bits_; }
    friend constexpr bool operator==(TSurfaceViewOptions, TSurfaceViewOptions) = default;

private:
    std::uint16_t bits_ = 0;
};

// The options in force. Uninitialised: derived from `options` alone; initialised: only
// doWaitVBlank, doStretch and doCenter follow `options`, the rest of `current` stays.
TSurfaceViewOptions ComputeEffectiveOptions(TSurfaceViewOptions options, bool initialized,
                                            TSurfaceViewOptions current);
