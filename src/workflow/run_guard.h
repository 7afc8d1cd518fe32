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

  // When a number of the record is not finite: a message box naming the
  // stage (a catalogue id, "stage.design"), then RunAborted.
  void Check(const SelectionState& s, const char* stage) const;

  // Name of the first field that is not finite, or "".
  static std::string FirstNonFinite(const SelectionState& s);

  // The quantity a field of the record holds, in the user's words
  // (dp_port_h -> 热介质接口压降): a message "quantity" with the arguments
  // side and quantity; messages never show a field name.
  static Message QuantityWords(const std::string& field);

 private:
  FormPort& form_;
};

}  // namespace phe
