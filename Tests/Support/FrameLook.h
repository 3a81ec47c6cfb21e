// What can be measured of a frame the renderer drew: the checkable properties of the game's look
// (mean luminance, the share of pure black or white pixels, how many hues, one colour or not),
// the contrast of text against the pixels round its strokes, and the frame saved as a PNG to
// look at. Pixels are read from the back buffer of the window's framebuffer.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace Testing {

struct Frame {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // bottom row first, as GL reads them

  // The back buffer as it stands.
  static Frame Read(int width, int height);
  // WCAG relative luminance of a pixel, x from the left and y from the top.
  double Luminance(int x, int y) const;
  // The box (window pixels from the top-left, inclusive) magnified `zoom` times.
  Frame Crop(int left, int top, int right, int bottom, int zoom) const;
  // Writes the frame as a PNG, top row first; false when it cannot be written.
  bool SavePng(const std::string& path) const;
};

struct Look {
  double luminance = 0.0;  // mean of 0.2126 r + 0.7152 g + 0.0722 b, channels in 0..1
  double extremes = 0.0;   // share of pure black or pure white pixels
  int hues = 0;            // hue sectors of 30 degrees holding at least 5 % of the pixels
  bool oneColour = true;
};
std::ostream& operator<<(std::ostream& out, const Look& look);

Look Measure(const Frame& frame);

// The contrast ratio of text drawn in a box (window pixels from the top-left) against what lies
// round it: the brightest pixels of the box (at least 80 % of its brightest) are the strokes, the
// other pixels within two of a stroke are their surroundings; (L1 + 0.05) / (L2 + 0.05) of the
// strokes' mean relative luminance and the surroundings' median one (the fringe where a stroke's
// edge is smoothed into them is a minority). 0 when the box holds no stroke.
double TextContrast(const Frame& frame, int left, int top, int right, int bottom);

}  // namespace Testing
