#include "ui/headless_form.h"

#include <stdexcept>
#include <utility>

#include "ui/layout.h"

namespace phe {

HeadlessForm::HeadlessForm() {
  auto add = [&](const std::string& name, Control c) {
    order_.push_back(name);
    controls_.emplace(name, std::move(c));
  };
  for (const auto& l : layout::kLists) {
    Control c;
    c.is_list = true;
    c.items = l.items;
    add(l.name, std::move(c));
  }
  for (const auto& n : layout::kInputTextBoxes) add(n, {});
  for (const auto& n : layout::kResultTextBoxes) add(n, {});
  for (int i = 2; i <= 5; ++i) add(layout::OptionName(i), {});
  for (const auto& st : layout::kStartTexts) At(st.name).text = st.text;
}

HeadlessForm::Control& HeadlessForm::At(std::string_view control) {
  return const_cast<Control&>(std::as_const(*this).At(control));
}

const HeadlessForm::Control& HeadlessForm::At(std::string_view control) const {
  // The engines ask for the same control at every step (the plate material).
  if (last_.known && last_.it->first == control) return last_.it->second;
  auto it = const_cast<Controls&>(controls_).find(control);
  if (it == controls_.end()) throw std::out_of_range("no control named " + std::string(control));
  last_.it = it;
  last_.known = true;
  return it->second;
}

std::string HeadlessForm::Text(std::string_view control) const { return At(control).text; }

void HeadlessForm::SetText(std::string_view control, const std::string& text) {
  Control& c = At(control);
  c.text = text;
  // A list's text written by the program selects the matching item, if any.
  if (c.is_list) {
    c.index = -1;
    for (size_t i = 0; i < c.items.size(); ++i)
      if (c.items[i] == text) c.index = static_cast<int>(i);
  }
}

int HeadlessForm::ListIndex(std::string_view control) const { return At(control).index; }

void HeadlessForm::SetListIndex(std::string_view control, int index) {
  Control& c = At(control);
  if (index < -1 || index >= static_cast<int>(c.items.size()))
    throw std::out_of_range("list " + std::string(control) + " has no item " +
                            std::to_string(index));
  c.index = index;
  c.text = index < 0 ? std::string() : c.items[static_cast<size_t>(index)];
}

bool HeadlessForm::Enabled(std::string_view control) const { return At(control).enabled; }

void HeadlessForm::SetEnabled(std::string_view control, bool enabled) {
  At(control).enabled = enabled;
}

void HeadlessForm::SetFocus(std::string_view control) {
  At(control);
  focus = std::string(control);
  if (focus_pending_ && !messages.empty()) {
    messages.back().focus = focus;
    focus_pending_ = false;
  }
}

MsgAnswer HeadlessForm::MessageBox(const Message& text, const Message& title, MsgIcon icon,
                                   MsgButtons buttons) {
  RecordedMessage m;
  m.message = text;
  m.title_message = title;
  m.text = Format(text, Lang::kZh);
  m.title = Format(title, Lang::kZh);
  m.icon = icon;
  m.buttons = buttons;
  switch (buttons) {
    case MsgButtons::kOk: m.answer = MsgAnswer::kOk; break;
    case MsgButtons::kYesNo: m.answer = yes_no_answer; break;
    // Its default button, as in the window.
    case MsgButtons::kSaveDiscardCancel: m.answer = MsgAnswer::kSave; break;
    // Nothing is adopted unasked.
    case MsgButtons::kAdoptClose: m.answer = MsgAnswer::kCancel; break;
  }
  messages.push_back(m);
  focus_pending_ = true;
  return m.answer;
}

void HeadlessForm::BusyOn() { cursor_picture = 0; }

void HeadlessForm::BusyOff() {}

void HeadlessForm::ShowCursorPicture(int index) { cursor_picture = index; }

void HeadlessForm::Yield() {}

bool HeadlessForm::IsList(std::string_view control) const { return At(control).is_list; }

const std::vector<std::string>& HeadlessForm::Items(std::string_view control) const {
  return At(control).items;
}

int HeadlessForm::FindItem(std::string_view control, std::string_view item) const {
  const auto& items = At(control).items;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == item) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> HeadlessForm::ControlNames() const {
  std::vector<std::string> out;
  for (const auto& n : order_)
    if (n.rfind("opt_br(", 0) != 0) out.push_back(n);
  return out;
}

}  // namespace phe
