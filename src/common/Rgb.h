// Rgb.h - colours as (red, green, blue), and the named colours of the windows.
#pragma once

#include <cstdint>

namespace merivac {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend constexpr bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
};

// A 24-bit colour value in blue-green-red order (0x0000FF is red).
constexpr Rgb FromBgr(uint32_t bgr) {
  return Rgb{static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
             static_cast<uint8_t>((bgr >> 16) & 0xFF)};
}

namespace colors {
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kMoneyGreen{192, 220, 192};
constexpr Rgb kCycleIdle{241, 239, 141};
constexpr Rgb kCycleRx{97, 171, 0};
constexpr Rgb kCycleTx{255, 66, 66};
constexpr Rgb kCycleTuning{237, 184, 11};
// Stand-ins for the system colours the windows name.
constexpr Rgb kScrollBar{200, 200, 200};
constexpr Rgb kGradientActiveCaption{185, 209, 234};
constexpr Rgb kInfoBackground{255, 255, 225};
// A typed value not yet committed (0xC0DCC0 in blue-green-red order).
constexpr Rgb kPendingEdit = FromBgr(0xC0DCC0);
}  // namespace colors

}  // namespace merivac
