// A window without a screen: every control is a record, every message box is
// recorded and answered. Used by the command-line driver and the tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "state/form_port.h"

namespace phe {

struct RecordedMessage {
  Message message;
  Message title_message;
  std::string text;   // the message in Chinese
  std::string title;  // its title in Chinese
  MsgIcon icon = MsgIcon::kInformation;
  MsgButtons buttons = MsgButtons::kOk;
  MsgAnswer answer = MsgAnswer::kOk;
  std::optional<std::string> focus;  // the control the program focused right after it
};

class HeadlessForm : public FormPort {
 public:
  HeadlessForm();

  std::string Text(std::string_view control) const override;
  void SetText(std::string_view control, const std::string& text) override;
  int ListIndex(std::string_view control) const override;
  void SetListIndex(std::string_view control, int index) override;
  bool Enabled(std::string_view control) const override;
  void SetEnabled(std::string_view control, bool enabled) override;
  void SetFocus(std::string_view control) override;
  MsgAnswer MessageBox(const Message& text, const Message& title, MsgIcon icon,
                       MsgButtons buttons) override;
  void BusyOn() override;
  void BusyOff() override;
  void ShowCursorPicture(int index) override;
  void Yield() override;

  bool IsList(std::string_view control) const;
  const std::vector<std::string>& Items(std::string_view control) const;
  // Position of an item in a list, or -1.
  int FindItem(std::string_view control, std::string_view item) const;
  // Names of every text box and list, in layout order.
  std::vector<std::string> ControlNames() const;

  // The answer given to Yes/No boxes (OK boxes are always answered OK, the
  // save question with 保存).
  MsgAnswer yes_no_answer = MsgAnswer::kYes;

  std::vector<RecordedMessage> messages;
  std::string focus;
  int cursor_picture = -1;

 private:
  struct Control {
    std::string text;
    std::vector<std::string> items;
    bool is_list = false;
    int index = -1;
    bool enabled = true;
  };
  Control& At(std::string_view control);
  const Control& At(std::string_view control) const;

  using Controls = std::map<std::string, Control, std::less<>>;
  // The control found last; a copy of the form starts without one, since the
  // iterator belongs to this form's map.
  struct LastFound {
    Controls::iterator it;
    bool known = false;
    LastFound() = default;
    LastFound(const LastFound&) {}
    LastFound& operator=(const LastFound&) {
      known = false;
      return *this;
    }
  };

  std::vector<std::string> order_;
  Controls controls_;
  mutable LastFound last_;
  bool focus_pending_ = false;
};

}  // namespace phe
