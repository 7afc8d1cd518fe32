// The window's event handlers: they keep the record in step with the inputs.
// Each is named after its control and event.
#pragma once

#include "state/env.h"
#include "state/selection_state.h"

namespace phe {

// Start-up: state defaults, then the lists' start-up selections (each running
// its selection handler). The database is opened by the caller.
void Form_Load(SelectionState& s, Env& env);
// The user changed the text of a box (typing, a paste, a case file): a value
// the last run computed there becomes the user's input.
void TextEdited(Env& env, std::string_view control);
// Close confirmation; true when the window may close.
bool Form_Unload(SelectionState& s, Env& env);
// One tick of the busy-cursor animation.
void Timer_Timer(SelectionState& s, Env& env);

void Txt_Th1_LostFocus(SelectionState& s, Env& env);
void Txt_Th2_LostFocus(SelectionState& s, Env& env);
void Txt_Tc1_LostFocus(SelectionState& s, Env& env);
void Txt_Tc2_LostFocus(SelectionState& s, Env& env);
void Txt_Qh_LostFocus(SelectionState& s, Env& env);
void Txt_Qc_LostFocus(SelectionState& s, Env& env);
void Txt_Wq_LostFocus(SelectionState& s, Env& env);
void Txt_GF1_Change(SelectionState& s, Env& env);
void Txt_N_Change(SelectionState& s, Env& env);
void Txt_Rhc_Change(SelectionState& s, Env& env);
// The fouling check of Txt_Rhc_Change without its message box, for the Run
// command's refresh (which reports a refused value itself and ends the run):
// false when the value is refused and fouling keeps its previous value.
bool Txt_Rhc_Refresh(SelectionState& s, Env& env);
void Com_jh_LostFocus(SelectionState& s, Env& env);
void Com_jc_LostFocus(SelectionState& s, Env& env);
void Com_pg_Click(SelectionState& s, Env& env);
void Com_uh_Click(SelectionState& s, Env& env);
void Com_uc_Click(SelectionState& s, Env& env);
void Com_bpc_Click(SelectionState& s, Env& env);
void Com_bph_Click(SelectionState& s, Env& env);
void Com_dpc_Click(SelectionState& s, Env& env);
void Com_jgl_Change(SelectionState& s, Env& env);
void com_br_Click(SelectionState& s, Env& env);
void com_zh_Change(SelectionState& s, Env& env);
void opt_br_Click(SelectionState& s, Env& env, int index);

// The handler a control runs when the user edits it (Change), leaves it
// (LostFocus) or picks a list item (Click), by control name; nullptr when the
// control has none. The headless driver and the Qt window both use these.
using Handler = void (*)(SelectionState&, Env&);
Handler ChangeHandler(std::string_view control);
Handler LostFocusHandler(std::string_view control);
Handler ClickHandler(std::string_view control);

}  // namespace phe
