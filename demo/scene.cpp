#include "demo/scene.hpp"

#include <cmath>

namespace aurora {

namespace {

constexpr double kTau = 6.283185307179586;

int clamp(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

struct Curtain {
  double baseline;  // lower edge's mean height, as a fraction of the canvas height
  double phase;
};

Curtain curtain(int index, int count) {
  return Curtain{0.30 + 0.30 * (index + 1) / (count + 1), 1.7 * index};
}

// The lower edge and the length of a curtain at column x (fraction of the width) and time t.
void column_shape(const Curtain& c, double x, double t, int height, int& lower, int& length) {
  const double wave = 0.06 * std::sin(kTau * (1.3 * x) + t + c.phase) +
                      0.03 * std::sin(kTau * (3.1 * x) - 1.7 * t + 2.0 * c.phase);
  lower = static_cast<int>((c.baseline + wave) * height);
  length = static_cast<int>((0.22 + 0.10 * std::sin(kTau * 2.3 * x + 0.6 * t + c.phase)) * height);
}

// How brightly a column glows, 0.2 to 1.
double glow(const Curtain& c, double x, double t) {
  return 0.6 + 0.4 * std::sin(kTau * 4.7 * x - 1.1 * t + 3.0 * c.phase);
}

void draw_column(const Curtain& c, int left, int width, int height, double t, int hue,
                 StripSink sink, void* context) {
  const double x = static_cast<double>(left) / width;
  int lower = 0;
  int length = 0;
  column_shape(c, x, t, height, lower, length);
  const double brightness = 255.0 * glow(c, x, t);
  const int right = left + kColumnWidth < width ? left + kColumnWidth : width;
  // From the faint top down to the bright lower edge, so later strips are the brighter ones.
  for (int shade = kShades - 1; shade >= 0; --shade) {
    const int bottom = clamp(lower - shade * length / kShades, 0, height);
    const int top = clamp(lower - (shade + 1) * length / kShades, 0, height);
    const int level = static_cast<int>(brightness * (kShades - shade) / kShades);
    sink(Strip{left, top, right, bottom, hue_colour(hue + 120 + 25 * shade, level)}, context);
  }
}

}  // namespace

Rgb hue_colour(int degrees, int brightness) {
  const int hue = ((degrees % 360) + 360) % 360;
  const int level = clamp(brightness, 0, 255);
  const int rising = level * (hue % 60) / 60;
  const int falling = level - rising;
  const auto rgb = [](int r, int g, int b) {
    return Rgb{static_cast<unsigned char>(r), static_cast<unsigned char>(g),
               static_cast<unsigned char>(b)};
  };
  switch (hue / 60) {
    case 0:
      return rgb(level, rising, 0);
    case 1:
      return rgb(falling, level, 0);
    case 2:
      return rgb(0, level, rising);
    case 3:
      return rgb(0, falling, level);
    case 4:
      return rgb(rising, 0, level);
    default:
      return rgb(level, 0, falling);
  }
}

void draw_curtains(const AuroraSettings& settings, int width, int height, unsigned tick,
                   StripSink sink, void* context) {
  if (width <= 0 || height <= 0) return;
  const double t = tick * 0.02 * settings.speed;
  for (int index = 0; index < settings.curtains; ++index) {
    const Curtain c = curtain(index, settings.curtains);
    for (int left = 0; left < width; left += kColumnWidth) {
      draw_column(c, left, width, height, t, settings.hue, sink, context);
    }
  }
}

void star_position(int index, int width, int height, int& x, int& y) {
  unsigned state = 2166136261u ^ static_cast<unsigned>(index);
  state = state * 16777619u + 12345u;
  state ^= state >> 13;
  state *= 2654435761u;
  x = width > 0 ? static_cast<int>(state % static_cast<unsigned>(width)) : 0;
  state ^= state >> 16;
  state *= 2246822519u;
  y = height > 0 ? static_cast<int>((state >> 8) % static_cast<unsigned>(height)) : 0;
}

}  // namespace aurora
