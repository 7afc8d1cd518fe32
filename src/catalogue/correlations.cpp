// Nusselt and Euler constants of every plate type by Reynolds number.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "catalogue/catalogue.h"

namespace phe {

// One channel set: bounds descending; range 1 lies above the first bound and
// the last range at or below the last one. A Reynolds number equal to a
// bound belongs to the range below it.
struct RangeSet {
  int bounds_count = 0;
  double bounds[3] = {};
  double coef[4] = {};
  double exp[4] = {};

  // 0-based range holding re, or -1 for a value that is no number.
  int RangeOf(double re) const {
    if (std::isnan(re)) return -1;
    int range = 0;
    while (range < bounds_count && re <= bounds[range]) ++range;
    return range;
  }
};

namespace {


// Kinds of the first and the second channel set of a mixed type.
std::pair<int, int> MixedKinds(ChannelType channel) {
  return channel == ChannelType::kHM ? std::pair{0, 1} : std::pair{1, 2};
}

// ---- heat transfer: Nu = C * Re^m * ... ----

struct NusseltRow {
  const char* plate_type;
  double a, c1, m1, b, c2, m2, c, c3, m3, c4, m4;
};

// a, C1, m1, b, C2, m2, c, C3, m3, C4, m4
constexpr NusseltRow kNusselt[] = {
    {"PX32-H", 800, 0.2955, 0.7, 50, 0.508, 0.623, 10, 0.239, 0.815, 0.809, 0.333},
    {"PX32-M", 200, 0.2026, 0.7, 40, 0.599, 0.5, 10, 0.254, 0.737, 0.688, 0.333},
    {"PX32-L", 500, 0.1305, 0.7, 50, 0.616, 0.446, 10, 0.344, 0.6, 0.663, 0.333},
    {"PX50B-H", 100, 0.3544, 0.65, 40, 1.092, 0.39, 10, 0.282, 0.77, 0.777, 0.333},
    {"PX50B-M", 300, 0.2354, 0.67, 50, 1.007, 0.38, 10, 0.361, 0.65, 0.777, 0.333},
    {"PX50B-L", 300, 0.1328, 0.7, 50, 0.864, 0.38, 20, 0.374, 0.58, 0.77, 0.333},
    {"PX50M-H", 70, 0.321, 0.69, 30, 0.992, 0.44, 10, 0.161, 0.97, 0.697, 0.333},
    {"PX50M-M", 200, 0.1627, 0.73, 50, 0.846, 0.43, 12, 0.271, 0.72, 0.712, 0.333},
    {"PX50M-L", 500, 0.1252, 0.71, 60, 0.748, 0.43, 15, 0.27, 0.68, 0.692, 0.333},
    {"PX65B-H", 100, 0.3544, 0.65, 40, 1.092, 0.39, 10, 0.282, 0.77, 0.777, 0.333},
    {"PX65B-M", 300, 0.2354, 0.67, 50, 1.007, 0.38, 10, 0.361, 0.65, 0.777, 0.333},
    {"PX65B-L", 300, 0.1328, 0.7, 50, 0.864, 0.38, 20, 0.374, 0.58, 0.77, 0.333},
    {"PX65M-H", 70, 0.321, 0.69, 30, 0.992, 0.44, 10, 0.161, 0.97, 0.697, 0.333},
    {"PX65M-M", 200, 0.1627, 0.73, 50, 0.846, 0.43, 12, 0.271, 0.72, 0.712, 0.333},
    {"PX65M-L", 500, 0.1252, 0.71, 60, 0.748, 0.43, 15, 0.27, 0.68, 0.692, 0.333},
    {"PX65L-H", 100, 0.3898, 0.65, 40, 1.201, 0.39, 10, 0.31, 0.77, 0.855, 0.333},
    {"PX65L-M", 300, 0.2589, 0.67, 50, 1.108, 0.38, 10, 0.397, 0.65, 0.855, 0.333},
    {"PX65L-L", 300, 0.146, 0.7, 50, 0.95, 0.38, 20, 0.411, 0.58, 0.847, 0.333},
    {"PX100B-H", 120, 0.2458, 0.71, 30, 0.717, 0.5, 10, 0.14, 0.97, 0.646, 0.333},
    {"PX100B-M", 220, 0.1347, 0.74, 60, 0.866, 0.41, 10, 0.256, 0.71, 0.651, 0.333},
    {"PX100B-L", 360, 0.1157, 0.71, 60, 0.74, 0.41, 15, 0.26, 0.66, 0.644, 0.333},
    {"PX100M-H", 80, 0.288, 0.7, 30, 0.978, 0.44, 10, 0.159, 0.97, 0.702, 0.333},
    {"PX100M-M", 300, 0.1447, 0.74, 40, 0.764, 0.46, 10, 0.302, 0.7, 0.724, 0.333},
    {"PX100M-L", 400, 0.1372, 0.71, 40, 0.683, 0.46, 10, 0.276, 0.7, 0.704, 0.333},
    {"PX100L-H", 72, 0.353, 0.682, 35, 0.738, 0.525, 11, 0.141, 0.991, 0.682, 0.333},
    {"PX100L-M", 170, 0.298, 0.684, 40, 0.557, 0.575, 11, 0.194, 0.856, 0.683, 0.333},
    {"PX100L-L", 340, 0.2153, 0.69, 60, 0.526, 0.548, 14, 0.215, 0.77, 0.683, 0.333},
    {"PX150B-H", 60, 0.3203, 0.69, 30, 0.99, 0.44, 7, 0.155, 0.97, 0.629, 0.333},
    {"PX150B-M", 200, 0.1624, 0.73, 50, 0.91, 0.42, 10, 0.244, 0.75, 0.639, 0.333},
    {"PX150B-L", 400, 0.1064, 0.73, 60, 0.774, 0.41, 15, 0.221, 0.71, 0.63, 0.333},
    {"PX150M-H", 100, 0.2616, 0.71, 35, 0.704, 0.51, 10, 0.147, 0.95, 0.613, 0.333},
    {"PX150M-M", 180, 0.1616, 0.73, 100, 1.4, 0.315, 7, 0.325, 0.645, 0.613, 0.333},
    {"PX150M-L", 250, 0.1129, 0.72, 100, 1.14, 0.3, 15, 0.258, 0.637, 0.604, 0.333},
    {"PX150S-H", 100, 0.222, 0.71, 35, 0.598, 0.51, 10, 0.125, 0.95, 0.521, 0.333},
    {"PX150S-M", 180, 0.137, 0.73, 100, 1.19, 0.315, 7, 0.276, 0.645, 0.521, 0.333},
    {"PX150S-L", 250, 0.096, 0.72, 100, 0.969, 0.3, 15, 0.219, 0.637, 0.514, 0.333},
    {"PX200B-H", 60, 0.352, 0.69, 30, 1.089, 0.44, 7, 0.171, 0.97, 0.692, 0.333},
    {"PX200B-M", 200, 0.1786, 0.73, 50, 1.001, 0.42, 10, 0.268, 0.75, 0.703, 0.333},
    {"PX200B-L", 400, 0.117, 0.73, 60, 0.851, 0.41, 15, 0.243, 0.71, 0.693, 0.333},
    {"PX200M-H", 700, 0.3123, 0.683, 26, 0.457, 0.635, 12, 0.129, 1.024, 0.716, 0.333},
    {"PX200M-M", 150, 0.206, 0.709, 80, 0.831, 0.443, 14, 0.272, 0.698, 0.704, 0.333},
    {"PX200M-L", 430, 0.133, 0.687, 48, 0.472, 0.489, 16, 0.354, 0.563, 0.673, 0.333},
    {"PX200S-H", 120, 0.278, 0.68, 30, 0.783, 0.46, 10, 0.198, 0.86, 0.593, 0.333},
    {"PX200S-M", 220, 0.148, 0.72, 50, 0.611, 0.46, 10, 0.3, 0.64, 0.609, 0.333},
    {"PX200S-L", 1200, 0.082, 0.72, 70, 0.45, 0.48, 10, 0.27, 0.58, 0.57, 0.333},
    {"PX250B-H", 60, 0.281, 0.7, 32, 1.029, 0.4, 14, 0.137, 0.982, 0.742, 0.333},
    {"PX250B-M", 170, 0.1415, 0.749, 55, 1.516, 0.3, 11, 0.294, 0.709, 0.702, 0.343},
    {"PX250B-L", 260, 0.1357, 0.691, 50, 1.118, 0.325, 17, 0.188, 0.78, 0.669, 0.333},
    {"PX250M-H", 72, 0.282, 0.699, 38, 1.327, 0.349, 11, 0.163, 0.926, 0.674, 0.333},
    {"PX250M-M", 170, 0.1408, 0.749, 66, 0.769, 0.43, 14, 0.273, 0.675, 0.674, 0.333},
    {"PX250M-L", 360, 0.1351, 0.691, 80, 0.917, 0.374, 18, 0.231, 0.689, 0.657, 0.333},
    {"PX250S-H", 72, 0.234, 0.699, 38, 1.1, 0.349, 11, 0.135, 0.926, 0.559, 0.333},
    {"PX250S-M", 170, 0.117, 0.749, 66, 0.638, 0.43, 14, 0.227, 0.675, 0.559, 0.333},
    {"PX250S-L", 360, 0.1121, 0.691, 80, 0.761, 0.374, 18, 0.192, 0.689, 0.545, 0.333},
    {"PX350B-H", 460, 0.414, 0.66, 34, 0.557, 0.62, 7, 0.179, 0.942, 0.685, 0.276},
    {"PX350B-M", 200, 0.177, 0.726, 54, 1.053, 0.399, 7, 0.258, 0.751, 0.651, 0.276},
    {"PX350B-L", 370, 0.1386, 0.697, 90, 1.112, 0.354, 11, 0.237, 0.696, 0.648, 0.276},
    {"PX350M-H", 72, 0.296, 0.699, 38, 1.327, 0.349, 11, 0.163, 0.926, 0.674, 0.333},
    {"PX350M-M", 170, 0.148, 0.749, 66, 0.769, 0.43, 14, 0.273, 0.675, 0.674, 0.333},
    {"PX350M-L", 360, 0.142, 0.691, 80, 0.917, 0.374, 18, 0.231, 0.689, 0.657, 0.333},
    {"PX350S-H", 72, 0.246, 0.699, 38, 1.101, 0.349, 11, 0.135, 0.926, 0.559, 0.333},
    {"PX350S-M", 170, 0.123, 0.749, 66, 0.638, 0.43, 14, 0.227, 0.675, 0.559, 0.333},
    {"PX350S-L", 360, 0.117, 0.691, 80, 0.761, 0.374, 18, 0.192, 0.689, 0.545, 0.333},
    {"PX450M-H", 90, 0.191, 0.735, 43, 1.84, 0.237, 10, 0.19, 0.841, 0.64, 0.333},
    {"PX450M-M", 190, 0.105, 0.763, 65, 1.678, 0.236, 14, 0.243, 0.7, 0.64, 0.333},
    {"PX450M-L", 460, 0.075, 0.749, 98, 1.007, 0.325, 19, 0.28, 0.604, 0.622, 0.333},
};

struct NusseltException {
  const char* plate_type;
  int kind;  // 1 first, 2 second channel set
  double coef;
  int range;
};

// A mixed type takes the single sets of its two kinds, except these C values.
constexpr NusseltException kNusseltMixed[] = {
    {"PX100B-HM", 1, 0.246, 1},
    {"PX100B-HM", 2, 0.135, 1},
    {"PX100B-ML", 1, 0.135, 1},
    {"PX100B-ML", 2, 0.116, 1},
    {"PX100M-HM", 1, 0.289, 1},
    {"PX100M-HM", 2, 0.145, 1},
    {"PX100M-ML", 1, 0.145, 1},
    {"PX100M-ML", 2, 0.138, 1},
    {"PX100L-ML", 2, 0.215, 1},
    {"PX150B-HM", 1, 0.32, 1},
    {"PX150B-HM", 2, 0.163, 1},
    {"PX150B-ML", 1, 0.163, 1},
    {"PX150B-ML", 2, 0.107, 1},
    {"PX150M-HM", 1, 0.262, 1},
    {"PX150M-HM", 2, 0.162, 1},
    {"PX150M-ML", 1, 0.162, 1},
    {"PX150M-ML", 2, 0.113, 1},
    {"PX150M-ML", 2, 1.141, 2},
};

RangeSet ToSet(const NusseltRow& r) {
  return RangeSet{3, {r.a, r.b, r.c}, {r.c1, r.c2, r.c3, r.c4}, {r.m1, r.m2, r.m3, r.m4}};
}

// ---- pressure drop: Eu = b * Re^d ----

struct Bounds {
  double v[3];  // two or three, descending; an unused bound is 0
};

struct EulerRange {
  double b, d;
};

struct EulerRow {
  const char* plate_type;
  Bounds bounds;
  EulerRange r1, r2, r3, r4;  // r4 unused with two bounds
};

// bounds, then b and d of range 1 to 4
constexpr EulerRow kEuler[] = {
    {"PX32-H", {500, 50, 10}, {349, -0.067}, {1170, -0.26}, {7010, -0.73}, {12310, -1}},
    {"PX32-M", {1000, 40}, {163, -0.084}, {1610, -0.4}, {11840, -0.95}, {}},
    {"PX32-L", {1000, 200, 40}, {292, -0.22}, {615, -0.33}, {2220, -0.57}, {10330, -0.96}},
    {"PX50B-H", {1000, 100, 10}, {213, -0.001}, {1218, -0.25}, {10070, -0.7}, {20550, -1}},
    {"PX50B-M", {1000, 300, 20}, {235, -0.12}, {575, -0.25}, {6087, -0.7}, {16000, -1}},
    {"PX50B-L", {1500, 300, 50}, {147, -0.15}, {443, -0.3}, {4090, -0.7}, {12130, -1}},
    {"PX50M-H", {1000, 100, 10}, {249, -0.001}, {828, -0.17}, {7660, -0.66}, {17540, -1}},
    {"PX50M-M", {2000, 300, 30}, {79, -0.001}, {245, -0.15}, {3644, -0.66}, {11000, -1}},
    {"PX50M-L", {2000, 300, 40}, {104, -0.12}, {226, -0.22}, {2110, -0.61}, {8560, -1}},
    {"PX65B-H", {1000, 100, 10}, {213, -0.001}, {1218, -0.25}, {10070, -0.7}, {20550, -1}},
    {"PX65B-M", {1000, 300, 20}, {235, -0.12}, {575, -0.25}, {6087, -0.7}, {16000, -1}},
    {"PX65B-L", {1500, 300, 50}, {147, -0.15}, {443, -0.3}, {4090, -0.7}, {12130, -1}},
    {"PX65M-H", {1000, 100, 10}, {249, -0.001}, {828, -0.17}, {7660, -0.66}, {17540, -1}},
    {"PX65M-M", {2000, 300, 30}, {79, -0.001}, {245, -0.15}, {3644, -0.66}, {11000, -1}},
    {"PX65M-L", {2000, 300, 40}, {104, -0.12}, {226, -0.22}, {2110, -0.61}, {8560, -1}},
    {"PX65L-H", {1000, 100, 10}, {340, -0.001}, {1948, -0.25}, {16110, -0.7}, {32880, -1}},
    {"PX65L-M", {1000, 300, 20}, {376, -0.12}, {920, -0.25}, {9740, -0.7}, {25600, -1}},
    {"PX65L-L", {1500, 300, 50}, {235, -0.15}, {708, -0.3}, {6544, -0.7}, {19400, -1}},
    {"PX100B-H", {2000, 100, 15}, {250, -0.0005}, {917, -0.17}, {10500, -0.7}, {22720, -1}},
    {"PX100B-M", {2200, 200, 20}, {148, -0.05}, {472, -0.2}, {6645, -0.7}, {17150, -1}},
    {"PX100B-L", {1500, 150, 30}, {174, -0.14}, {857, -0.36}, {4881, -0.71}, {13700, -1}},
    {"PX100M-H", {1800, 80, 10}, {174, -0.0005}, {617, -0.17}, {7000, -0.72}, {14150, -1}},
    {"PX100M-M", {5000, 200, 20}, {63, -0.01}, {208, -0.15}, {4140, -0.7}, {10390, -1}},
    {"PX100M-L", {900, 170, 30}, {110, -0.12}, {492, -0.34}, {3111, -0.7}, {8613, -1}},
    {"PX100L-H", {250, 110, 17}, {1833, -0.158}, {3181, -0.258}, {20080, -0.65}, {54090, -1}},
    {"PX100L-M", {1400, 220, 23}, {473, -0.06}, {1299, -0.2}, {14800, -0.65}, {44480, -1}},
    {"PX100L-L", {2000, 340, 45}, {311, -0.112}, {655, -0.21}, {8550, -0.65}, {32520, -1}},
    {"PX150B-H", {1200, 80, 10}, {800, -0.05}, {2320, -0.2}, {18300, -0.66}, {41100, -1}},
    {"PX150B-M", {1800, 200, 25}, {184, -0.0003}, {625, -0.15}, {11700, -0.7}, {31580, -1}},
    {"PX150B-L", {2500, 300, 40}, {215, -0.13}, {850, -0.3}, {6440, -0.65}, {22390, -1}},
    {"PX150M-H", {450, 80, 10}, {342, -0.0005}, {3990, -0.4}, {8280, -0.568}, {24580, -1}},
    {"PX150M-M", {750, 240, 30}, {111, -0.0002}, {700, -0.278}, {4176, -0.603}, {16050, -1}},
    {"PX150M-L", {1000, 100, 15}, {127, -0.11}, {1300, -0.439}, {7600, -0.815}, {12500, -1}},
    {"PX150S-H", {450, 80, 10}, {144, -0.0005}, {1676, -0.4}, {3480, -0.568}, {10330, -1}},
    {"PX150S-M", {750, 240, 30}, {47, -0.0002}, {294, -0.278}, {1754, -0.603}, {6740, -1}},
    {"PX150S-L", {1000, 100, 15}, {54, -0.11}, {546, -0.439}, {3192, -0.815}, {5250, -1}},
    {"PX200B-H", {1200, 80, 10}, {960, -0.05}, {2784, -0.2}, {21960, -0.66}, {49320, -1}},
    {"PX200B-M", {3500, 200, 25}, {221, -0.0003}, {750, -0.15}, {14040, -0.7}, {37900, -1}},
    {"PX200B-L", {2500, 300, 40}, {258, -0.13}, {850, -0.3}, {6440, -0.65}, {22390, -1}},
    {"PX200M-H", {920, 50, 11}, {864, -0.077}, {3413, -0.278}, {16200, -0.674}, {31020, -0.945}},
    {"PX200M-M", {650, 63}, {244, -0.067}, {3794, -0.491}, {24320, -0.94}, {}},
    {"PX200M-L", {950, 93}, {103, -0.091}, {1384, -0.468}, {14010, -0.978}, {}},
    {"PX200S-H", {900, 90, 20}, {331, -0.07}, {1383, -0.28}, {7319, -0.65}, {19760, -1}},
    {"PX200S-M", {3000, 200, 30}, {94, -0.03}, {367, -0.2}, {5203, -0.7}, {15000, -1}},
    {"PX200S-L", {1500, 240, 50}, {159, -0.17}, {410, -0.3}, {3300, -0.68}, {11550, -1}},
    {"PX250B-H", {110, 60, 16}, {3044, -0.177}, {11470, -0.459}, {28830, -0.684}, {59450, -0.945}},
    {"PX250B-M", {700, 230, 50}, {462, -0.088}, {5471, -0.464}, {8093, -0.536}, {41560, -0.95}},
    {"PX250B-L", {1480, 250, 50}, {355, -0.177}, {4235, -0.517}, {10710, -0.685}, {36730, -1}},
    {"PX250M-H", {60, 14}, {1883, -0.177}, {10790, -0.6}, {31000, -1}, {}},
    {"PX250M-M", {380, 32}, {285, -0.088}, {5911, -0.6}, {23630, -1}, {}},
    {"PX250M-L", {410, 80}, {290, -0.177}, {3673, -0.6}, {20870, -1}, {}},
    {"PX250S-H", {60, 14}, {1130, -0.177}, {6474, -0.6}, {18600, -1}, {}},
    {"PX250S-M", {380, 32}, {171, -0.088}, {3547, -0.6}, {14180, -1}, {}},
    {"PX250S-L", {410, 80}, {174, -0.177}, {2204, -0.6}, {12520, -1}, {}},
    {"PX350B-H", {470, 100, 14}, {1728, -0.11}, {2898, -0.194}, {24320, -0.655}, {62070, -1.01}},
    {"PX350B-M", {1500, 150, 21}, {618, -0.106}, {1450, -0.223}, {19630, -0.743}, {42250, -0.995}},
    {"PX350B-L", {1800, 320, 50}, {646, -0.209}, {549, -0.187}, {13400, -0.74}, {33850, -0.977}},
    {"PX350M-H", {60, 14}, {2165, -0.177}, {10790, -0.6}, {31000, -1}, {}},
    {"PX350M-M", {380, 32}, {328, -0.088}, {5911, -0.6}, {23630, -1}, {}},
    {"PX350M-L", {410, 80}, {334, -0.177}, {3673, -0.6}, {20870, -1}, {}},
    {"PX350S-H", {60, 14}, {1092, -0.177}, {6258, -0.6}, {17980, -1}, {}},
    {"PX350S-M", {380, 32}, {165, -0.088}, {3428, -0.6}, {13710, -1}, {}},
    {"PX350S-L", {410, 80}, {168, -0.177}, {2130, -0.6}, {11990, -1}, {}},
    {"PX450M-H", {880, 140, 15}, {630, -0.044}, {1813, -0.2}, {16650, -0.65}, {42940, -1}},
    {"PX450M-M", {1500, 295, 28}, {209, -0.037}, {687, -0.2}, {8880, -0.65}, {28500, -1}},
    {"PX450M-L", {1100, 290, 50}, {306, -0.158}, {585, -0.251}, {5623, -0.65}, {22270, -1}},
};

struct EulerEntry {
  int range;  // 1..4; 0 marks an unused entry
  double b, d;
};

struct EulerException {
  const char* plate_type;
  int kind;       // 1 first, 2 second channel set
  Bounds bounds;  // all 0: the single set's bounds
  EulerEntry entries[2];
};

// A mixed type takes the single sets of its two kinds, except these entries.
constexpr EulerException kEulerMixed[] = {
    {"PX32-ML", 2, {}, {{2, 622, -0.33}}},
    {"PX50M-HM", 1, {}, {{2, 822, -0.17}, {4, 17900, -1}}},
    {"PX50M-HM", 2, {}, {{4, 11330, -1}}},
    {"PX50M-ML", 1, {}, {{4, 11330, -1}}},
    {"PX65M-HM", 1, {}, {{2, 822, -0.17}, {4, 17900, -1}}},
    {"PX65M-HM", 2, {}, {{4, 11330, -1}}},
    {"PX65M-ML", 1, {}, {{4, 11330, -1}}},
    {"PX100M-HM", 2, {}, {{3, 4051, -0.7}}},
    {"PX100M-ML", 1, {}, {{3, 4051, -0.7}}},
    {"PX150B-HM", 1, {}, {{1, 786, -0.05}, {2, 2280, -0.2}}},
    {"PX150B-HM", 2, {3500, 200, 25}, {{1, 181, -0.0003}, {2, 614, -0.15}}},
    {"PX150B-ML", 1, {3500, 200, 25}, {{1, 181, -0.0003}, {2, 614, -0.15}}},
    {"PX150M-ML", 2, {}, {{2, 1270, -0.439}}},
};

int CountBounds(const Bounds& bounds) {
  int n = 0;
  while (n < 3 && bounds.v[n] > 0) ++n;
  return n;
}

RangeSet ToSet(const EulerRow& r) {
  RangeSet set;
  set.bounds_count = CountBounds(r.bounds);
  const EulerRange ranges[4] = {r.r1, r.r2, r.r3, r.r4};
  for (int i = 0; i < 3; ++i) set.bounds[i] = r.bounds.v[i];
  for (int i = 0; i < 4; ++i) {
    set.coef[i] = ranges[i].b;
    set.exp[i] = ranges[i].d;
  }
  return set;
}

static_assert(std::size(kNusselt) == 66);
static_assert(std::size(kEuler) == 66);

constexpr size_t kModelCount = 22;

// Every set of every code, single and mixed, built once from the rows above.
struct Sets {
  std::array<std::array<RangeSet, 3>, kModelCount> single{};
  std::array<std::array<bool, 3>, kModelCount> present{};
  // [model][0 for HM, 1 for ML][0 first kind, 1 second kind]
  std::array<std::array<std::array<RangeSet, 2>, 2>, kModelCount> mixed{};
};

template <class Row, class Patch>
Sets BuildSets(const Row* rows, size_t n, Patch patch) {
  Sets sets;
  for (size_t i = 0; i < n; ++i) {
    const auto code = ParsePlateType(rows[i].plate_type);
    if (!code || SingleTypeIndex(code->channel) < 0) continue;
    sets.single[code->model][SingleTypeIndex(code->channel)] = ToSet(rows[i]);
    sets.present[code->model][SingleTypeIndex(code->channel)] = true;
  }
  for (size_t m = 0; m < kModelCount; ++m) {
    for (ChannelType mixed : {ChannelType::kHM, ChannelType::kML}) {
      const auto [first, second] = MixedKinds(mixed);
      auto& pair = sets.mixed[m][mixed == ChannelType::kHM ? 0 : 1];
      pair[0] = sets.single[m][first];
      pair[1] = sets.single[m][second];
    }
  }
  patch(sets);
  return sets;
}

// The mixed set a patch row names, or nullptr for a code that is not mixed.
RangeSet* MixedSet(Sets& sets, const char* plate_type, int kind) {
  const auto code = ParsePlateType(plate_type);
  if (!code || SingleTypeIndex(code->channel) >= 0 || kind < 1 || kind > 2) return nullptr;
  return &sets.mixed[code->model][code->channel == ChannelType::kHM ? 0 : 1][kind - 1];
}

const Sets& NusseltSets() {
  static const Sets sets = BuildSets(kNusselt, std::size(kNusselt), [](Sets& s) {
    for (const NusseltException& e : kNusseltMixed) {
      RangeSet* set = MixedSet(s, e.plate_type, e.kind);
      if (set && e.range >= 1 && e.range <= 4) set->coef[e.range - 1] = e.coef;
    }
  });
  return sets;
}

const Sets& EulerSets() {
  static const Sets sets = BuildSets(kEuler, std::size(kEuler), [](Sets& s) {
    for (const EulerException& e : kEulerMixed) {
      RangeSet* set = MixedSet(s, e.plate_type, e.kind);
      if (!set) continue;
      if (const int n = CountBounds(e.bounds); n > 0) {
        set->bounds_count = n;
        for (int i = 0; i < 3; ++i) set->bounds[i] = e.bounds.v[i];
      }
      for (const EulerEntry& entry : e.entries) {
        if (entry.range < 1 || entry.range > 4) continue;
        set->coef[entry.range - 1] = entry.b;
        set->exp[entry.range - 1] = entry.d;
      }
    }
  });
  return sets;
}

void Apply(const RangeSet& set, double re, double& coef, double& exp) {
  const int range = set.RangeOf(re);
  if (range < 0) return;
  coef = set.coef[range];
  exp = set.exp[range];
}

struct Outputs {
  double& coef;
  double& exp;
  double& coef_1;
  double& exp_1;
  double& coef_2;
  double& exp_2;
};

// A single type's set, or a mixed type's pair at each kind's Reynolds number.
void ApplySets(const RangeSet* set, bool mixed, const SelectionState& s, Outputs out) {
  if (!set) return;
  if (!mixed) return Apply(*set, s.re_in, out.coef, out.exp);
  Apply(set[0], s.re_in_1, out.coef_1, out.exp_1);
  Apply(set[1], s.re_in_2, out.coef_2, out.exp_2);
}

bool ConstantsAt(const RangeSet* set, double re, double& coef, double& exp) {
  const int range = set ? set->RangeOf(re) : -1;
  if (range < 0) return false;
  coef = set->coef[range];
  exp = set->exp[range];
  return true;
}

}  // namespace

double LowestCorrelatedRe(std::string_view plate_type, int kind) {
  const auto code = ParsePlateType(plate_type);
  if (!code) return NAN;
  const int single = SingleTypeIndex(code->channel);
  const auto [first, second] = single < 0 ? MixedKinds(code->channel) : std::pair{single, single};
  if (single >= 0 ? kind != 0 : kind != 1 && kind != 2) return NAN;
  if (!NusseltSets().present[code->model][first] || !NusseltSets().present[code->model][second])
    return NAN;
  double lowest = INFINITY;
  for (const Sets* sets : {&NusseltSets(), &EulerSets()}) {
    const RangeSet& set =
        single >= 0 ? sets->single[code->model][single]
                    : sets->mixed[code->model][code->channel == ChannelType::kHM ? 0 : 1][kind - 1];
    if (set.bounds_count > 0) lowest = std::min(lowest, set.bounds[set.bounds_count - 1]);
  }
  return std::isinf(lowest) ? NAN : lowest;
}

TypeCorrelations::TypeCorrelations(std::string_view plate_type) {
  const auto code = ParsePlateType(plate_type);
  if (!code) {
    kind_ = Kind::kNone;
    return;
  }
  const int single = SingleTypeIndex(code->channel);
  if (single >= 0) {
    kind_ = Kind::kSingle;
    if (NusseltSets().present[code->model][single]) nu_ = &NusseltSets().single[code->model][single];
    if (EulerSets().present[code->model][single]) eu_ = &EulerSets().single[code->model][single];
    return;
  }
  // Mixed: both kinds' sets, and none at all where either kind has none.
  kind_ = Kind::kMixed;
  const auto [first, second] = MixedKinds(code->channel);
  const int pair = code->channel == ChannelType::kHM ? 0 : 1;
  if (NusseltSets().present[code->model][first] && NusseltSets().present[code->model][second])
    nu_ = NusseltSets().mixed[code->model][pair].data();
  if (EulerSets().present[code->model][first] && EulerSets().present[code->model][second])
    eu_ = EulerSets().mixed[code->model][pair].data();
}

void TypeCorrelations::Nu(SelectionState& s) const {
  ApplySets(nu_, kind_ == Kind::kMixed, s, {s.nu_coef, s.nu_exp, s.nu_coef_1, s.nu_exp_1, s.nu_coef_2, s.nu_exp_2});
}

bool TypeCorrelations::NuAt(double re, double& coef, double& exp) const {
  return kind_ == Kind::kSingle && ConstantsAt(nu_, re, coef, exp);
}

int TypeCorrelations::NuRange(double re) const {
  return kind_ == Kind::kSingle && nu_ ? nu_->RangeOf(re) : -1;
}

int TypeCorrelations::EuRange(double re) const {
  return kind_ == Kind::kSingle && eu_ ? eu_->RangeOf(re) : -1;
}

bool TypeCorrelations::EuAt(double re, double& coef, double& exp) const {
  return kind_ == Kind::kSingle && ConstantsAt(eu_, re, coef, exp);
}

void TypeCorrelations::Eu(SelectionState& s) const {
  ApplySets(eu_, kind_ == Kind::kMixed, s, {s.eu_coef, s.eu_exp, s.eu_coef_1, s.eu_exp_1, s.eu_coef_2, s.eu_exp_2});
}

bool CorrelationsCover(std::string_view plate_type) {
  const auto code = ParsePlateType(plate_type);
  if (!code) return false;
  const int single = SingleTypeIndex(code->channel);
  const auto [first, second] = single < 0 ? MixedKinds(code->channel) : std::pair{single, single};
  for (const Sets* sets : {&NusseltSets(), &EulerSets()})
    if (!sets->present[code->model][first] || !sets->present[code->model][second]) return false;
  return true;
}

void Br_Nu(SelectionState& s) { TypeCorrelations(s.plate_type).Nu(s); }

void Br_Eu(SelectionState& s) { TypeCorrelations(s.plate_type).Eu(s); }

}  // namespace phe
