#pragma once

// The main window's texts as a start shows them, and the tooltip texts of the skin's
// buttons: index = fixed button 0..6, or extra command code + 6.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kDisplayTexts = 6;
inline constexpr int kTooltipTexts = 59;

// Title "Kalvor", two empty texts, the time, the range text and the repeat text.
std::array<std::string, kDisplayTexts> InitialDisplayTexts(int32_t repeatMode);
std::vector<std::string> TooltipTexts();
