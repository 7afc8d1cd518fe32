// The reference texts of the menu bar: notes on the program, the plate types,
// typical coefficients, fouling factors and steam temperatures.
#pragma once

#include <string>
#include <vector>

namespace phe::qt {

struct ReferenceMenu {
  std::string title;
  std::string key;  // the letter that opens the menu with Alt
  std::vector<std::string> entries;
};

// Left to right, as the menu bar shows them.
const std::vector<ReferenceMenu>& ReferenceMenus();

}  // namespace phe::qt
