#include "workflow/run_command.h"

namespace phe {

// Second half of the Run command; being written, a run ends after the balance.
void RunSelection(SelectionState&, Env&) {}

}  // namespace phe
