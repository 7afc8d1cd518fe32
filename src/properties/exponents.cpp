// Correction exponents of the Prandtl number and of the viscosity ratio.
#include "properties/exponents.h"

#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"

namespace phe {

namespace {

// Row "<= bound: value"; rows ascend, each open below and closed above.
struct Step {
  double bound;
  double value;
};

struct StepTable {
  std::vector<Step> rows;
  std::optional<double> above;  // value above the last bound, if any row covers it
};

// nullopt where no row covers x (then the caller keeps what it had).
std::optional<double> Lookup(const StepTable& table, double x) {
  if (std::isnan(x)) return std::nullopt;
  for (const Step& row : table.rows) {
    if (x <= row.bound) return row.value;
  }
  if (!table.rows.empty() && x > table.rows.back().bound) return table.above;
  return std::nullopt;
}

void Assign(const StepTable& table, double x, double& out) {
  if (const auto value = Lookup(table, x)) out = *value;
}

// ---- Prandtl exponent by mean temperature, C ----
const StepTable kPrandtlByTemperature = {
    {
        {5, 0.36},
        {9, 0.359},
        {12, 0.358},
        {15, 0.357},
        {20, 0.356},
        {22, 0.355},
        {24, 0.354},
        {25, 0.353},
        {27, 0.352},
        {29, 0.351},
        {30, 0.35},
        {32, 0.349},
        {33, 0.348},
        {34, 0.347},
        {36, 0.346},
        {37, 0.345},
        {38, 0.344},
        {39, 0.343},
        {40, 0.342},
        {41, 0.341},
        {42, 0.34},
        {44, 0.339},
        {45, 0.338},
        {46, 0.337},
        {47, 0.336},
        {48, 0.334},
        {49, 0.333},
        {50, 0.332},
        {51, 0.331},
        {52, 0.33},
        {53, 0.329},
        {54, 0.328},
        {55, 0.326},
        {56, 0.325},
        {57, 0.324},
        {58, 0.322},
        {59, 0.32},
        {60, 0.319},
        {61, 0.318},
        {62, 0.316},
        {63, 0.315},
        {64, 0.314},
        {65, 0.312},
        {66, 0.311},
        {67, 0.309},
        {68, 0.307},
        {69, 0.305},
        {70, 0.303},
        {71, 0.301},
        {72, 0.299},
        {73, 0.297},
        {74, 0.295},
        {75, 0.293},
        {76, 0.291},
        {77, 0.289},
        {78, 0.287},
        {79, 0.285},
        {80, 0.283},
        {81, 0.281},
        {82, 0.279},
        {83, 0.276},
        {84, 0.273},
        {85, 0.27},
        {86, 0.268},
        {87, 0.265},
        {88, 0.262},
        {89, 0.259},
        {90, 0.256},
        {91, 0.253},
        {92, 0.25},
        {93, 0.247},
        {94, 0.243},
        {95, 0.239},
        {96, 0.236},
        {97, 0.233},
        {98, 0.229},
        {99, 0.225},
        {100, 0.221},
        {101, 0.217},
        {102, 0.213},
        {103, 0.208},
        {104, 0.203},
        {105, 0.199},
    },
    0.19,
};

// ---- viscosity-ratio exponent of the Nusselt number, by viscosity in mPa.s ----
const StepTable kVnmGeneral = {{{3, 0}, {5, 0.04}, {7, 0.06}, {10, 0.1}, {25, 0.17}}, 0.14};

enum class Side { kBoth, kHot, kCold };

struct VnmBlock {
  std::vector<std::string_view> models;
  Side side;
  StepTable table;
};

// A block replaces the general value only where its own rows reach: PX50M and
// PX65M stop at 30 and keep the general 0.14 above.
const std::vector<VnmBlock> kVnmBlocks = {
    {{"PX32"}, Side::kBoth, {{{3, 0}, {5, 0.12}, {7, 0.13}, {9, 0.14}, {12, 0.15}, {15, 0.16}, {25, 0.17}, {30, 0.18}}, 0.2}},
    {{"PX50B", "PX65B", "PX65L"}, Side::kBoth, {{{3, 0}, {5, 0.12}, {7, 0.13}, {12, 0.14}, {15, 0.15}, {18, 0.16}, {21, 0.17}, {30, 0.18}, {35, 0.19}, {40, 0.2}, {50, 0.22}, {60, 0.23}, {100, 0.24}}, 0.25}},
    {{"PX50M", "PX65M"}, Side::kBoth, {{{3, 0}, {5, 0.06}, {7, 0.08}, {9, 0.1}, {12, 0.11}, {15, 0.14}, {18, 0.15}, {21, 0.16}, {25, 0.17}, {30, 0.18}}, std::nullopt}},
    {{"PX100B"}, Side::kBoth, {{{3, 0}, {5, 0.03}, {7, 0.04}, {9, 0.05}, {12, 0.06}, {15, 0.17}, {18, 0.165}, {21, 0.16}, {45, 0.14}}, 0.13}},
    {{"PX100M"}, Side::kBoth, {{{3, 0}, {5, 0.12}, {9, 0.13}, {15, 0.14}, {18, 0.16}, {25, 0.17}, {30, 0.16}, {35, 0.155}, {40, 0.15}, {65, 0.14}, {80, 0.135}}, 0.13}},
    {{"PX150B"}, Side::kBoth, {{{3, 0}, {5, 0.02}, {7, 0.03}, {9, 0.06}, {12, 0.17}, {15, 0.175}, {18, 0.18}, {21, 0.19}, {25, 0.15}, {60, 0.14}, {85, 0.135}}, 0.13}},
    {{"PX150M", "PX150S"}, Side::kBoth, {{{3, 0}, {5, 0.03}, {7, 0.05}, {9, 0.06}, {12, 0.07}, {15, 0.08}, {18, 0.12}, {30, 0.16}, {45, 0.18}, {90, 0.14}}, 0.13}},
    {{"PX200M"}, Side::kBoth, {{{3, 0}, {5, 0.06}, {7, 0.08}, {9, 0.09}, {12, 0.1}, {15, 0.11}, {20, 0.13}, {25, 0.125}, {35, 0.145}, {50, 0.13}, {60, 0.14}}, 0.178}},
    {{"PX250M", "PX250S"}, Side::kHot, {{{3, 0}, {20, 0.04}, {25, 0.1}, {30, 0.15}}, 0.16}},
    {{"PX250M", "PX250S"}, Side::kCold, {{{3, 0}, {20, 0.04}, {25, 0.1}, {35, 0.16}, {70, 0.17}}, 0.175}},
    {{"PX350M", "PX350S"}, Side::kBoth, {{{3, 0}, {10, 0.04}, {25, 0.17}, {35, 0.18}}, 0.13}},
};

void VnmSide(const std::string& model_code, Side side, double visc, double& out) {
  Assign(kVnmGeneral, visc, out);
  for (const VnmBlock& block : kVnmBlocks) {
    if (block.side != Side::kBoth && block.side != side) continue;
    for (std::string_view model : block.models) {
      if (EqualsNoCase(model, model_code)) Assign(block.table, visc, out);
    }
  }
}

// ---- viscosity-ratio exponent of the pressure drop, by viscosity in mPa.s ----
// The step above 200 also covers 200..220, which the catalogue leaves open.
const StepTable kVem = {
    {
        {3, 0},
        {4, -0.05},
        {5, -0.06},
        {6, -0.07},
        {7, -0.08},
        {8, -0.09},
        {9, -0.1},
        {10, -0.11},
        {11, -0.12},
        {12, -0.13},
        {13, -0.14},
        {14, -0.15},
        {15, -0.16},
        {16, -0.17},
        {17, -0.18},
        {18, -0.19},
        {19, -0.2},
        {20, -0.21},
        {21, -0.22},
        {22, -0.23},
        {23, -0.24},
        {24, -0.25},
        {25, -0.26},
        {26, -0.27},
        {27, -0.28},
        {28, -0.29},
        {30, -0.30},
        {35, -0.31},
        {40, -0.32},
        {45, -0.33},
        {50, -0.34},
        {60, -0.35},
        {70, -0.36},
        {80, -0.37},
        {90, -0.38},
        {100, -0.39},
        {120, -0.40},
        {140, -0.41},
        {160, -0.42},
        {180, -0.43},
        {200, -0.44},
    },
    -0.45,
};

void PrmSide(double t_mean, double visc, double& out) {
  Assign(kPrandtlByTemperature, t_mean, out);
  // Viscous media take a fixed exponent whatever the temperature.
  if (visc > 3 && visc <= 8) out = 0.347;
  if (visc > 8) out = 0.332;
}

}  // namespace

void PRM(SelectionState& s) {
  PrmSide(s.t_h_mean, s.visc_h, s.pr_exp_h);
  PrmSide(s.t_c_mean, s.visc_c, s.pr_exp_c);
}

void VNM(SelectionState& s) {
  BHXH(s);
  VnmSide(s.model_code, Side::kHot, s.visc_h, s.visc_exp_h);
  VnmSide(s.model_code, Side::kCold, s.visc_c, s.visc_exp_c);
}

void VEM(SelectionState& s) {
  Assign(kVem, s.visc_h, s.visc_exp_dp_h);
  Assign(kVem, s.visc_c, s.visc_exp_dp_c);
}

}  // namespace phe
