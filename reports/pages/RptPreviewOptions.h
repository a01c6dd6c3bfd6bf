// How a report wants its preview window: size and state, the side panes, the first zoom and the
// title. The report hands them to the printer object's preview through its report link.
#pragma once

#include <string>

enum class TRptZoomState { rpZoomToFit, rpZoomToWidth, rpZoomOther };

enum class TRptPreviewWindowState { wsNormal, wsMinimized, wsMaximized };

struct TRptPreviewOptions {
    bool StayOnTop = false; // the form style fsStayOnTop
    TRptPreviewWindowState WindowState = TRptPreviewWindowState::wsNormal;
    int Width = 500;
    int Height = 500;
    bool ShowThumbs = true;
    bool ShowSearch = true;
    TRptZoomState InitialZoom = TRptZoomState::rpZoomOther;
    int Zoom = 100;
    std::string Title; // Windows-1251
};
