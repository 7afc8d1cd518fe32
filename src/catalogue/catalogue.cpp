// Model list, plate-type codes, family picking and the arrangement label.
#include "catalogue/catalogue.h"

#include <algorithm>
#include <array>

#include "base/numeric.h"

namespace phe {

namespace {

// code, family, port diameter mm, maximum pack area m2 (series letter is the
// last letter of the code)
const std::vector<ModelInfo> kModels = {
    {"PX32", "PX32", 32, 1.312},
    {"PX50B", "PX50", 50, 24},
    {"PX50M", "PX50", 50, 15.82},
    {"PX65B", "PX65", 65, 40.5},
    {"PX65M", "PX65", 65, 26.8},
    {"PX65L", "PX65", 65, 63.2},
    {"PX100B", "PX100", 100, 66.48},
    {"PX100M", "PX100", 100, 39.38},
    {"PX100L", "PX100", 100, 211.5},
    {"PX150B", "PX150", 150, 290.78},
    {"PX150M", "PX150", 150, 174.22},
    {"PX150S", "PX150", 150, 100},
    {"PX200B", "PX200", 200, 506.2},
    {"PX200M", "PX200", 200, 337.45},
    {"PX200S", "PX200", 200, 198.5},
    {"PX250B", "PX250", 250, 1021.5},
    {"PX250M", "PX250", 250, 676.5},
    {"PX250S", "PX250", 250, 254.3},
    {"PX350B", "PX350", 350, 2058.48},
    {"PX350M", "PX350", 350, 1372.3},
    {"PX350S", "PX350", 350, 556.2},
    {"PX450M", "PX450", 450, 2200},
};

struct FlowLimit {
  const char* family;
  double liquid;  // m3/h, either flow above it takes the row
  double steam;   // m3/h, the steam flow above it takes the row
};

// Tested from the top; nothing exceeded means PX32.
constexpr FlowLimit kFlowLimits[] = {
    {"PX450", 1558, 34600},
    {"PX350", 795, 17667},
    {"PX250", 509, 11317},
    {"PX200", 286, 6370},
    {"PX150", 127, 2830},
    {"PX100", 54, 1180},
    {"PX65", 32, 700},
    {"PX50", 13, 240},
};

constexpr const char* kFamilies[] = {"PX32",  "PX50",  "PX65",  "PX100", "PX150",
                                     "PX200", "PX250", "PX350", "PX450"};

struct SearchOrder {
  const char* family;
  std::vector<std::string> plate_types;
};

// PX200 and PX350 try the M model before the B model.
const std::vector<SearchOrder> kSearchOrders = {
    {"PX32", {"PX32-H", "PX32-M", "PX32-L"}},
    {"PX50", {"PX50B-H", "PX50B-M", "PX50B-L", "PX50M-H", "PX50M-M", "PX50M-L"}},
    {"PX65", {"PX65B-H", "PX65B-M", "PX65B-L", "PX65M-H", "PX65M-M", "PX65M-L", "PX65L-H", "PX65L-M", "PX65L-L"}},
    {"PX100", {"PX100B-H", "PX100B-M", "PX100B-L", "PX100M-H", "PX100M-M", "PX100M-L", "PX100L-H", "PX100L-M", "PX100L-L"}},
    {"PX150", {"PX150B-H", "PX150B-M", "PX150B-L", "PX150M-H", "PX150M-M", "PX150M-L", "PX150S-H", "PX150S-M", "PX150S-L"}},
    {"PX200", {"PX200M-H", "PX200M-M", "PX200M-L", "PX200B-H", "PX200B-M", "PX200B-L", "PX200S-H", "PX200S-M", "PX200S-L"}},
    {"PX250", {"PX250B-H", "PX250B-M", "PX250B-L", "PX250M-H", "PX250M-M", "PX250M-L", "PX250S-H", "PX250S-M", "PX250S-L"}},
    {"PX350", {"PX350M-H", "PX350M-M", "PX350M-L", "PX350B-H", "PX350B-M", "PX350B-L", "PX350S-H", "PX350S-M", "PX350S-L"}},
    {"PX450", {"PX450M-H", "PX450M-M", "PX450M-L"}},
};

constexpr std::array<std::pair<const char*, ChannelType>, 5> kChannelCodes = {{
    {"H", ChannelType::kH},
    {"M", ChannelType::kM},
    {"L", ChannelType::kL},
    {"HM", ChannelType::kHM},
    {"ML", ChannelType::kML},
}};

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

void SetArrangement(SelectionState& s, const std::string& label, const char* type) {
  s.arrangement_dh = label;
  s.arrangement_dz = label;
  s.arrangement_type = type;
}

}  // namespace

const std::vector<ModelInfo>& Models() { return kModels; }

const ModelInfo* FindModel(std::string_view model_code) {
  for (const ModelInfo& m : kModels) {
    if (EqualsNoCase(m.code, model_code)) return &m;
  }
  return nullptr;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

namespace {

std::optional<PlateTypeCode> Parse(std::string_view plate_type) {
  // Model codes hold no hyphen, so the first hyphen splits every catalogue code.
  const size_t dash = plate_type.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const std::string_view model = plate_type.substr(0, dash);
  const std::string_view channel = plate_type.substr(dash + 1);
  for (size_t i = 0; i < kModels.size(); ++i) {
    if (!EqualsNoCase(kModels[i].code, model)) continue;
    for (const auto& [code, type] : kChannelCodes) {
      if (EqualsNoCase(code, channel)) return PlateTypeCode{static_cast<int>(i), type};
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PlateTypeCode> ParsePlateType(std::string_view plate_type) {
  // The sizing loops decode the code of the candidate at every step: the last
  // answer of each thread is kept.
  thread_local std::string last_text;
  thread_local std::optional<PlateTypeCode> last_code;
  thread_local bool known = false;
  if (known && plate_type == last_text) return last_code;
  last_code = Parse(plate_type);
  last_text = plate_type;
  known = true;
  return last_code;
}

const char* ChannelTypeCode(ChannelType channel) {
  for (const auto& [code, type] : kChannelCodes) {
    if (type == channel) return code;
  }
  return "";
}

int SingleTypeIndex(ChannelType channel) {
  switch (channel) {
    case ChannelType::kH: return 0;
    case ChannelType::kM: return 1;
    case ChannelType::kL: return 2;
    default: return -1;
  }
}

bool IsMixedPlateType(std::string_view plate_type) {
  const auto code = ParsePlateType(plate_type);
  return code && (code->channel == ChannelType::kHM || code->channel == ChannelType::kML);
}

std::string FamilyByFlow(double flow_h, double flow_c, int16_t hot_kind) {
  const bool steam = hot_kind == 2;
  for (const FlowLimit& row : kFlowLimits) {
    const double hot_limit = steam ? row.steam : row.liquid;
    if (flow_h > hot_limit || flow_c > row.liquid) return row.family;
  }
  return "PX32";
}

std::string NextFamily(std::string_view family) {
  constexpr size_t n = std::size(kFamilies);
  for (size_t i = 0; i + 1 < n; ++i) {
    if (EqualsNoCase(kFamilies[i], family)) return kFamilies[i + 1];
  }
  return "";
}

const std::vector<std::string>& FamilySearchOrder(std::string_view family) {
  static const std::vector<std::string> kNone;
  for (const SearchOrder& order : kSearchOrders) {
    if (EqualsNoCase(order.family, family)) return order.plate_types;
  }
  return kNone;
}

void BHXH(SelectionState& s) {
  if (const auto code = ParsePlateType(s.plate_type)) s.model_code = kModels[code->model].code;
}

void BPLX(SelectionState& s) {
  const auto code = ParsePlateType(s.plate_type);
  if (!code) return;
  switch (code->channel) {
    case ChannelType::kH:
    case ChannelType::kM:
    case ChannelType::kL: {
      const char* letter = ChannelTypeCode(code->channel);
      SetArrangement(s, FormatGeneral(s.channels) + letter, letter);
      return;
    }
    case ChannelType::kHM:
    case ChannelType::kML: {
      const double first = s.channels_hm;
      const double second = s.channels_ml;
      // A negative count is no arrangement at all; keep the last label.
      if (first < 0 || second < 0) return;
      const bool hm = code->channel == ChannelType::kHM;
      const char* first_letter = hm ? "H" : "M";
      const char* second_letter = hm ? "M" : "L";
      // Three independent tests: with both counts 0 the second one wins.
      if (first == 0) SetArrangement(s, FormatGeneral(second) + second_letter, second_letter);
      if (second == 0) SetArrangement(s, FormatGeneral(first) + first_letter, first_letter);
      if (first > 0 && second > 0) {
        SetArrangement(s, FormatGeneral(first) + first_letter + "+" + FormatGeneral(second) + second_letter,
                       hm ? "HM" : "ML");
      }
      return;
    }
  }
}

double PortVelocity(double flow, double diameter_mm) {
  return flow * 10000 / (diameter_mm * diameter_mm * 28.2743334);
}

double PortDistributionTerm(double n, double k1, double k2, double k3, double k4) {
  const double g = n < 25 ? k1 * (n - 1) : k2 + k3 * n + k4 * n * n;
  return std::max(g, 0.0);
}

double PortPressureDrop(double zeta, double rho, double v_port, double passes, double g) {
  return 0.001 * zeta * rho * v_port * v_port * (1 + passes * g);
}

}  // namespace phe
