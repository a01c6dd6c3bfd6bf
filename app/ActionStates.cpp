#include "app/ActionStates.h"

namespace app {

namespace {

TNavigationStates navigation(const TListPosition& list) {
    return {list.canGoBack(), list.canGoBack(), list.canGoForward(), list.canGoForward()};
}

TRecordGroupStates recordGroup(bool receive, const TListPosition& list) {
    return {receive, list.any(), list.canErase(), navigation(list)};
}

} // namespace

TActionStates ComputeActionStates(const TActionStateInputs& in) {
    const bool c = in.connected;
    const bool ck = c && in.fullKind;
    TActionStates s;
    s.flashTabVisible = ck;
    s.disconnect = c;
    s.receiveConfigs = c;
    s.sendConfigs = c && in.configs.any();
    s.configs = in.configs.any();
    s.configCommentsReadOnly = !in.configs.any();
    s.configNav = navigation(in.configs);
    s.ascans = recordGroup(c, in.ascans);
    s.bands = recordGroup(ck, in.bands);
    s.maps = recordGroup(ck, in.maps);
    s.applyMarkup = c && in.markupModified;
    const bool clearable = c && !in.markupModified;
    s.clearAScans = clearable && in.markupAScans > 0;
    s.clearBands = clearable && in.markupBands > 0;
    s.clearMaps = clearable && in.markupMaps > 0;
    return s;
}

} // namespace app
