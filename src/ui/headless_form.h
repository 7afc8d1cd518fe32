// A window without a screen: every control is a record, every message box is
// recorded and answered. Used by the command-line driver and the tests.
#pragma once

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
  // False: messages are recorded without their Chinese texts, for a run
  // whose messages are read for their ids and icons alone.
  bool message_texts = true;
  std::string focus;
  int cursor_picture = -1;

 private:
  struct Control {
    std::string text;
    const std::vector<std::string>* items = nullptr;  // a list's, from the layout
    int index = -1;
    bool enabled = true;
  };
  size_t Find(std::string_view control) const;
  Control& At(std::string_view control) { return controls_[Find(control)]; }
  const Control& At(std::string_view control) const { return controls_[Find(control)]; }

  // In layout order. Names and lists are the layout's and shared by every
  // form, so that the search's copy of a form per candidate stays cheap.
  std::vector<Control> controls_;
  mutable size_t last_ = 0;  // the engines ask for the same control at every step
  bool focus_pending_ = false;
};

}  // namespace phe
