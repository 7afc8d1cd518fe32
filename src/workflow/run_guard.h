// Stops a run whose arithmetic went wrong (a division by zero, the logarithm
// of a non-positive number): no NaN or infinity may reach a shown field or the
// case record.
#pragma once

#include <string>
#include <vector>

#include "state/env.h"
#include "state/selection_state.h"
#include "ui/form_port.h"

namespace phe {

class RunGuard {
 public:
  // Remembers the record as the run found it: a value left over from an
  // earlier run is not this run's fault.
  RunGuard(FormPort& form, const SelectionState& s);

  // When a number of the record turned non-finite during this run: a message
  // box saying where, then RunAborted.
  void Check(const SelectionState& s, const std::string& where) const;

  // Name of the first field that turned non-finite since the guard was made,
  // or "".
  std::string FirstNewNonFinite(const SelectionState& s) const;

 private:
  FormPort& form_;
  std::vector<double> before_;
};

}  // namespace phe
