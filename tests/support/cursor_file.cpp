#include "support/cursor_file.h"

#include <cstdint>

namespace larkspur::testing {

namespace {

void Put16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

std::string CursorFileBytes() {
  constexpr int kSide = 32;
  constexpr std::uint32_t kRowBytes = kSide / 8;
  constexpr std::uint32_t kMaskBytes = kRowBytes * kSide;
  constexpr std::uint32_t kImageBytes = 40 + 8 + 2 * kMaskBytes;  // header, palette, XOR, AND

  std::string file;
  Put16(file, 0);  // the directory: reserved, type 2 (cursor), one image
  Put16(file, 2);
  Put16(file, 1);
  file += static_cast<char>(kSide);  // the entry: size, colours, reserved, hot spot, bytes, where
  file += static_cast<char>(kSide);
  file += '\0';
  file += '\0';
  Put16(file, 1);
  Put16(file, 1);
  Put32(file, kImageBytes);
  Put32(file, 22);

  Put32(file, 40);  // BITMAPINFOHEADER: the height counts the XOR and the AND mask
  Put32(file, kSide);
  Put32(file, 2 * kSide);
  Put16(file, 1);
  Put16(file, 1);
  Put32(file, 0);
  Put32(file, 2 * kMaskBytes);
  Put32(file, 0);
  Put32(file, 0);
  Put32(file, 2);
  Put32(file, 0);
  Put32(file, 0x00000000);  // palette: black, white
  Put32(file, 0x00FFFFFF);

  // Rows go bottom up. A black wedge from the top-left corner, widening downwards.
  std::string xor_mask(kMaskBytes, '\0');
  std::string and_mask(kMaskBytes, '\xFF');
  for (int y = 0; y < 20; ++y) {
    const int row = kSide - 1 - y;
    for (int x = 0; x <= y / 2 + 1; ++x)
      and_mask[row * kRowBytes + x / 8] &= static_cast<char>(~(0x80 >> (x % 8)));
  }
  return file + xor_mask + and_mask;
}

}  // namespace larkspur::testing
