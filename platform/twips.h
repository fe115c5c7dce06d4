#pragma once
// Window layouts are given in twips (1/1440 inch) and placed at the window's real DPI.

namespace ndek {

constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, half away from zero, like MulDiv.
constexpr int twips_to_pixels(int twips, int dpi) {
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

}  // namespace ndek
