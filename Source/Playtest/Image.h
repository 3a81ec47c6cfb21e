// Frame captures: the finished frame read back from the window's back buffer, written and read
// as PNG, and the comparison of two images with tolerances. Pixels are 8-bit RGB, top row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Play {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width × height × 3
};

// The back buffer of the current GL context's window, of the given size; false without one.
bool ReadBackBuffer(int width, int height, Image& image);
// False with SDL's reason in `error`.
bool SavePng(const Image& image, const std::string& path, std::string& error);
bool LoadPng(const std::string& path, Image& image, std::string& error);

// How far two images are apart. A pixel differs when one of its channels differs by more than
// the tolerance; images of different sizes differ everywhere.
struct Difference {
  bool sameSize = false;
  int largest = 0;         // the largest difference of one channel, 0 to 255
  uint64_t differing = 0;  // pixels that differ
  double share = 0.0;      // differing ÷ pixels, 0 to 1
};
Difference Compare(const Image& a, const Image& b, int tolerance);

}  // namespace Play
