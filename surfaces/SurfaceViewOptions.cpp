#include "surfaces/SurfaceViewOptions.h"

TSurfaceViewOptions ComputeEffectiveOptions(TSurfaceViewOptions options, bool initialized,
                                            TSurfaceViewOptions current) {
    TSurfaceViewOptions e;
    if (!initialized) {
        e = options;
        if (!e.Contains(doFullScreen)) {
            for (auto o : {doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip}) {
                e.Exclude(o);
            }
        }
        if (!e.Contains(do3D)) {
            for (auto o : {doDirectX7Mode, doRetainedMode, doHardware, doSelectDriver, doZBuffer}) {
                e.Exclude(o);
            }
        }
        if (e.Contains(doSystemMemory)) {
            e.Exclude(doFlip);
        }
        if (e.Contains(doDirectX7Mode)) {
            e.Exclude(doRetainedMode);
        }
        e.Exclude(doHardware);
        return e;
    }
    e = current;
    for (auto o : {doWaitVBlank, doStretch, doCenter}) {
        if (options.Contains(o)) {
            e.Include(o);
        } else {
            e.Exclude(o);
        }
    }
    if (!e.Contains(do3D)) {
        for (auto o : {doRetainedMode, doHardware, doSelectDriver, doZBuffer}) {
            e.Exclude(o);
        }
    }
    return e;
}
