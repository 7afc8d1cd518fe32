// The window's controls: names, list items and the keyboard focus order.
// Shared by the Qt window and the headless form so both show the same panel.
#pragma once

#include <string>
#include <vector>

namespace phe::layout {

inline constexpr const char* kWindowTitle = "Vandor板式换热器选型计算软件  Version16G";

// Text boxes the user types into, and the read-only result boxes.
inline const std::vector<std::string> kInputTextBoxes = {
    "Txt_Th1", "Txt_Th2", "Txt_Tc1", "Txt_Tc2", "Txt_Qh",  "Txt_Qc", "Txt_Ph",
    "Txt_Pc",  "Txt_Wq",  "Txt_N",   "Txt_GF1", "Txt_Rhc", "Txt_nh", "Txt_nl", "Txt_NUM1"};
inline const std::vector<std::string> kResultTextBoxes = {
    "Txt_D2", "Txt_D1", "Txt_Wlh", "Txt_Wlc", "Txt_Ph2", "Txt_Pc2", "Txt_Ph1", "Txt_Pc1",
    "Txt_GF", "Txt_RHC1", "Txt_K", "Txt_TM", "Txt_F", "Txt_Y", "Txt_W", "Txt_H",
    // The whole answer: designation, arrangement labels, parallel units and
    // the clean coefficient.
    "Txt_Br", "Txt_Dh", "Txt_Dz", "Txt_NUM", "Txt_K0"};

struct ListLayout {
  std::string name;
  std::vector<std::string> items;
};

inline const std::vector<std::string> kOils = {
    "Oil ISO VG10",  "Oil ISO VG22",  "Oil ISO VG32", "Oil ISO VG46", "Oil ISO VG68",
    "Oil ISO VG100", "Oil ISO VG150", "Oil ISO VG220", "Oil ISO VG320", "Oil ISO VG460",
    "Oil SAE10",     "Oil SAE20",     "Oil SAE30",    "Oil SAE40",    "Oil SAE50",
    "Oil SAE60",     "Oil SAE70"};

// After the oils, so that the older positions keep their meaning.
inline const std::vector<std::string> kGlycols = {
    "Ethylene glycol 10%",  "Ethylene glycol 15%",  "Ethylene glycol 20%",
    "Ethylene glycol 25%",  "Ethylene glycol 30%",  "Ethylene glycol 35%",
    "Ethylene glycol 40%",  "Ethylene glycol 45%",  "Ethylene glycol 50%",
    "Ethylene glycol 55%",  "Ethylene glycol 60%",  "Propylene glycol 10%",
    "Propylene glycol 15%", "Propylene glycol 20%", "Propylene glycol 25%",
    "Propylene glycol 30%", "Propylene glycol 35%", "Propylene glycol 40%",
    "Propylene glycol 45%", "Propylene glycol 50%", "Propylene glycol 55%",
    "Propylene glycol 60%"};

inline std::vector<std::string> WithOilsAndGlycols(std::vector<std::string> first) {
  first.insert(first.end(), kOils.begin(), kOils.end());
  first.insert(first.end(), kGlycols.begin(), kGlycols.end());
  return first;
}

inline const std::vector<ListLayout> kLists = {
    {"Com_jh", WithOilsAndGlycols({"Water", "Steam"})},
    {"Com_jc", WithOilsAndGlycols({"Water", "25% Glycol"})},
    {"Com_uh", {"m3/h", "t/h", "kg/s"}},
    {"Com_uc", {"m3/h", "t/h", "kg/s"}},
    {"Com_pg", {"1.0MPa", "1.6MPa"}},
    {"Com_bpc", {"SUS304", "SUS316"}},
    {"Com_bph", {"0.5mm", "0.6mm", "0.7mm"}},
    {"Com_dpc", {"NBR", "EPDM"}},
    {"Com_jgl", {"Unlined", "NBR", "EPDM", "SS"}},
    {"com_br", {"PX32",   "PX50B",  "PX50M",  "PX65B",  "PX65M",  "PX65L",  "PX100B", "PX100M",
                "PX100L", "PX150B", "PX150M", "PX150S", "PX200B", "PX200M", "PX200S", "PX250B",
                "PX250M", "PX250S", "PX350B", "PX350M", "PX350S", "PX450M"}},
    {"com_zh", {"H", "HM", "M", "ML", "L"}},
};

// Option buttons of the array opt_br, by index: 2 automatic, 3 manual
// selection; 4 design, 5 check calculation, 6 simulation.
inline std::string OptionName(int index) { return "opt_br(" + std::to_string(index) + ")"; }

// Keyboard focus order among the input controls.
inline const std::vector<std::string> kFocusOrder = {
    "Com_jc",    "Com_jh",    "Txt_Th1",   "Txt_Tc1",   "Txt_Th2",   "Txt_Tc2", "Txt_Qc",
    "Txt_Qh",    "Com_uc",    "Com_uh",    "Txt_Pc",    "Txt_Ph",    "Com_pg",  "Com_bpc",
    "Com_bph",   "Com_dpc",   "Com_jgl",   "Txt_Wq",    "Txt_GF1",   "Txt_Rhc", "Txt_N",
    "opt_br(2)", "opt_br(3)", "opt_br(4)", "opt_br(5)", "opt_br(6)", "com_br",  "com_zh",
    "Txt_nh",    "Txt_nl",    "Txt_NUM1"};

// Controls that case files and batch columns name by a word of their own.
struct CaseKey {
  const char* control;
  const char* key;
};
inline constexpr CaseKey kCaseKeys[] = {{"Com_uh", "flow_unit_h"}, {"Com_uc", "flow_unit_c"}};

inline std::string KeyOfControl(const std::string& control) {
  for (const auto& k : kCaseKeys)
    if (control == k.control) return k.key;
  return control;
}
// The control a case-file key names; "" for the own name of a control that
// has a word of its own, so that each control has one spelling in files.
inline std::string ControlOfKey(const std::string& key) {
  for (const auto& k : kCaseKeys) {
    if (key == k.key) return k.control;
    if (key == k.control) return "";
  }
  return key;
}

// Starting texts of the text boxes (all others start empty).
struct StartText {
  std::string name;
  std::string text;
};
inline const std::vector<StartText> kStartTexts = {{"Txt_Ph", "50"}, {"Txt_Pc", "50"}, {"Txt_N", "1"}, {"Txt_NUM1", "1"}};

}  // namespace phe::layout
