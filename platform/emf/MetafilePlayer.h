// Plays a metafile onto any canvas, stretched over a rectangle: the picture's frame is mapped
// onto the rectangle, so the preview, its thumbnails and the printer draw the same page at their
// own sizes. Besides the records our own recorder writes, it follows what pages made by other
// programs use: mapping modes, window and viewport origins and extents, world transforms (scale
// and offset), saved device contexts, the poly-shape variants, ANSI text, blits and clipping
// regions. Records it does not know are skipped. The metafile was checked when it was made, so
// playing never reads outside it.
#pragma once

#include "platform/emf/Metafile.h"
#include "platform/gfx/Canvas.h"

namespace platform::emf {

// Draws the metafile so that its frame fills `dest`. The canvas's pen, brush, font, text
// alignment and clip setting are given back as they were.
void playMetafile(const Metafile& metafile, gfx::TCanvas& canvas, const gfx::TRect& dest);

} // namespace platform::emf
