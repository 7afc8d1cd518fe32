// The plate heat exchanger catalogue: 22 models in nine families, five channel
// types each, and the procedures that decode plate-type codes.
//
// Codes are matched whole and without regard to letter case; a code outside
// the catalogue changes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/selection_state.h"

namespace phe {

struct ModelInfo {
  const char* code;    // e.g. "PX65L"
  const char* family;  // e.g. "PX65"
  double port_diameter;  // mm
  double max_area;       // largest pack area, m2
};

// The 22 models in catalogue order.
const std::vector<ModelInfo>& Models();
// nullptr when the code is not a model code.
const ModelInfo* FindModel(std::string_view model_code);

bool EqualsNoCase(std::string_view a, std::string_view b);
// True for the 44 codes model-HM and model-ML.
bool IsMixedPlateType(std::string_view plate_type);

enum class ChannelType { kH, kM, kL, kHM, kML };

struct PlateTypeCode {
  int model = 0;  // index into Models()
  ChannelType channel = ChannelType::kH;
};
// Decodes one of the 110 catalogue codes; nullopt for any other text.
std::optional<PlateTypeCode> ParsePlateType(std::string_view plate_type);
// "H", "M", "L", "HM" or "ML".
const char* ChannelTypeCode(ChannelType channel);
// 0, 1, 2 for H, M, L (the order of each model's single-type rows); -1 for a
// mixed type.
int SingleTypeIndex(ChannelType channel);

// Family picked from the flows (liquid or steam limit on the hot side).
std::string FamilyByFlow(double flow_h, double flow_c, int16_t hot_kind);
// The next larger family, or "" after PX450 and for an unknown family.
std::string NextFamily(std::string_view family);
// Single-type plate types of a family in search order; empty when unknown.
const std::vector<std::string>& FamilySearchOrder(std::string_view family);

// plate_type -> model_code.
void BHXH(SelectionState& s);
// plate_type and channel counts -> arrangement_type, arrangement_dh, arrangement_dz.
void BPLX(SelectionState& s);
// plate_type -> plate geometry and port data.
void Br_Cs(SelectionState& s);
// plate_type and re_in (re_in_1, re_in_2) -> Nusselt constants.
void Br_Nu(SelectionState& s);
// plate_type and re_in (re_in_1, re_in_2) -> Euler constants.
void Br_Eu(SelectionState& s);

struct RangeSet;  // the constants of one channel set, by Reynolds number

// Br_Nu and Br_Eu of one plate type with its correlation sets found once, for
// the sizing loops and the flow split that ask at every step: the same
// constants, and the same constants kept where those keep them.
class TypeCorrelations {
 public:
  explicit TypeCorrelations(std::string_view plate_type);
  void Nu(SelectionState& s) const;
  void Eu(SelectionState& s) const;
  // The constants Nu and Eu would copy at re, without a state; false for a
  // mixed or unknown type and where they would keep the constants they had.
  bool NuAt(double re, double& coef, double& exp) const;
  bool EuAt(double re, double& coef, double& exp) const;
  // Which of the ranges NuAt or EuAt reads at re (they follow re
  // downwards), -1 where it reads none.
  int NuRange(double re) const;
  int EuRange(double re) const;

 private:
  enum class Kind { kNone, kSingle, kMixed } kind_ = Kind::kNone;
  // A single type's set, or a mixed type's two (first kind, second kind).
  const RangeSet* nu_ = nullptr;
  const RangeSet* eu_ = nullptr;
};
// The lowest Reynolds number bound the heat-transfer and pressure-drop
// correlations of a code were given for; below it the last range is
// extrapolated. kind 0 for a single type, 1 or 2 for the first or second
// channel kind of a mixed one; NaN for an unknown code or a wrong kind.
double LowestCorrelatedRe(std::string_view plate_type, int kind = 0);
// True when Br_Nu and Br_Eu give the code's constants for every Reynolds
// number but NaN, i.e. never keep the constants they had.
bool CorrelationsCover(std::string_view plate_type);

// Port formulas shared by every engine (flows m3/h, diameters mm, kPa).
double PortVelocity(double flow, double diameter_mm);
// Distribution term G(N), bounded below by 0 so that a port pressure drop is
// never smaller than its single-pass value.
double PortDistributionTerm(double n, double k1, double k2, double k3, double k4);
// 0.001 * zeta * rho * v^2 * (1 + passes * G(N)).
double PortPressureDrop(double zeta, double rho, double v_port, double passes, double g);

}  // namespace phe
