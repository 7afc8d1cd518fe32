// Seeded operating cases in case-file form, for the sweeps: every medium
// kind, the three ways of giving the balance, both selections, design, check
// and simulation, and texts as other programs write them ("5e-05").
#pragma once

#include <cmath>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "base/numeric.h"

namespace phe::testing {

inline nlohmann::json GeneratedCase(std::mt19937& rng) {
  auto uni = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
  auto pick = [&](const std::vector<std::string>& v) {
    return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)];
  };
  auto number = [](double x) { return phe::FormatGeneral(x); };
  const std::vector<std::string> hot = {"Water", "Steam", "Oil ISO VG32", "Oil ISO VG220", "Oil SAE30",
                                        "Ethylene glycol 30%"};
  const std::vector<std::string> cold = {"Water", "25% Glycol", "Oil ISO VG46", "Oil SAE10",
                                         "Propylene glycol 40%"};
  const std::vector<std::string> models = {"PX32", "PX50B", "PX65M", "PX100L", "PX150S",
                                           "PX200M", "PX250B", "PX350S", "PX450M"};
  const std::vector<std::string> kinds = {"H", "HM", "M", "ML", "L"};
  nlohmann::json c;
  c["Com_jh"] = pick(hot);
  c["Com_jc"] = pick(cold);
  const double th1 = std::round(uni(60, 150));
  c["Txt_Th1"] = number(th1);
  c["Txt_Th2"] = number(std::round(uni(20, th1)));
  c["Txt_Tc1"] = number(std::round(uni(5, 40)));
  c["Txt_Tc2"] = number(std::round(uni(20, th1)));
  // Three ways of giving the balance: duty and four temperatures; a hot flow
  // and four temperatures; both flows and three temperatures.
  c["Txt_Wq"] = "";
  c["Txt_Qh"] = "";
  c["Txt_Qc"] = "";
  switch (std::uniform_int_distribution<int>(0, 2)(rng)) {
    case 0:
      c["Txt_Wq"] = number(std::round(uni(5, 3000)));
      break;
    case 1:
      c["Txt_Qh"] = number(std::round(uni(1, 300)));
      break;
    default:
      c["Txt_Qh"] = number(std::round(uni(1, 300)));
      c["Txt_Qc"] = number(std::round(uni(1, 300)));
      c["Txt_Tc1"] = "";  // found by the downward search
      break;
  }
  c["Txt_GF1"] = number(std::round(uni(0, 20)));
  // A fouling as Python's str() prints it, now and then beyond the limit.
  c["Txt_Rhc"] = pick({"", "", "0", "5e-05", "0.0001", "1.5e-04", "0.0003"});
  c["Txt_N"] = pick({"1", "1", "1", "2", "3"});
  c["Txt_Ph"] = number(std::round(uni(10, 100)));
  c["Txt_Pc"] = number(std::round(uni(10, 100)));
  c["selection"] = pick({"auto", "auto", "manual"});
  c["calc"] = pick({"design", "design", "design", "check", "simulate"});
  c["com_br"] = pick(models);
  c["com_zh"] = pick(kinds);
  c["Txt_nh"] = number(std::round(uni(0, 40)));
  c["Txt_nl"] = number(std::round(uni(0, 40)));
  return c;
}

}  // namespace phe::testing
