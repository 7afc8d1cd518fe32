#include "ui/headless_form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ui/layout.h"

namespace phe {

namespace {

struct Names {
  std::vector<std::string> order;                            // layout order
  std::vector<std::pair<std::string_view, size_t>> sorted;  // by name, for lookups
};

const Names& ControlLayout() {
  static const Names names = [] {
    Names n;
    for (const auto& l : layout::kLists) n.order.push_back(l.name);
    for (const auto& c : layout::kInputTextBoxes) n.order.push_back(c);
    for (const auto& c : layout::kResultTextBoxes) n.order.push_back(c);
    for (int i = 2; i <= 5; ++i) n.order.push_back(layout::OptionName(i));
    for (size_t i = 0; i < n.order.size(); ++i) n.sorted.emplace_back(n.order[i], i);
    std::sort(n.sorted.begin(), n.sorted.end());
    return n;
  }();
  return names;
}

const std::vector<std::string> kNoItems;

}  // namespace

HeadlessForm::HeadlessForm() : controls_(ControlLayout().order.size()) {
  for (size_t i = 0; i < layout::kLists.size(); ++i) controls_[i].items = &layout::kLists[i].items;
  for (const auto& st : layout::kStartTexts) At(st.name).text = st.text;
}

size_t HeadlessForm::Find(std::string_view control) const {
  const Names& names = ControlLayout();
  if (names.order[last_] == control) return last_;
  const auto it = std::lower_bound(names.sorted.begin(), names.sorted.end(), control,
                                   [](const auto& e, std::string_view c) { return e.first < c; });
  if (it == names.sorted.end() || it->first != control)
    throw std::out_of_range("no control named " + std::string(control));
  last_ = it->second;
  return last_;
}

std::string HeadlessForm::Text(std::string_view control) const { return At(control).text; }

void HeadlessForm::SetText(std::string_view control, const std::string& text) {
  Control& c = At(control);
  c.text = text;
  // A list's text written by the program selects the matching item, if any.
  if (c.items) {
    c.index = -1;
    for (size_t i = 0; i < c.items->size(); ++i)
      if ((*c.items)[i] == text) c.index = static_cast<int>(i);
  }
}

int HeadlessForm::ListIndex(std::string_view control) const { return At(control).index; }

void HeadlessForm::SetListIndex(std::string_view control, int index) {
  Control& c = At(control);
  const auto& items = c.items ? *c.items : kNoItems;
  if (index < -1 || index >= static_cast<int>(items.size()))
    throw std::out_of_range("list " + std::string(control) + " has no item " +
                            std::to_string(index));
  c.index = index;
  c.text = index < 0 ? std::string() : items[static_cast<size_t>(index)];
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
  if (message_texts) {
    m.text = Format(text, Lang::kZh);
    m.title = Format(title, Lang::kZh);
  }
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
  const MsgAnswer answer = m.answer;
  messages.push_back(std::move(m));
  focus_pending_ = true;
  return answer;
}

void HeadlessForm::BusyOn() { cursor_picture = 0; }

void HeadlessForm::BusyOff() {}

void HeadlessForm::ShowCursorPicture(int index) { cursor_picture = index; }

void HeadlessForm::Yield() {}

bool HeadlessForm::IsList(std::string_view control) const { return At(control).items != nullptr; }

const std::vector<std::string>& HeadlessForm::Items(std::string_view control) const {
  const Control& c = At(control);
  return c.items ? *c.items : kNoItems;
}

int HeadlessForm::FindItem(std::string_view control, std::string_view item) const {
  const auto& items = Items(control);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == item) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> HeadlessForm::ControlNames() const {
  std::vector<std::string> out;
  for (const auto& n : ControlLayout().order)
    if (n.rfind("opt_br(", 0) != 0) out.push_back(n);
  return out;
}

}  // namespace phe
