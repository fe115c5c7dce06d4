#pragma once
// Window layouts are given in twips (1/1440 inch) and placed at the window's real DPI.

namespace ndek {

// Dots per inch of a window or a monitor: what sizes in twips and points are converted with.
using Dpi = int;
constexpr Dpi kDefaultDpi = 96;

constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, half away from zero, like MulDiv.
constexpr int twips_to_pixels(int twips, Dpi dpi) {
  const long long product = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kTwipsPerInch
                                       : -((-product + half) / kTwipsPerInch));
}

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct TwipsSize {
  int width;
  int height;
};

}  // namespace ndek
