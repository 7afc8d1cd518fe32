#include "base/numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace phe {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Sign, digits and exponent of x written with 15 significant digits; the
// value is 0.d1d2...d15 * 10^point.
struct Decimal15 {
  bool negative = false;
  std::string digits;  // 15 digits
  int point = 0;
};

Decimal15 ToDecimal15(double x) {
  char buf[64];
  // to_chars never looks at the locale.
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
  const std::string s(buf, r.ptr);  // e.g. -2.67500000000000e+00
  Decimal15 d;
  size_t i = 0;
  if (s[i] == '-') {
    d.negative = true;
    ++i;
  }
  const size_t e = s.find('e');
  for (; i < e; ++i)
    if (IsDigit(s[i])) d.digits += s[i];
  int exponent = 0;
  std::from_chars(s.data() + e + (s[e + 1] == '+' ? 2 : 1), s.data() + s.size(), exponent);
  d.point = exponent + 1;
  return d;
}

std::string NonFinite(double x) {
  if (std::isnan(x)) return "nan";
  return x < 0 ? "-inf" : "inf";
}

// Power of ten of the leading digit of a plain decimal number text such as
// "0.00012" or "12.5e-400" (saturating; only its sign is used).
long DecimalMagnitude(const std::string& number) {
  const size_t e = number.find_first_of("eE");
  const std::string mantissa = number.substr(0, e);
  long exponent = 0;
  if (e != std::string::npos) {
    size_t j = e + 1;
    const bool neg = j < number.size() && number[j] == '-';
    if (j < number.size() && (number[j] == '+' || number[j] == '-')) ++j;
    for (; j < number.size(); ++j)
      if (exponent < 100000) exponent = exponent * 10 + (number[j] - '0');
    if (neg) exponent = -exponent;
  }
  const size_t dot = mantissa.find('.');
  const size_t whole_end = dot == std::string::npos ? mantissa.size() : dot;
  const size_t first = mantissa.find_first_of("123456789");
  if (first == std::string::npos) return -1;  // zero underflows
  if (first < whole_end) return static_cast<long>(whole_end - first - 1) + exponent;
  return -static_cast<long>(first - whole_end) + exponent;
}

}  // namespace

double Val(std::string_view text) {
  std::string t;
  t.reserve(text.size());
  for (char c : text)
    if (!IsBlank(c)) t += c;

  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  const size_t start = i;
  size_t mantissa_digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++mantissa_digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && IsDigit(t[i])) ++i, ++mantissa_digits;
  }
  if (mantissa_digits == 0) return 0.0;
  size_t end = i;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    if (j < t.size() && IsDigit(t[j])) {
      while (j < t.size() && IsDigit(t[j])) ++j;
      end = j;
    }
  }
  std::string number = t.substr(start, end - start);
  if (number[0] == '.') number.insert(number.begin(), '0');
  double v = 0.0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), v,
                                 std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: tiny magnitudes read as 0, huge ones as
    // the largest double, never as infinity.
    v = DecimalMagnitude(number) < 0 ? 0.0 : std::numeric_limits<double>::max();
  }
  return negative ? -v : v;
}

std::string HalfWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
    if (i + 2 < text.size() && b(0) == 0xEF && b(1) == 0xBC) {
      // U+FF0B..U+FF19: full-width + , - . / and the digits; U+FF25 is E.
      const unsigned c = b(2);
      if (c == 0x8B || c == 0x8D || c == 0x8E || (c >= 0x90 && c <= 0x99) || c == 0xA5) {
        out += static_cast<char>(c - 0x8B + '+');
        i += 2;
        continue;
      }
    }
    if (i + 2 < text.size() && b(0) == 0xEF && b(1) == 0xBD && b(2) == 0x85) {  // U+FF45 e
      out += 'e';
      i += 2;
      continue;
    }
    if (i + 2 < text.size() && b(0) == 0xE3 && b(1) == 0x80 && b(2) == 0x80) {  // U+3000
      out += ' ';
      i += 2;
      continue;
    }
    out += text[i];
  }
  return out;
}

std::string Trimmed(std::string_view text) {
  size_t a = 0, z = text.size();
  while (a < z && IsBlank(text[a])) ++a;
  while (z > a && IsBlank(text[z - 1])) --z;
  return std::string(text.substr(a, z - a));
}

bool ReadNumber(std::string_view text, double& value) {
  const std::string t = Trimmed(HalfWidth(text));
  const size_t a = 0, z = t.size();
  size_t i = a;
  if (i < z && (t[i] == '+' || t[i] == '-')) ++i;
  size_t digits = 0;
  while (i < z && IsDigit(t[i])) ++i, ++digits;
  if (i < z && t[i] == '.') {
    ++i;
    while (i < z && IsDigit(t[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < z && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < z && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < z && IsDigit(t[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  if (i != z) return false;
  value = Val(std::string_view(t).substr(a, z - a));
  return true;
}

std::string FormatFixed(double x, int decimals) {
  if (!std::isfinite(x)) return NonFinite(x);
  if (decimals < 0) decimals = 0;
  const Decimal15 d = ToDecimal15(x);

  // Digits of the whole part and of the decimals, as far as they are kept.
  const int kept = d.point + decimals;  // digits left of the cut, counted from d1
  std::string out_digits;               // digits before the cut, whole part first
  if (kept > 0) {
    for (int k = 0; k < kept; ++k)
      out_digits += k < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(k)] : '0';
  }
  // Half away from zero: the first dropped digit decides, the digits being an
  // exact decimal.
  const int first_dropped = kept;
  bool round_up = false;
  if (first_dropped >= 0 && first_dropped < static_cast<int>(d.digits.size()))
    round_up = d.digits[static_cast<size_t>(first_dropped)] >= '5';
  if (round_up) {
    int k = static_cast<int>(out_digits.size()) - 1;
    while (k >= 0 && out_digits[static_cast<size_t>(k)] == '9') out_digits[static_cast<size_t>(k--)] = '0';
    if (k >= 0)
      ++out_digits[static_cast<size_t>(k)];
    else
      out_digits.insert(out_digits.begin(), '1');
  }
  // Pad so there is at least one whole digit.
  if (static_cast<int>(out_digits.size()) < decimals + 1)
    out_digits.insert(0, static_cast<size_t>(decimals + 1) - out_digits.size(), '0');

  const size_t whole_len = out_digits.size() - static_cast<size_t>(decimals);
  std::string out = out_digits.substr(0, whole_len);
  if (decimals > 0) {
    out += '.';
    out.append(out_digits, whole_len, std::string::npos);
  }
  // A value that rounds to zero shows without a sign.
  const bool zero = out_digits.find_first_not_of('0') == std::string::npos;
  if (d.negative && !zero) out.insert(out.begin(), '-');
  return out;
}

std::string FormatSignificant(double x, int digits) {
  if (x == 0 || !std::isfinite(x)) return FormatFixed(x, 1);
  const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(x))));
  return FormatFixed(x, std::max(1, digits - 1 - magnitude));
}

std::string FormatTemperature(double t) {
  const std::string grid = FormatFixed(t, 1);
  return std::abs(Val(grid) - t) < 1e-9 ? grid : FormatFixed(t, 2);
}

std::string FormatGeneral(double x) {
  if (!std::isfinite(x)) return NonFinite(x);
  if (x == 0) return "0";
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 15);
  return std::string(buf, r.ptr);
}

std::string FormatWhole(double x) {
  if (!std::isfinite(x)) return NonFinite(x);
  const double w = std::trunc(x);
  if (w == 0) return "0";
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, w, std::chars_format::fixed, 0);
  return std::string(buf, r.ptr);
}

}  // namespace phe
