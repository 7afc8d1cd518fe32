// The sizing and check engines on physically sensible cases, with media from
// the built br.mdb: single steps against hand formulas, the stop rules of the
// channel loops, the plate-type choice, condensing steam with subcooling, the
// fouling capacity, the mixed-channel flow split and the check calculation.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "catalogue/catalogue.h"
#include "db/database.h"
#include "engines/engines.h"
#include "engines/steps.h"
#include "properties/exponents.h"
#include "properties/media.h"
#include "properties/wall.h"
#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"
#include "support/engine_rig.h"

namespace phe {
namespace {

using namespace phe::testing;

double Rw(const SelectionState& s) { return s.plate_thickness * 0.001 / s.lambda_plate; }

void ExpectFoulingSignFollowsMargin(const SelectionState& s) {
  if (s.margin > 0) {
    EXPECT_GT(s.fouling_out, 0);
  } else if (s.margin < 0) {
    EXPECT_LT(s.fouling_out, 0);
  } else {
    EXPECT_EQ(s.fouling_out, 0);
  }
}

// Hand values from the catalogue tables.
struct PortSet {
  double zeta, k1, k2, k3, k4;
};
double HandG(const PortSet& p, double n) {
  const double g = n < 25 ? p.k1 * (n - 1) : p.k2 + p.k3 * n + p.k4 * n * n;
  return g < 0 ? 0 : g;
}
const PortSet kPX50B_H{0.388, 0.00059, -0.001584, 0.0001807, 0.00001766};
const PortSet kPX200B_L{0.512, 0.00126, -0.9, 0.003257, -0.000003975};

// One pass of a single-type loop as seen when the loop yields (the count has
// already moved on by one).
struct PassSeen {
  int type_index;
  std::string plate_type;
  double channels, margin, dp_h, dp_c, share_h, share_c;
};

enum class Loop { kSearch, kDesign };

// The stop rule of the loop for the values of one pass.
bool Stops(const SelectionState& s, Loop loop, double channels, double margin, double dp_h, double dp_c,
           double share_h, double share_c) {
  if (channels >= 700) return true;
  if (!(margin >= s.margin_in)) return false;
  if (loop == Loop::kSearch) {
    const bool ports = s.hot_kind == 2 ? share_c > 70 : (share_h > 70 || share_c > 70);
    if (ports) return true;
  }
  return dp_h <= s.dp_max_h && dp_c <= s.dp_max_c;
}

// Watches every pass of the loop: no pass before the last meets the stop rule,
// the last one does, and the count climbs one channel at a time.
void ExpectLoopStopsAtFirstPassThatMeetsItsRules(Rig& r, Loop loop) {
  std::vector<PassSeen> seen;
  r.form.on_yield = [&] {
    // The fouling search after the design loop yields with fouling_out moved.
    if (r.s.fouling_out != 0) return;
    // A pack is judged on its untruncated margin, whatever the loop shows.
    const double margin = 100 * (r.s.k_calc / r.s.k_service - 1);
    seen.push_back({r.s.type_index, r.s.plate_type, r.s.channels, margin, r.s.dp_h, r.s.dp_c, r.s.port_share_h,
                    r.s.port_share_c});
  };
  if (loop == Loop::kSearch)
    Br_Js1(r.s, r.env);
  else
    Br_Js2(r.s, r.env);
  r.form.on_yield = nullptr;

  for (size_t i = 0; i < seen.size(); ++i) {
    const PassSeen& p = seen[i];
    SCOPED_TRACE(p.plate_type + " pass with " + std::to_string(p.channels - 1) + " channels");
    EXPECT_FALSE(Stops(r.s, loop, p.channels - 1, p.margin, p.dp_h, p.dp_c, p.share_h, p.share_c));
    if (i > 0 && seen[i - 1].type_index == p.type_index) {
      EXPECT_EQ(p.channels, seen[i - 1].channels + 1);
    }
  }
  // Only the last type's last pass is left in the state.
  if (loop == Loop::kSearch) {
    EXPECT_TRUE(Stops(r.s, loop, r.s.channels, r.s.margin, r.s.dp_h, r.s.dp_c, r.s.port_share_h,
                      r.s.port_share_c));
  } else {
    // The design reports the clean margin; the loop stopped on its own
    // untruncated one, which with no entered fouling is the same coefficient.
    const double margin = 100 * (r.s.k_clean / r.s.k_service - 1);
    EXPECT_TRUE(Stops(r.s, loop, r.s.channels, margin, r.s.dp_h, r.s.dp_c, 0, 0));
  }
}

// The search loop alone for one plate type: an unknown family leaves the
// search sizing whatever plate_type holds.
struct Sized {
  double area, channels;
};
Sized SizeAlone(const Case& c, const std::string& plate_type) {
  Rig r(c, plate_type, "none");
  Br_Js1(r.s, r.env);
  return {r.s.area, r.s.channels};
}

// Every field of the record except the named ones, as text, for comparing
// two runs field by field.
std::map<std::string, std::string> Fields(const SelectionState& s, const std::vector<std::string>& skip) {
  std::map<std::string, std::string> out;
  for_each_field(s, [&](const char* name, const auto& v) {
    for (const auto& k : skip)
      if (k == name) return;
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<T, std::string>) {
      out[name] = v;
    } else {
      char b[64];
      std::snprintf(b, sizeof b, "%.17g", static_cast<double>(v));
      out[name] = b;
    }
  });
  return out;
}

// ---------------------------------------------------------------------------
// Single steps
// ---------------------------------------------------------------------------

// Guards the velocity, Reynolds, film-coefficient, K, area, pressure-drop,
// port and shear formulas of a single type against the hand formulas with the
// catalogue's published constants for PX50B-H.
TEST(EngineSteps, LiquidCheckFollowsTheHandFormulas) {
  Rig r(Case{}, "PX50B-H");
  SelectionState& s = r.s;
  s.channels_hm = 20;
  s.channels_ml = 0;
  Br_Ys(s, r.env);

  EXPECT_EQ(s.channels, 20);
  EXPECT_EQ(s.plate_count, 41);
  EXPECT_NEAR(s.area, 0.13 * 39, 1e-12);
  const double v_h = s.flow_h / (3600 * 20 * 0.000388);
  const double v_c = s.flow_c / (3600 * 20 * 0.000388);
  EXPECT_NEAR(s.v_h, v_h, 1e-12);
  EXPECT_NEAR(s.v_c, v_c, 1e-12);
  const double re_h = 1000 * s.rho_h * 0.004 * v_h / s.visc_h;
  const double re_c = 1000 * s.rho_c * 0.004 * v_c / s.visc_c;
  EXPECT_NEAR(s.re_h, re_h, 1e-9 * re_h);
  EXPECT_NEAR(s.re_c, re_c, 1e-9 * re_c);

  // Both Reynolds numbers lie above 1000: Nusselt range 1 (0.3544, 0.65) and
  // Euler range 1 (213, -0.001) of PX50B-H. Water needs no viscosity ratio.
  ASSERT_GT(re_h, 1000);
  ASSERT_GT(re_c, 1000);
  ASSERT_EQ(s.visc_exp_h, 0);
  ASSERT_EQ(s.visc_exp_dp_h, 0);
  const double nu_h = 0.3544 * std::pow(re_h, 0.65) * std::pow(s.pr_h, s.pr_exp_h);
  const double nu_c = 0.3544 * std::pow(re_c, 0.65) * std::pow(s.pr_c, s.pr_exp_c);
  EXPECT_NEAR(s.alpha_h, s.lambda_h * nu_h / 0.004, 1e-9 * s.alpha_h);
  EXPECT_NEAR(s.alpha_c, s.lambda_c * nu_c / 0.004, 1e-9 * s.alpha_c);

  const double k_service = s.duty / (s.lmtd * 0.13 * 39);
  EXPECT_NEAR(s.k_service, k_service, 1e-9 * k_service);
  const double r0 = 1 / s.alpha_h + 1 / s.alpha_c + 0.6 * 0.001 / s.lambda_plate;
  EXPECT_NEAR(s.margin, 100 * (0.95 / r0 / k_service - 1), 1e-9);

  const double dp_ch_h = 0.001 * 1 * v_h * v_h * s.rho_h * 213 * std::pow(re_h, -0.001);
  EXPECT_NEAR(s.dp_ch_h, dp_ch_h, 1e-9 * dp_ch_h);
  const double v_port_h = s.flow_h * 10000 / (50.0 * 50.0 * 28.2743334);
  EXPECT_NEAR(s.v_port_h, v_port_h, 1e-12);
  const double dp_port_h = 0.001 * 0.388 * s.rho_h * v_port_h * v_port_h * (1 + 0.00059 * 19);
  EXPECT_NEAR(s.dp_port_h, dp_port_h, 1e-9 * dp_port_h);
  EXPECT_NEAR(s.dp_h, dp_ch_h + dp_port_h, 1e-9 * s.dp_h);
  EXPECT_NEAR(s.shear_h, 1000 * dp_ch_h * 0.004 / (2 * 1 * 1.39), 1e-9 * s.shear_h);
}

// Guards the switch of the port distribution term from the linear form
// (below 25 channels) to the polynomial (from 25), the passes factor, and the
// lower bound of the term at 0 (PX200B-L's polynomial is negative).
TEST(EngineSteps, PortTermSwitchesAt25ChannelsAndNeverDropsBelowOnePass) {
  struct Row {
    const char* plate_type;
    PortSet port;
    double channels, passes;
  };
  const Row rows[] = {
      {"PX50B-H", kPX50B_H, 24, 1}, {"PX50B-H", kPX50B_H, 25, 1}, {"PX50B-H", kPX50B_H, 24, 2},
      {"PX50B-H", kPX50B_H, 25, 2}, {"PX200B-L", kPX200B_L, 30, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.plate_type) + " n=" + std::to_string(row.channels) +
                 " P=" + std::to_string(row.passes));
    Case c;
    c.passes = row.passes;
    Rig r(c, row.plate_type);
    r.s.channels_hm = 0;
    r.s.channels_ml = row.channels;
    Br_Ys(r.s, r.env);
    const double base = 0.001 * row.port.zeta * r.s.rho_h * r.s.v_port_h * r.s.v_port_h;
    const double expected = base * (1 + row.passes * HandG(row.port, row.channels));
    EXPECT_NEAR(r.s.dp_port_h, expected, 1e-12 * expected);
    EXPECT_GE(r.s.dp_port_h, base * (1 - 1e-12));
  }
  // The two forms do not meet at the switch.
  EXPECT_NE(HandG(kPX50B_H, 24), HandG(kPX50B_H, 25));
}

// Guards the condensing-steam steps: vapour Reynolds number, condensation
// coefficient, the steam-side pressure drop without a port term, the 3800
// shear factor and K without fouling (PX50B-H: 0.88 and 4.37).
TEST(EngineSteps, SteamCheckFollowsTheHandFormulas) {
  Case c = SteamCase();
  c.fouling = 0.0004;  // must not enter K on the steam path
  Rig r(c, "PX50B-H");
  SelectionState& s = r.s;
  s.channels_hm = 10;
  s.dp_port_h = 99;
  Br_Ys(s, r.env);

  const double v_h = s.flow_h / (3600 * 0.000388 * 10);
  EXPECT_NEAR(s.v_h, v_h, 1e-12 * v_h);
  const double re_h = 1000 * s.rho_steam * 0.004 * v_h / s.visc_steam;
  EXPECT_NEAR(s.re_h, re_h, 1e-9 * re_h);
  const double x = s.rho_h * (s.rho_h - s.rho_steam) * std::pow(s.lambda_h, 3) / (9.81 * s.visc_h * s.visc_h);
  const double alpha_h = 1000000 * 0.88 * std::pow(re_h, 0.11) * std::pow(x, -1.0 / 3);
  EXPECT_NEAR(s.alpha_h, alpha_h, 1e-9 * alpha_h);
  const double dp_h = 0.000001 * 4.37 * std::pow(re_h, 0.78) * v_h * v_h;
  EXPECT_NEAR(s.dp_h, dp_h, 1e-9 * dp_h);
  EXPECT_EQ(s.dp_port_h, 0);
  EXPECT_NEAR(s.shear_h, 3800 * dp_h * 0.004 / (2 * 1 * 1.39), 1e-9 * s.shear_h);
  const double k = 0.95 / (1 / s.alpha_h + 1 / s.alpha_c + Rw(s));
  EXPECT_NEAR(s.margin, 100 * (k / s.k_service - 1), 1e-9);
}

// ---------------------------------------------------------------------------
// The single-type loop
// ---------------------------------------------------------------------------

// Guards the stop rules of the loop (margin reached, both drops within their
// limits, the port share above 70 % in the search only, 700 channels) on the
// water, oil and steam cases, in the search and in the design.
TEST(SizingLoop, StopsAtTheFirstPassThatMeetsItsRules) {
  struct Row {
    const char* name;
    Case c;
    const char* family;      // search
    const char* plate_type;  // design
  };
  Case tight;
  tight.dp_max_h = 20;
  tight.dp_max_c = 30;
  Case demanding;
  demanding.margin_in = 15;
  const Row rows[] = {
      {"water PX50", Case{}, "PX50", "PX50B-H"},    {"water PX100", Case{}, "PX100", "PX100M-M"},
      {"tight drops", tight, "PX65", "PX65B-L"},    {"15 % margin", demanding, "PX50", "PX50M-M"},
      {"oil cooler", OilCooler(), "PX50", "PX50B-M"}, {"steam", SteamCase(), "PX50", "PX50M-L"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    {
      Rig r(row.c, "", row.family);
      ExpectLoopStopsAtFirstPassThatMeetsItsRules(r, Loop::kSearch);
    }
    {
      Rig r(row.c, row.plate_type);
      ExpectLoopStopsAtFirstPassThatMeetsItsRules(r, Loop::kDesign);
    }
  }
}

// Guards the comparisons of the stop rules: a pressure drop equal to its limit
// and a margin equal to the required one are accepted.
TEST(SizingLoop, LimitsAreInclusive) {
  // Design of one type: where does it stop, and at what hot drop?
  Case loose;
  loose.dp_max_c = 1000;
  Rig first(loose, "PX50B-H");
  Br_Js2(first.s, first.env);
  const double n = first.s.channels;
  const double dp_h = first.s.dp_h;
  ASSERT_LT(n, 700);

  Case at_limit = loose;
  at_limit.dp_max_h = dp_h;
  Rig equal(at_limit, "PX50B-H");
  Br_Js2(equal.s, equal.env);
  EXPECT_EQ(equal.s.channels, n);

  at_limit.dp_max_h = std::nextafter(dp_h, 0.0);
  Rig below(at_limit, "PX50B-H");
  Br_Js2(below.s, below.env);
  EXPECT_GT(below.s.channels, n);

  // Search loop with drops that never bind: it stops on the margin alone.
  Case roomy;
  roomy.dp_max_h = 1000;
  roomy.dp_max_c = 1000;
  Rig m0(roomy, "PX50M-H", "none");
  Br_Js1(m0.s, m0.env);
  const double n0 = m0.s.channels;
  const double margin0 = m0.s.margin;
  ASSERT_GE(margin0, 0);

  roomy.margin_in = margin0;
  Rig same(roomy, "PX50M-H", "none");
  Br_Js1(same.s, same.env);
  EXPECT_EQ(same.s.channels, n0);

  roomy.margin_in = std::nextafter(margin0, 1e9);
  Rig above(roomy, "PX50M-H", "none");
  Br_Js1(above.s, above.env);
  EXPECT_GT(above.s.channels, n0);
}

// Guards the 70 % port-share stop: the search gives up on a type whose ports
// dominate before its drops are met, while the design of the same type has no
// such stop and climbs to 700 channels, where the result stands.
TEST(SizingLoop, PortDominatedTypeStopsTheSearchButNotTheDesign) {
  Rig search(Case{}, "PX32-H", "none");
  Br_Js1(search.s, search.env);
  EXPECT_LT(search.s.channels, 700);
  EXPECT_TRUE(search.s.port_share_h > 70 || search.s.port_share_c > 70);
  EXPECT_TRUE(search.s.dp_h > search.s.dp_max_h || search.s.dp_c > search.s.dp_max_c);
  EXPECT_GE(search.s.margin, search.s.margin_in);

  Rig design(Case{}, "PX32-H");
  Br_Js2(design.s, design.env);
  EXPECT_EQ(design.s.channels, 700);
  EXPECT_EQ(design.s.channels_hm, 700);
  EXPECT_NEAR(design.s.area, 0.029 * 1399, 1e-9);
  EXPECT_EQ(design.s.plate_count, 1401);
}

// Guards the first channel estimate: a duty so small that the estimate
// truncates to 0 starts the loop at one channel, never at 0.
TEST(SizingLoop, EstimateOfZeroStartsAtOneChannel) {
  Case c;
  c.duty = 200;
  for (Loop loop : {Loop::kSearch, Loop::kDesign}) {
    Rig r(c, "PX50B-H", loop == Loop::kSearch ? "none" : "");
    double first = -1;
    r.form.on_yield = [&] {
      if (first < 0 && r.s.fouling_out == 0) first = r.s.channels - 1;
    };
    if (loop == Loop::kSearch)
      Br_Js1(r.s, r.env);
    else
      Br_Js2(r.s, r.env);
    if (first < 0) first = r.s.channels;  // no second pass was needed
    EXPECT_EQ(first, 1);
    EXPECT_GE(r.s.area, 0.13);
  }
}

// Cases the sizing loop tests share: one drop allowed 8 kPa, glycol on the
// cold side, fouling below zero.
Case TightHot() {
  Case c;
  c.dp_max_h = 8;
  return c;
}
Case TightCold() {
  Case c;
  c.dp_max_c = 8;
  return c;
}
Case GlycolCold() {
  Case c;
  c.cold = "EG30";
  c.t_c_in = 20;
  c.t_c_out = 40;
  return c;
}
Case NegativeFouling() {
  Case c;
  c.fouling = -0.00005;
  return c;
}

// Guards the counts the design and the search pass over unrated: the bounds
// of margin and drops may only skip counts that rating each in turn rejects,
// and the search must start again from the conductivity stepping would have
// left, so that the pack, every field it leaves and the lookups that missed
// are those of stepping. The rows let the margin, each drop and the steam side decide, with
// fouling either way, and put a wall below 0 degC, where the wall lookup
// interpolates backwards and nothing may be passed over.
TEST(SizingLoop, PassingOverCountsEndsWhereSteppingDoes) {
  struct Row {
    const char* name;
    Case c;
    const char* plate_type;
    bool passes_over;
    bool search_passes_over;  // the search has the margin alone to rule out
  };
  Case demanding, fouled, negative = NegativeFouling(), steam_drop = SteamCase(), cold_glycol;
  demanding.margin_in = 25;
  demanding.passes = 2;
  fouled.fouling = 0.0002;
  negative.margin_in = -20;
  steam_drop.dp_max_h = 3;
  cold_glycol.cold = "EG30";
  cold_glycol.t_h_in = 10;
  cold_glycol.t_h_out = 4;
  cold_glycol.t_c_in = -8;
  cold_glycol.t_c_out = -4;
  cold_glycol.duty = 100000;
  const Row rows[] = {
      {"oil cooler", OilCooler(), "PX50B-M", true, true},
      {"water", Case{}, "PX100M-M", true, true},
      {"tight hot drop", TightHot(), "PX65B-L", true, true},
      {"tight cold drop", TightCold(), "PX65B-H", true, true},
      {"25 % margin, 2 passes", demanding, "PX50M-M", true, true},
      {"fouled", fouled, "PX150M-H", true, true},
      {"negative fouling", negative, "PX100B-L", true, false},
      {"steam", SteamCase(), "PX50M-L", true, true},
      {"steam side drop", steam_drop, "PX100M-H", true, true},
      {"glycol", GlycolCold(), "PX65M-M", true, true},
      {"wall below 0 C", cold_glycol, "PX50B-H", false, false},
  };
  for (const Row& row : rows) {
    for (const detail::Sizing mode : {detail::Sizing::kDesign, detail::Sizing::kSearch}) {
      SCOPED_TRACE(std::string(row.name) + (mode == detail::Sizing::kDesign ? ", design" : ", search"));
      Rig quick(row.c, row.plate_type), stepped(row.c, row.plate_type);
      // Every count either rates is seen as it yields, and must look alike.
      std::map<double, std::map<std::string, std::string>> seen;
      long quick_counts = 0, stepped_counts = 0;
      quick.form.on_yield = [&] {
        ++quick_counts;
        seen[quick.s.channels] = Fields(quick.s, {});
      };
      stepped.form.on_yield = [&] {
        ++stepped_counts;
        if (seen.count(stepped.s.channels)) {
          EXPECT_EQ(seen[stepped.s.channels], Fields(stepped.s, {}));
        }
      };
      for (Rig* r : {&quick, &stepped}) {
        detail::PlateData(r->s);
        detail::InitialChannels(r->s);
        if (r->s.hot_kind == 2) r->s.passes = 1;
      }
      const TypeCorrelations corr(row.plate_type);
      if (row.c.hot_kind == 1) {
        detail::LiquidSizingLoop(quick.s, quick.env, mode);
        detail::StepLiquidChannels(stepped.s, stepped.env, mode, corr);
      } else {
        detail::SteamSizingLoop(quick.s, quick.env, mode);
        detail::StepSteamChannels(stepped.s, stepped.env, mode, corr);
      }
      EXPECT_EQ(Fields(quick.s, {}), Fields(stepped.s, {}));
      EXPECT_EQ(detail::LookupMisses(quick.env), detail::LookupMisses(stepped.env));
      EXPECT_GT(stepped.s.channels, 1);
      if (mode == detail::Sizing::kDesign ? row.passes_over : row.search_passes_over)
        EXPECT_LT(quick_counts, stepped_counts) << stepped.s.channels;
      else
        EXPECT_EQ(quick_counts, stepped_counts);
    }
  }
}

// Guards the bounds themselves where they matter most: a count whose margin
// or drop meets the entered limit exactly must never be ruled out, alone or
// in a block from an earlier count. Each count is rated alone, the limits are
// set to what it gives, and the bound must let it stand; a bound a hair too
// hopeful, or its rounding, or a block bounded by the films at its far end,
// fails here.
TEST(SizingLoop, NoBoundRulesOutACountOnItsLimits) {
  struct Row {
    const char* name;
    Case c;
    const char* plate_type;
  };
  Case two_passes;
  two_passes.passes = 2;
  const Row rows[] = {{"oil cooler", OilCooler(), "PX50B-M"},
                      {"water", Case{}, "PX100M-M"},
                      {"2 passes", two_passes, "PX65B-L"},
                      {"negative fouling", NegativeFouling(), "PX100B-L"},
                      {"glycol", GlycolCold(), "PX65M-M"},
                      {"steam", SteamCase(), "PX50M-L"},
                      {"tight hot drop", TightHot(), "PX65B-L"},
                      {"tight cold drop", TightCold(), "PX65B-H"}};
  const double inf = std::numeric_limits<double>::infinity();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig r(row.c, row.plate_type);
    detail::PlateData(r.s);
    detail::InitialChannels(r.s);
    if (r.s.hot_kind == 2) r.s.passes = 1;
    const TypeCorrelations corr(row.plate_type);
    // A block's films are those of its first count: each count in it fails alone too.
    const detail::ChannelBound own(r.s, r.env, corr, detail::Sizing::kDesign);
    for (double from = r.s.channels; from < r.s.channels + 80; from = from + 1)
      for (double m = from + 1; m <= own.LastRuledOut(r.s, from); m = m + 1)
        EXPECT_TRUE(own.RulesOut(r.s, m)) << "from " << from << ", " << m << " channels";
    for (double n = r.s.channels; n < r.s.channels + 80; n = n + 1) {
      // The search rates the first count from the conductivity it is handed.
      const detail::Sizing mode = n == r.s.channels ? detail::Sizing::kSearch : detail::Sizing::kDesign;
      SelectionState alone = r.s;
      alone.channels = n;
      alone.margin_in = -inf;
      alone.dp_max_h = inf;
      alone.dp_max_c = static_cast<decltype(alone.dp_max_c)>(inf);
      if (alone.hot_kind == 1)
        detail::StepLiquidChannels(alone, r.env, mode, corr);
      else
        detail::StepSteamChannels(alone, r.env, mode, corr);
      ASSERT_EQ(alone.channels, n);
      SelectionState on_limits = r.s;
      on_limits.margin_in = 100 * (alone.k_calc / alone.k_service - 1);
      on_limits.dp_max_h = alone.dp_h;
      // The limit as the field holds it, rounded up where that is coarser.
      using Limit = decltype(on_limits.dp_max_c);
      on_limits.dp_max_c = static_cast<Limit>(alone.dp_c);
      if (on_limits.dp_max_c < alone.dp_c) on_limits.dp_max_c = std::nextafter(on_limits.dp_max_c, Limit(inf));
      const detail::ChannelBound bound(on_limits, r.env, corr, mode);
      EXPECT_FALSE(bound.RulesOut(on_limits, n)) << n << " channels";
      // Nor may a block of counts ruled out together from an earlier count reach it.
      for (double from = std::max(r.s.channels, n - 40); from < n; from = from + 1)
        EXPECT_LT(bound.LastRuledOut(on_limits, from), n) << "from " << from << " to " << n << " channels";
    }
  }
}

// ---------------------------------------------------------------------------
// Choice of the plate type
// ---------------------------------------------------------------------------

// Guards the choice rule: the type with strictly the least area wins, among
// types below 700 channels, the first type of the family being the seed, at
// the entered number of passes. (With two passes the first type of the family
// once won whatever the others needed: 268 m2 where 59 m2 would do.)
TEST(TypeChoice, LeastAreaWinsAtTheEnteredPasses) {
  for (double passes : {1.0, 2.0}) {
    Case c;
    c.passes = passes;
    for (const char* family : {"PX50", "PX65", "PX100", "PX150"}) {
      SCOPED_TRACE(std::string(family) + " passes " + std::to_string(passes));
      const auto& order = FamilySearchOrder(family);
      ASSERT_FALSE(order.empty());
      std::string expected = order[0];
      double best = SizeAlone(c, order[0]).area;
      for (size_t i = 1; i < order.size(); ++i) {
        const Sized z = SizeAlone(c, order[i]);
        if (z.area < best && z.channels < 700) {
          best = z.area;
          expected = order[i];
        }
      }
      if (passes > 1) {
        EXPECT_NE(expected, order[0]) << "the case does not exercise the rule";
      }
      Rig r(c, "", family);
      Br_Js1(r.s, r.env);
      EXPECT_EQ(r.s.best_plate_type, expected);
      EXPECT_DOUBLE_EQ(r.s.best_area, best);
      EXPECT_EQ(r.s.type_index, 10);
    }
  }
}

// Guards the strict comparison: when every type ends at the same area (a
// margin requirement met by the first estimate, same plate area throughout)
// the earliest type stays chosen.
TEST(TypeChoice, EqualAreasKeepTheEarlierType) {
  Case c;
  c.margin_in = -95;
  c.dp_max_h = 1e6;
  c.dp_max_c = 1e6;
  struct Row {
    const char* family;
    const char* first;
    double plate_area;
  };
  for (const Row& row : {Row{"PX32", "PX32-H", 0.029}, Row{"PX50", "PX50B-H", 0.13}}) {
    SCOPED_TRACE(row.family);
    Rig r(c, "", row.family);
    Br_Js1(r.s, r.env);
    const double estimate = std::trunc(r.s.duty / (1 * 2 * row.plate_area * r.s.lmtd * 18000));
    ASSERT_GE(estimate, 1);
    EXPECT_EQ(r.s.channels, estimate);
    EXPECT_EQ(r.s.best_plate_type, row.first);
    EXPECT_NEAR(r.s.best_area, row.plate_area * (2 * estimate - 1), 1e-9);
  }
}

// Guards the 700-channel condition of the choice: types whose first estimate
// is already 700 or more stop after one pass, and a later such type never
// replaces the first even with a smaller area (PX65L's larger plate truncates
// to less area than PX65B's here).
TEST(TypeChoice, TypesAt700ChannelsNeverReplaceTheFirst) {
  Case c;
  c.duty = 352.37 * 20 * 18000;  // 352.37 m2 at the estimate's 18000 W/m2.C
  Rig r(c, "", "PX65");
  Br_Js1(r.s, r.env);
  const double lmtd = r.s.lmtd;
  const double n_b = std::trunc(c.duty / (2 * 0.16 * lmtd * 18000));
  const double n_l = std::trunc(c.duty / (2 * 0.25 * lmtd * 18000));
  ASSERT_GE(n_l, 700);
  // The state describes the last type, PX65L-L, after its single pass.
  EXPECT_EQ(r.s.plate_type, "PX65L-L");
  EXPECT_EQ(r.s.channels, n_l);
  EXPECT_NEAR(r.s.area, 0.25 * (2 * n_l - 1), 1e-9);
  EXPECT_EQ(r.s.best_plate_type, "PX65B-H");
  EXPECT_NEAR(r.s.best_area, 0.16 * (2 * n_b - 1), 1e-9);
  EXPECT_LT(r.s.area, r.s.best_area);
}

// Guards the search over an unknown family: it must not invent a plate type,
// it sizes the one the state holds.
TEST(TypeChoice, UnknownFamilySizesTheCurrentPlateType) {
  Rig r(Case{}, "PX100B-M", "PX999");
  Br_Js1(r.s, r.env);
  EXPECT_EQ(r.s.plate_type, "PX100B-M");
  EXPECT_EQ(r.s.best_plate_type, "PX100B-M");
  EXPECT_EQ(r.s.model_code, "PX100B");
}

// ---------------------------------------------------------------------------
// Condensing steam
// ---------------------------------------------------------------------------

// Guards the steam search: one pass whatever was entered, and the hot port
// values are neither computed nor cleared on this path.
TEST(Steam, SearchForcesOnePassAndLeavesTheHotPortAlone) {
  Case c = SteamCase();
  c.passes = 2;
  Rig r(c, "", "PX50");
  r.s.v_port_h = -7;
  r.s.dp_port_h = -8;
  r.s.port_share_h = -9;
  Br_Js1(r.s, r.env);
  EXPECT_EQ(r.s.passes, 1);
  EXPECT_EQ(r.s.v_port_h, -7);
  EXPECT_EQ(r.s.dp_port_h, -8);
  EXPECT_EQ(r.s.port_share_h, -9);
  EXPECT_FALSE(r.s.best_plate_type.empty());

  Rig d(c, r.s.best_plate_type);
  Br_Js2(d.s, d.env);
  EXPECT_EQ(d.s.passes, 1);
  EXPECT_EQ(d.s.dp_port_h, 0);
  EXPECT_EQ(d.s.channels_hm, d.s.channels);
  EXPECT_EQ(d.s.channels_ml, 0);
}

// Guards the steam coefficient: the entered fouling sizes a steam heater as
// it sizes a liquid one (it was once ignored: 0, 0.0005 and 0.5 gave the same
// pack), in the search and in the design, and the design reports the clean
// margin.
TEST(Steam, EnteredFoulingSizesTheHeater) {
  Case clean = SteamCase();
  Case fouled = SteamCase();
  fouled.fouling = 0.001;
  Rig a(clean, "", "PX50");
  Rig b(fouled, "", "PX50");
  Br_Js1(a.s, a.env);
  Br_Js1(b.s, b.env);
  EXPECT_GT(b.s.best_area, a.s.best_area);

  Rig da(clean, "PX50B-M");
  Rig db(fouled, "PX50B-M");
  Br_Js2(da.s, da.env);
  Br_Js2(db.s, db.env);
  EXPECT_GT(db.s.channels, da.s.channels);
  const SelectionState& s = db.s;
  EXPECT_GE(0.95 / (1 / s.alpha_h + 1 / s.alpha_c + Rw(s) + fouled.fouling), s.k_service * (1 + fouled.margin_in / 100));
  EXPECT_EQ(s.margin, std::trunc(100 * (s.k_clean / s.k_service - 1)));
}

// Guards the end of the steam design: the condensate properties of the row of
// the steam temperature replace the hot medium's, and the fouling capacity
// counts from 0, whatever was entered (it once started from the entered value
// and showed 0.001001 for a pack that carries 0.00004), until the coefficient
// the sizing uses, 0.95 included, falls below the need.
TEST(Steam, DesignReadsTheCondensateAndCountsFoulingUpwards) {
  for (double fouling : {0.0, 0.001}) {
    SCOPED_TRACE(fouling);
    Case c = SteamCase();
    c.fouling = fouling;
    Rig r(c, "PX50B-M");
    Br_Js2(r.s, r.env);
    const SelectionState& s = r.s;

    auto rows = r.db->OpenRecordSet("water");
    ASSERT_TRUE(rows->FindFirst(Criterion::LowInclusive("min_T", "max_T", 133)));
    EXPECT_EQ(s.rho_h, rows->Field("R"));
    EXPECT_EQ(s.cp_h, rows->Field("cP"));
    EXPECT_EQ(s.lambda_h, rows->Field("L"));
    EXPECT_EQ(s.visc_h, rows->Field("V"));
    EXPECT_NEAR(s.pr_h, s.visc_h * s.cp_h / s.lambda_h, 1e-12);

    const double r0 = 1 / s.alpha_h + 1 / s.alpha_c + Rw(s);
    ASSERT_GE(0.95 / r0, s.k_service) << "a sized steam design carries some fouling";
    EXPECT_GT(s.fouling_out, 0);
    EXPECT_LT(0.95 / (r0 + s.fouling_out), s.k_service);
    EXPECT_GE(0.95 / (r0 + s.fouling_out - 0.000001), s.k_service * (1 - 1e-9));
  }
}

// Guards the subcooling search: no spare area leaves the condensate at the
// steam temperature; spare area cools it in whole degrees until the zone
// needs more than is spare, never below the cold inlet + 2.
TEST(Steam, SubcoolingOutcomes) {
  struct Row {
    const char* name;
    double t_c_in, t_c_out, channels;
  };
  const Row rows[] = {
      {"pack too small", 60, 90, 3},   {"some spare area", 60, 90, 6},  {"large spare area", 60, 90, 40},
      {"close approach", 120, 125, 40}, {"close, too small", 120, 125, 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Case c = SteamCase();
    c.t_c_in = row.t_c_in;
    c.t_c_out = row.t_c_out;
    Rig r(c, "PX50B-H");
    r.s.channels_hm = row.channels;
    Br_Ys(r.s, r.env);
    const SelectionState& s = r.s;

    EXPECT_LE(s.t_h_out, s.t_h_in);
    EXPECT_GE(s.t_h_out, s.t_c_in + 2);
    const double drop = s.t_h_in - s.t_h_out;
    EXPECT_EQ(drop, std::round(drop)) << "whole degrees";
    if (s.margin < 0) {
      EXPECT_LT(s.area_excess, 0);
      EXPECT_EQ(s.t_h_out, s.t_h_in);
    }
    if (s.t_h_out < s.t_h_in) {
      // The search went on while the zone fitted; it ended on the floor or on
      // the first temperature whose zone needs more than the spare area.
      if (s.area_sc < s.area_excess)
        EXPECT_EQ(s.t_h_out, s.t_c_in + 2);
      else
        EXPECT_GT(s.t_h_out, s.t_c_in + 2 - 1e-9);
    }
  }
}

// ---------------------------------------------------------------------------
// Fouling capacity
// ---------------------------------------------------------------------------

// Guards the fouling search: its sign follows the margin, and it brackets the
// required coefficient to one step with the coefficient the sizing uses, 0.95
// included (without it the capacity shown was up to half again too high). A
// pack far too small for its duty needs all its resistance taken away: the
// search stepped over that pole into negative coefficients and ran its 10^7
// steps to the cap, showing -10 m2.C/W (the PX32 at 10,000,000 kW).
TEST(Fouling, CapacitySignFollowsTheMargin) {
  struct Row {
    double channels;
    double fouling;
    double duty;  // W
  };
  for (const Row& row : {Row{30, 0, 500000}, Row{8, 0, 500000}, Row{30, 0.0001, 500000},
                         Row{1, 0, 1e10}}) {
    SCOPED_TRACE(row.channels);
    Case c;
    c.fouling = row.fouling;
    c.duty = row.duty;
    Rig r(c, "PX50B-H");
    r.s.channels_hm = row.channels;
    Br_Ys(r.s, r.env);
    const SelectionState& s = r.s;
    const double r0 = 1 / s.alpha_h + 1 / s.alpha_c + Rw(s);
    // A fouling that takes away the whole resistance reaches any coefficient.
    auto k = [r0](double f) {
      return r0 + f > 0 ? 0.95 / (r0 + f) : std::numeric_limits<double>::infinity();
    };
    ASSERT_NE(s.margin, 0);
    if (s.margin > 0) {
      EXPECT_GT(s.fouling_out, 0);
      EXPECT_LT(k(s.fouling_out), s.k_service);
      EXPECT_GE(k(s.fouling_out - 0.000001), s.k_service * (1 - 1e-9));
    } else {
      EXPECT_LT(s.fouling_out, 0);
      EXPECT_GT(s.fouling_out, -r0 - 0.000001);
      EXPECT_GT(k(s.fouling_out), s.k_service);
      EXPECT_LE(k(s.fouling_out + 0.000001), s.k_service * (1 + 1e-9));
    }
  }
}

// Guards the bisected fouling search against the loop it replaced, which
// added one step at a time: the sums after every step up to the cap, both
// ways, and the step and last coefficient of searches that stop at once, in
// the middle, exactly on a step, past the pole of a negative resistance, at
// the cap, and on NaN.
TEST(Fouling, BisectedSearchStopsWhereSteppingDoes) {
  double up = 0, down = 0;
  for (long i = 0; i <= detail::kFoulingStepCap; ++i) {
    ASSERT_EQ(detail::FoulingAfterSteps(i, true), up) << i;
    ASSERT_EQ(detail::FoulingAfterSteps(i, false), down) << i;
    up = up + detail::kFoulingStep;
    down = down - detail::kFoulingStep;
  }

  struct Row {
    double r0, k_service;
    bool upwards;
  };
  const double on_step = 0.95 / (0.0004 + detail::FoulingAfterSteps(1234, true));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const Row& row : {Row{0.0004, 2000, true}, Row{0.0004, 2500, true}, Row{0.0004, 3000, true},
                         Row{0.0004, on_step, true}, Row{0.0004, 1e-9, true}, Row{0.0004, 0, true},
                         Row{0.0004, 2500, false}, Row{0.0004, 1e6, false}, Row{-0.5, 5, true},
                         Row{0.0002, 1e9, false}, Row{nan, 2000, true}, Row{0.0004, nan, false}}) {
    SCOPED_TRACE(::testing::Message() << row.r0 << " " << row.k_service << " " << row.upwards);
    double k_calc = 0;
    auto k = [&](double f) {
      const double r = row.r0 + f;
      return r > 0 ? k_calc = 0.95 / r : std::numeric_limits<double>::infinity();
    };
    double stepped = 0;
    for (long steps = 0;
         (row.upwards ? k(stepped) >= row.k_service : row.k_service >= k(stepped)) &&
         steps++ < detail::kFoulingStepCap;)
      stepped = stepped + (row.upwards ? detail::kFoulingStep : -detail::kFoulingStep);
    const double stepped_k = k_calc;
    HeadlessForm form;
    Env env(form);
    double found = -1;
    k_calc = 0;
    detail::FoulingSearch(found, k, row.k_service, row.upwards, env);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(found), std::bit_cast<std::uint64_t>(stepped)) << found << " " << stepped;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(k_calc), std::bit_cast<std::uint64_t>(stepped_k));
  }
}

// Guards the margin-0 rule of the design: a margin that truncates to 0
// reports no fouling capacity even though the search found some.
TEST(Fouling, DesignMarginOfZeroReportsNoCapacity) {
  Rig first(Case{}, "PX50B-M");
  Br_Js2(first.s, first.env);
  const double n = first.s.channels;
  // The same pack with a duty that leaves it half a percent to spare.
  Case c;
  c.duty = first.s.k_clean * first.s.lmtd * first.s.area / 1.005;
  Rig r(c, "PX50B-M");
  r.s.flow_h = first.s.flow_h;
  r.s.flow_c = first.s.flow_c;
  Br_Js2(r.s, r.env);
  ASSERT_EQ(r.s.channels, n);
  EXPECT_EQ(r.s.margin, 0);
  EXPECT_FALSE(std::signbit(r.s.margin));
  EXPECT_EQ(r.s.fouling_out, 0);
  const double r0 = 1 / r.s.alpha_h + 1 / r.s.alpha_c + Rw(r.s);
  EXPECT_GT(1 / r0, r.s.k_service) << "without the rule the capacity would be positive";
}

// Guards the design's reported margin: it is the whole-percent margin of the
// clean coefficient, whatever fouling was entered.
TEST(Fouling, DesignReportsTheCleanMargin) {
  Case c;
  c.fouling = 0.00005;
  Rig r(c, "PX100M-H");
  Br_Js2(r.s, r.env);
  const SelectionState& s = r.s;
  EXPECT_EQ(s.margin, std::trunc(100 * (s.k_clean / s.k_service - 1)));
  const float clean = static_cast<float>(0.95 / (1 / s.alpha_h + 1 / s.alpha_c + Rw(s)));
  EXPECT_EQ(s.k_clean, clean);
  // The fouled coefficient met the required margin of 0.
  EXPECT_GE(0.95 / (1 / s.alpha_h + 1 / s.alpha_c + Rw(s) + c.fouling), s.k_service * (1 - 1e-12));
}

// ---------------------------------------------------------------------------
// Mixed channels
// ---------------------------------------------------------------------------

double KindDropAt(double passes, double v, double rho, double d_e, double visc, double e, double x) {
  const double re = 1000 * rho * d_e * v / visc;
  return 0.001 * passes * v * v * rho * e * std::pow(re, x);
}

// Heat of one counter-current group, solved for its hot outlet by the
// log-mean relation UA·ΔTm = Ch·(Th1 − Th2) (the engine uses effectiveness).
double HandGroupHeat(const SelectionState& s, double ua, double ch, double cc) {
  if (ua <= 0 || ch <= 0) return 0;
  double lo = s.t_c_in, hi = s.t_h_in;
  for (int i = 0; i < 200; ++i) {
    const double th2 = (lo + hi) / 2;
    const double q = ch * (s.t_h_in - th2);
    const double dt1 = s.t_h_in - (s.t_c_in + q / cc);
    const double dt2 = th2 - s.t_c_in;
    if (dt1 <= 0 || dt2 <= 0) {
      lo = th2;
      continue;
    }
    const double lm = std::abs(dt1 - dt2) < 1e-9 * dt1 ? dt1 : (dt1 - dt2) / std::log(dt1 / dt2);
    (ua * lm > q ? hi : lo) = th2;
  }
  return ch * (s.t_h_in - (lo + hi) / 2);
}

// A mixed pack rated from the state the engine left: per-group flows from the
// velocities, areas by channel share, films, coefficients with `fouling`;
// returns the heat both groups pass with the coefficients scaled by f.
double HandPackHeat(const SelectionState& s, double f, double fouling) {
  const double n = s.channels_hm + s.channels_ml;
  const double area = s.plate_area * (2 * s.passes * n - 1);
  struct G {
    double n, v_h, v_c, a_h, a_c;
  };
  double q = 0;
  for (const G& g : {G{s.channels_hm, s.v_h1, s.v_c1, s.alpha_h1, s.alpha_c1},
                     G{s.channels_ml, s.v_h2, s.v_c2, s.alpha_h2, s.alpha_c2}}) {
    const double k = 0.95 / (1 / g.a_h + 1 / g.a_c + Rw(s) + fouling);
    const double ch = 3600 * s.channel_area * g.n * g.v_h * s.rho_h * s.cp_h / 3.6;
    const double cc = 3600 * s.channel_area * g.n * g.v_c * s.rho_c * s.cp_c / 3.6;
    q += HandGroupHeat(s, f * k * area * g.n / n, ch, cc);
  }
  return q;
}

double HandMargin(const SelectionState& s, double fouling) {
  double lo = 0.01, hi = 100;
  for (int i = 0; i < 100; ++i) {
    const double f = std::sqrt(lo * hi);
    (HandPackHeat(s, f, fouling) < s.duty ? lo : hi) = f;
  }
  return 100 * (1 / std::sqrt(lo * hi) - 1);
}

Case Water50kW() {
  Case c;
  c.t_h_in = 90;
  c.t_h_out = 70;
  c.t_c_in = 50;
  c.t_c_out = 65;
  c.duty = 50000;
  return c;
}

// Guards the rating of a mixed pack as its two channel groups (the check
// once rated the entered area with the coefficient of a re-designed pack, and
// the design lost a plate and compared duties instead of K·A): equal channel
// drops of both kinds, the flows carried, the margin of an independent
// group-by-group rating, the clean coefficient that closes Q = K·A·ΔTm, and
// a fouling capacity on the grid that just keeps the duty.
TEST(Mixed, CheckRatesThePackAsItsTwoGroups) {
  struct Row {
    const char* type;
    Case c;
    double n1, n2;
    double lo, hi;  // where the margin must lie
  };
  Case two_pass;
  two_pass.passes = 2;
  const Row rows[] = {
      {"PX100B-HM", Water50kW(), 1, 1, 50, 80},  // once rated 6 % in the design, 53 % in the check
      {"PX50M-ML", Water50kW(), 1, 1, -15, 0},   // short of the duty, once shown +16 %
      {"PX100B-HM", Case{}, 4, 7, -1000, 1000},
      {"PX100B-HM", OilCooler(), 12, 6, -1000, 1000},
      {"PX65M-HM", two_pass, 5, 9, -1000, 1000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.type) + " " + std::to_string(row.n1) + "+" + std::to_string(row.n2));
    Case c = row.c;
    c.fouling = 0.0001;  // a check rates the clean pack
    Rig r(c, row.type);
    SelectionState& s = r.s;
    s.channels_hm = row.n1;
    s.channels_ml = row.n2;
    Br_Ys(s, r.env);
    EXPECT_EQ(s.channels_hm, row.n1);
    EXPECT_EQ(s.channels_ml, row.n2);
    EXPECT_EQ(s.plate_count, 2 * s.passes * (row.n1 + row.n2) + 1);
    EXPECT_NEAR(s.area, s.plate_area * (s.plate_count - 2), 1e-9);

    const double dh1 = KindDropAt(s.passes, s.v_h1, s.rho_h, s.d_e, s.visc_h, s.eu_coef_h1, s.eu_exp_h1);
    const double dh2 = KindDropAt(s.passes, s.v_h2, s.rho_h, s.d_e, s.visc_h, s.eu_coef_h2, s.eu_exp_h2);
    const double dc1 = KindDropAt(s.passes, s.v_c1, s.rho_c, s.d_e, s.visc_c, s.eu_coef_c1, s.eu_exp_c1);
    const double dc2 = KindDropAt(s.passes, s.v_c2, s.rho_c, s.d_e, s.visc_c, s.eu_coef_c2, s.eu_exp_c2);
    EXPECT_NEAR(dh1, dh2, 1e-6 * dh1);
    EXPECT_NEAR(dc1, dc2, 1e-6 * dc1);
    const double a = s.channel_area;
    EXPECT_NEAR(3600 * a * (row.n1 * s.v_h1 + row.n2 * s.v_h2), s.flow_h, 1e-9 * s.flow_h);
    EXPECT_NEAR(3600 * a * (row.n1 * s.v_c1 + row.n2 * s.v_c2), s.flow_c, 1e-9 * s.flow_c);

    const double hand = HandMargin(s, 0);
    EXPECT_NEAR(s.margin, hand, 0.05);
    EXPECT_GE(s.margin, row.lo);
    EXPECT_LE(s.margin, row.hi);
    EXPECT_NEAR(s.k_clean, s.k_service * (1 + s.margin / 100), 1e-3 * s.k_service);
    EXPECT_NEAR(s.dp_h, s.dp_ch_h + s.dp_port_h, 1e-12 * s.dp_h);
    EXPECT_NEAR(s.dp_c, s.dp_ch_c + s.dp_port_c, 1e-12 * s.dp_c);

    ExpectFoulingSignFollowsMargin(s);
    if (std::trunc(s.margin) != 0) {
      const double step = 0.000001 * (s.fouling_out > 0 ? 1 : -1);
      EXPECT_NE(HandPackHeat(s, 1, s.fouling_out) < s.duty, HandPackHeat(s, 1, s.fouling_out - step) < s.duty)
          << "the capacity is not the grid step across the duty";
    }
  }
}

// Guards the design of a mixed type: a pack of both kinds meets the asked
// margin untruncated and both drops, with no kind-2 channel to spare, and its
// check agrees; a pack of one kind is exactly the single-type design of that
// type, announced; no pack exceeds 700 channels a pass in total (a PX32-HM at
// 5 MW once reached 203,649 plates).
TEST(Mixed, DesignIsTheRatedPackOrTheSingleKindDesign) {
  struct Row {
    const char* type;
    Case c;
  };
  Case wide;
  wide.dp_max_h = 100;
  wide.dp_max_c = 100;
  Case narrow;
  narrow.dp_max_h = 20;
  narrow.dp_max_c = 20;
  narrow.margin_in = 10;
  Case fouled = Case{};
  fouled.fouling = 0.00005;
  Case huge = Water50kW();
  huge.duty = 5e6;
  Case tiny;
  tiny.duty = 2000;
  const Row rows[] = {{"PX100B-HM", Case{}}, {"PX65M-HM", wide},      {"PX50M-ML", narrow},
                      {"PX100M-ML", fouled}, {"PX100B-HM", OilCooler()}, {"PX150M-HM", Case{}},
                      {"PX32-HM", huge},     {"PX450M-HM", tiny},     {"PX100B-HM", Water50kW()}};
  int mixed = 0, single = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    Rig r(row.c, row.type);
    Br_Js2(r.s, r.env);
    const SelectionState& s = r.s;
    EXPECT_LE(s.channels, 700);
    EXPECT_EQ(s.channels, s.channels_hm + s.channels_ml);
    if (IsMixedPlateType(s.plate_type)) {
      ++mixed;
      EXPECT_TRUE(r.form.messages.empty());
      EXPECT_GT(s.channels_hm, 0);
      EXPECT_GT(s.channels_ml, 0);
      // The state describes the pack reported, not the last trial.
      EXPECT_EQ(s.margin, std::trunc(HandMargin(s, 0)));
      if (s.channels < 700) {
        EXPECT_GE(HandMargin(s, row.c.fouling), row.c.margin_in - 0.05);
        EXPECT_LE(s.dp_h, row.c.dp_max_h);
        EXPECT_LE(s.dp_c, row.c.dp_max_c);
        const PackRating fewer = RateMixedPack(r.s, r.env, s.channels_hm, s.channels_ml - 1, row.c.fouling);
        EXPECT_TRUE(fewer.dp_h > row.c.dp_max_h || fewer.dp_c > row.c.dp_max_c);
      }
      Rig check(row.c, row.type);
      check.s.channels_hm = s.channels_hm;
      check.s.channels_ml = s.channels_ml;
      Br_Ys(check.s, check.env);
      EXPECT_EQ(std::trunc(check.s.margin), s.margin);
      EXPECT_NEAR(check.s.dp_h, s.dp_h, 1e-9 * s.dp_h);
      EXPECT_NEAR(check.s.dp_c, s.dp_c, 1e-9 * s.dp_c);
      EXPECT_EQ(check.s.fouling_out, s.fouling_out);
    } else {
      ++single;
      ASSERT_EQ(r.form.messages.size(), 1u);
      EXPECT_EQ(r.form.messages[0].title, "提示");
      EXPECT_EQ(r.form.messages[0].icon, MsgIcon::kInformation);
      EXPECT_NE(r.form.messages[0].text.find(s.plate_type), std::string::npos);
      Rig alone(row.c, s.plate_type);
      Br_Js2(alone.s, alone.env);
      for (const char* f : {"channels", "channels_hm", "channels_ml", "area", "k_calc", "k_clean", "margin",
                            "fouling_out", "dp_h", "dp_c", "dp_port_h", "dp_port_c", "alpha_h", "alpha_c"})
        EXPECT_EQ(Fields(s, {})[f], Fields(alone.s, {})[f]) << f;
    }
  }
  EXPECT_GE(mixed, 2);
  EXPECT_GE(single, 2);
}

// ---------------------------------------------------------------------------
// Check calculation
// ---------------------------------------------------------------------------

// Guards the single-type check: the channel count may be typed in either box.
TEST(Check, SingleTypeCountMayBeEnteredInEitherBox) {
  for (const Case& c : {Case{}, SteamCase(), OilCooler()}) {
    SCOPED_TRACE(c.hot);
    Rig a(c, "PX65B-M");
    Rig b(c, "PX65B-M");
    a.s.channels_hm = 30;
    a.s.channels_ml = 0;
    b.s.channels_hm = 0;
    b.s.channels_ml = 30;
    Br_Ys(a.s, a.env);
    Br_Ys(b.s, b.env);
    EXPECT_EQ(a.s.channels, 30);
    EXPECT_EQ(Fields(a.s, {"channels_hm", "channels_ml"}), Fields(b.s, {"channels_hm", "channels_ml"}));
    EXPECT_EQ(b.s.channels_ml, 30) << "the entered counts stay";
  }
}

// Guards the 20 cP warning of the mixed check: strictly above 20 mPa.s, shown
// once after the results, with the warning icon and the notice title.
TEST(Check, MixedPackWarnsAboveTwentyCentipoise) {
  struct Row {
    double visc_h;
    bool warns;
  };
  for (const Row& row : {Row{20.0, false}, Row{20.01, true}}) {
    SCOPED_TRACE(row.visc_h);
    Rig r(OilCooler(), "PX50B-HM");
    r.s.visc_h = row.visc_h;
    r.s.channels_hm = 10;
    r.s.channels_ml = 10;
    std::map<std::string, std::string> when_shown;
    r.form.on_message = [&] { when_shown = Fields(r.s, {}); };
    Br_Ys(r.s, r.env);
    ASSERT_EQ(r.form.messages.size(), row.warns ? 1u : 0u);
    if (row.warns) {
      const RecordedMessage& m = r.form.messages[0];
      EXPECT_EQ(m.text, "粘度大于20cP，不能采用HM、ML板型，否则会造成流量分配不均而使换热失效！");
      EXPECT_EQ(m.title, "提示");
      EXPECT_EQ(m.icon, MsgIcon::kWarning);
      EXPECT_EQ(m.buttons, MsgButtons::kOk);
      // Every result was final when the box came up.
      EXPECT_EQ(when_shown, Fields(r.s, {}));
    }
  }
}

}  // namespace
}  // namespace phe

namespace phe {
namespace {

// ---------------------------------------------------------------------------
// Guards against searches that cannot end
// ---------------------------------------------------------------------------

// Guards the cap of the unbounded fouling search: one that can never cross
// the required coefficient (no duty) stops after 1,000,000 steps, keeping
// its last value and showing nothing.
TEST(Caps, UnendingSearchesStopAtTheirCaps) {
  Case c;
  Rig fouling(c, "PX50B-H");
  fouling.s.channels_hm = 20;
  fouling.s.duty = 0;
  Br_Ys(fouling.s, fouling.env);
  EXPECT_NEAR(fouling.s.fouling_out, 1000000 * 0.000001, 1e-6);
  EXPECT_TRUE(fouling.form.messages.empty());

}

}  // namespace
}  // namespace phe
