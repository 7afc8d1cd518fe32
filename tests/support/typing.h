// Entering a case as a user would, for the tests of the input panel, the
// validation and the heat balance.
#pragma once

#include <map>
#include <string>

#include "state/env.h"
#include "state/selection_state.h"
#include "ui/headless_form.h"
#include "ui/input_panel.h"

namespace phe::testing {

// As at the keyboard: one character at a time, each a change of the box, then
// the box is left. An empty text is a box cleared.
inline void TypeKeys(HeadlessForm& form, SelectionState& s, Env& env, const std::string& control,
                     const std::string& text) {
  const Handler change = ChangeHandler(control);
  if (text.empty()) {
    form.SetText(control, "");
    if (change) change(s, env);
  }
  for (size_t n = 1; n <= text.size(); ++n) {
    form.SetText(control, text.substr(0, n));
    if (change) change(s, env);
  }
  if (const Handler lost = LostFocusHandler(control)) lost(s, env);
}

// Every text box and list of the form with its text.
inline std::map<std::string, std::string> Boxes(const HeadlessForm& form) {
  std::map<std::string, std::string> out;
  for (const auto& n : form.ControlNames()) out[n] = form.Text(n);
  return out;
}

}  // namespace phe::testing
