// Stops a run whose arithmetic went wrong (a division by zero, the logarithm
// of a non-positive number): no NaN or infinity may reach a shown field or the
// case record.
#pragma once

#include <string>

#include "state/env.h"
#include "state/selection_state.h"
#include "state/form_port.h"

namespace phe {

class RunGuard {
 public:
  // A run that was stopped may have left non-finite numbers in the record;
  // they are set to 0 here, so that they can neither feed this run nor hide a
  // fault of its own.
  RunGuard(FormPort& form, SelectionState& s);

  // When a number of the record is not finite: a message box saying where,
  // then RunAborted.
  void Check(const SelectionState& s, const std::string& where) const;

  // Name of the first field that is not finite, or "".
  static std::string FirstNonFinite(const SelectionState& s);

  // The quantity a field of the record holds, in the user's words
  // (wall_t0 -> 壁温查表温度); messages never show a field name.
  static std::string QuantityWords(const std::string& field);

 private:
  FormPort& form_;
};

}  // namespace phe
