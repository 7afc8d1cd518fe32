// The ranges the Run accepts for the boxes of the panel. Messages, tooltips
// and the sheet quote these values, so a limit is changed here only.
#pragma once

namespace phe {

inline constexpr double kMaxFlow = 1e6;           // m3/h, each side
inline constexpr double kMaxDuty = 1e7;           // kW
inline constexpr double kMaxPressureDrop = 1000;  // kPa, allowed drop of a side
inline constexpr double kMaxMargin = 100;         // %
// Fouling with a liquid hot medium in a design: below this (excluded).
inline constexpr double kFoulingLimit = 0.0002;   // m2.degC/W
inline constexpr double kMaxFoulingSteam = 1;     // m2.degC/W
inline constexpr double kMaxPasses = 10;
inline constexpr double kMaxUnits = 20;         // units in parallel, manual design
inline constexpr double kSteamTMin = 105;         // degC
inline constexpr double kSteamTMax = 160;         // degC

}  // namespace phe
