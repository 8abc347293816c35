// The demo screen saver's picture, independent of how it is drawn: a night sky with stars
// and rippling curtains of light, as plain rectangles of one colour each.
#pragma once

#include "demo/settings.hpp"

namespace aurora {

struct Rgb {
  unsigned char red, green, blue;
};

struct Strip {
  int left, top, right, bottom;
  Rgb colour;
};

using StripSink = void (*)(const Strip& strip, void* context);

constexpr int kColumnWidth = 4;  // pixels per column of a curtain
constexpr int kShades = 6;       // bands per column, brightest at the curtain's lower edge
constexpr Rgb kSky = {4, 6, 24};

// A fully saturated colour of the given hue (degrees, any integer) and brightness (0-255).
Rgb hue_colour(int degrees, int brightness);

// Sends every strip of the curtains at frame `tick` on a width x height canvas, back to
// front; all strips lie inside the canvas.
void draw_curtains(const AuroraSettings& settings, int width, int height, unsigned tick,
                   StripSink sink, void* context);

// Where star `index` shines on a width x height canvas; the same for every frame.
void star_position(int index, int width, int height, int& x, int& y);

}  // namespace aurora
