// Steps shared by the engines: correlations copied into side fields, film
// coefficients with and without the wall correction, channel and port
// pressure drops, the single-type sizing loops, the fouling searches and the
// per-kind steps of mixed packs.
//
// Formulas keep the order of their factors, so that the single-precision
// fields round at the same points in every engine.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "engines/engines.h"
#include "state/env.h"
#include "state/selection_state.h"

namespace phe::detail {

inline constexpr double kFoulingStep = 0.000001;   // m2.C/W
// 1 m2.C/W, the largest fouling factor a case may give (steam): beyond it a
// capacity means nothing, and the 10^7 steps of a cap at 10 cost an oversized
// pack and each of its alternatives and curve points a tenth of a second.
inline constexpr long kFoulingStepCap = 1000000;
inline constexpr double kPortShareLimit = 70;      // %

void Pump(Env& env);
double Reynolds(double rho, double d_e, double v, double visc);
double PlateResistance(const SelectionState& s);
// Share of the port loss in a total; a total of 0 has no port share.
double PortShare(double dp_port, double dp_total);
// Whole percent toward zero, never -0.
double TruncatedMargin(double k, double k_service);
// Log-mean difference; the arithmetic mean when the ends differ by less than 1 C.
double EndMean(double dt1, double dt2);
// Kind-2 velocity that gives the same channel pressure drop as kind 1 at v1.
double EqualDropVelocity(double eu_coef1, double eu_exp1, double eu_coef2, double eu_exp2, double v1,
                         double rho, double d_e, double visc);

// Plate data of plate_type and the correction exponents of its model: the
// exponents of the viscosity ratio differ by model, so they must follow the
// type being sized, not the one a previous run left behind.
void PlateData(SelectionState& s);

// ---- single channel types ----
void InitialChannels(SelectionState& s);
void NusseltCopyHot(SelectionState& s);
void NusseltCopyCold(SelectionState& s);
void EulerCopyHot(SelectionState& s);
void EulerCopyCold(SelectionState& s);
// The same by the correlations of plate_type found once.
void NusseltCopyHot(SelectionState& s, const TypeCorrelations& c);
void NusseltCopyCold(SelectionState& s, const TypeCorrelations& c);
void EulerCopyHot(SelectionState& s, const TypeCorrelations& c);
void EulerCopyCold(SelectionState& s, const TypeCorrelations& c);
void FilmHotUncorrected(SelectionState& s);
void FilmColdUncorrected(SelectionState& s);
void FilmHotCorrected(SelectionState& s);
void FilmColdCorrected(SelectionState& s);
void WallAndPlate(SelectionState& s, Env& env);
double ChannelDropHot(const SelectionState& s);
double ChannelDropCold(const SelectionState& s);
// Port velocities and the distribution-weighted port losses with n channels.
void PortHot(SelectionState& s, double n);
void PortCold(SelectionState& s, double n);
void PortsMixed(SelectionState& s, double n);
// Both sides' channel and port drops of a single-type liquid pack at its
// channel count, and their sums.
void LiquidDrops(SelectionState& s);
double Shear(const SelectionState& s, double factor, double dp);
// Film coefficient of condensing steam from the condensate properties.
void CondensationCoefficient(SelectionState& s);
double CondensationFilm(const SelectionState& s, double re_h);
double SteamSideDrop(const SelectionState& s);
double SteamSideDrop(const SelectionState& s, double re_h, double v_h);

// The search keeps its port-share stop; the design of the chosen type instead
// reports the clean coefficient, a whole-percent margin and the shear.
enum class Sizing { kSearch, kDesign };

// Finds so far in the medium and conductivity tables that found nothing.
long LookupMisses(const Env& env);

// Channel counts the liquid design may pass over without rating them: the
// design steps up from an optimistic count, and at most counts bounds
// already show the entered margin out of reach or a pressure drop over its
// limit. The bounds take the wall corrections at their extremes over the
// wall temperatures possible (every wall lies between the two mean
// temperatures) and the plate at its best conductivity there. Where a wall
// lookup could find nothing (a wall outside its table) or a film or a drop
// is no positive number, they rule out nothing. Liquids and condensing steam.
//
// The search carries the plate conductivity from count to count and stops
// where the ports dominate: there only the margin rules a count out, and the
// conductivity a passed-over count would have left is found by rating the
// count before the first one rated from every conductivity it could start
// from (PlatesBefore).
class ChannelBound {
 public:
  ChannelBound(const SelectionState& s, Env& env, const TypeCorrelations& corr, Sizing mode);
  // True when n channels surely fail the margin or a pressure drop.
  bool RulesOut(const SelectionState& s, double n) const;
  // The last of the counts from n on that surely fail, n - 1 when n may pass.
  double LastRuledOut(const SelectionState& s, double n) const;
  // The conductivities a search count after the first may start from.
  const std::vector<float>& PlatesBefore() const { return plates_; }

 private:
  struct Speeds {
    double v_h = 0, v_c = 0, re_h = 0, re_c = 0;
  };
  void SpeedsAt(const SelectionState& s, double n, Speeds& at) const;
  // The last count of a block from n, which fails, that fails on the
  // margin with the films at n, or on one side's drop.
  double MarginBlockEnd(const SelectionState& s, double n, const Speeds& at, double alpha_h, double alpha_c) const;
  double DropBlockEnd(const SelectionState& s, double n, const Speeds& at, bool hot) const;
  bool MarginFails(const SelectionState& s, double n, double alpha_h, double alpha_c) const;
  bool DropFails(const SelectionState& s, double n, double v, double re, bool hot) const;
  double ChannelDropAtLeast(const SelectionState& s, bool hot, double v, double coef, double re_power) const;
  double PortLoss(const SelectionState& s, bool hot, double g) const;

  const TypeCorrelations& corr_;
  Sizing mode_;
  bool valid_ = false;
  std::vector<float> plates_;
  double wall_h_ = 0, wall_c_ = 0;        // largest (visc / visc_w)^exp
  double drop_h_ = 0, drop_c_ = 0;        // smallest (visc / visc_w)^exp_dp
  double pr_h_ = 0, pr_c_ = 0;            // pr^pr_exp
  double plate_r_ = 0;                    // smallest plate resistance
  double condensation_ = 0;               // steam: the film at Re = 1
};

void LiquidSizingLoop(SelectionState& s, Env& env, Sizing mode);
void SteamSizingLoop(SelectionState& s, Env& env, Sizing mode);
// The same loops rating every count in turn from s.channels, which is what
// a design that passes over counts must end as (steam: passes already 1).
void StepLiquidChannels(SelectionState& s, Env& env, Sizing mode, const TypeCorrelations& corr);
void StepSteamChannels(SelectionState& s, Env& env, Sizing mode, const TypeCorrelations& corr);

// The fouling after n steps of kFoulingStep from 0 (upwards, else
// downwards), bit for bit the sum that adding one step at a time gives;
// n from 0 to kFoulingStepCap.
double FoulingAfterSteps(long n, bool upwards);

// Fouling a pack can absorb, on the 0.000001 grid from 0: the last step
// upwards at which the coefficient k(fouling) still reaches k_service, or
// downwards (a pack that falls short) the first at which it does, at most
// kFoulingStepCap steps; k is called last at the step returned in `fouling`.
// k must be the expression the sizing accepts a pack by, 0.95 included, or
// the capacity shown is more than the sizing would grant; and it must not
// rise with the fouling (a larger resistance never gives a larger
// coefficient), which lets the search bisect the steps and land exactly on
// the step that stepping one at a time stops at.
template <class K>
void FoulingSearch(double& fouling, K k, double k_service, bool upwards, Env& env) {
  // Whether stepping one at a time goes on past step i.
  auto goes_on = [&](long i) {
    const double f = FoulingAfterSteps(i, upwards);
    return upwards ? k(f) >= k_service : k_service >= k(f);
  };
  fouling = 0;
  long n = 0;  // the step it stops at
  if (goes_on(0)) {
    long on = 0, off = kFoulingStepCap + 1;  // goes on past `on`, not past `off`
    while (off - on > 1) {
      const long mid = on + (off - on) / 2;
      fouling = FoulingAfterSteps(mid, upwards);
      Pump(env);
      (goes_on(mid) ? on : off) = mid;
    }
    n = std::min(off, kFoulingStepCap);
  }
  fouling = FoulingAfterSteps(n, upwards);
  k(fouling);  // the coefficient as the last step left it
}

void SingleFoulingCapacity(SelectionState& s, Env& env);
// The check's rating of the entered pack of one type at the state's
// properties: geometry, films after the wall passes, k_calc without fouling,
// channel and port drops. Liquid, and steam condensing at t_h_in.
void RateLiquidPack(SelectionState& s, Env& env);
void RateSteamPack(SelectionState& s, Env& env);
void SteamSubcooling(SelectionState& s, Env& env);

// Heat a counter-current exchanger passes, W: capacity rates in W/℃, k·A in
// W/℃, inlet difference in ℃. An infinite rate is a condensing side.
double CounterflowHeat(double c_h, double c_c, double ka, double dt_in);

// ---- mixed packs ----
void MixedReynolds(SelectionState& s);
void MixedCorrelations(SelectionState& s);
void MixedFilms(SelectionState& s, bool wall_factor);
void MixedMeans(SelectionState& s);
void MixedWall(SelectionState& s, Env& env);
void MixedWallPasses(SelectionState& s, Env& env);
void MixedChannelDrops(SelectionState& s);
void PublishPack(SelectionState& s, const PackRating& r);
void MixedFoulingOut(SelectionState& s, const PackRating& r);
std::string KindPlateType(const std::string& mixed_type, int kind);
void RestartPlateConductivity(SelectionState& s, Env& env);
void AnnounceOneKind(SelectionState& s, Env& env, const std::string& mixed_type);
void Br_Js2Mixed(SelectionState& s, Env& env);

}  // namespace phe::detail
