// The one port through which the program reaches its window. The procedures
// read and write controls by their names (Txt_Th1, Com_jh, ...); the Qt window
// and the headless form both implement it.
#pragma once

#include <string>
#include <string_view>

#include "messages/messages.h"

namespace phe {

enum class MsgIcon { kCritical, kWarning, kQuestion, kInformation };
// kSaveDiscardCancel: 保存 / 不保存 / 取消, asked before unsaved changes to a
// case would be lost.
enum class MsgButtons { kOk, kYesNo, kSaveDiscardCancel, kAdoptClose };
enum class MsgAnswer { kOk, kYes, kNo, kSave, kDiscard, kCancel, kAdopt };

class FormPort {
 public:
  virtual ~FormPort() = default;

  // Text of a text box, or the text shown by a list.
  virtual std::string Text(std::string_view control) const = 0;
  // Writing a text is not a user edit: it runs no handler.
  virtual void SetText(std::string_view control, const std::string& text) = 0;

  // Position of the chosen list item, from 0; -1 when nothing is chosen.
  virtual int ListIndex(std::string_view control) const = 0;
  virtual void SetListIndex(std::string_view control, int index) = 0;

  virtual bool Enabled(std::string_view control) const = 0;
  virtual void SetEnabled(std::string_view control, bool enabled) = 0;

  virtual void SetFocus(std::string_view control) = 0;

  // A modal message box; returns the button pressed. The window formats
  // text and title in its language.
  virtual MsgAnswer MessageBox(const Message& text, const Message& title, MsgIcon icon,
                               MsgButtons buttons) = 0;

  // Busy cursor: on shows picture 0 of the animation and starts its timer;
  // off restores the default cursor and stops the timer.
  virtual void BusyOn() = 0;
  virtual void BusyOff() = 0;
  // Shows one picture (0..3) of the busy-cursor animation.
  virtual void ShowCursorPicture(int index) = 0;

  // Lets the window process pending events. Called from inside the
  // calculation loops, so it must be cheap.
  virtual void Yield() = 0;
};

// The message-box styles the program uses: 16 critical/OK, 48 warning/OK.
// `title` is the id of the box's title ("title.error", "title.notice").
inline MsgAnswer ShowMessage(FormPort& form, const Message& text, const char* title, int style) {
  MsgIcon icon = MsgIcon::kInformation;
  MsgButtons buttons = MsgButtons::kOk;
  switch (style & 0x70) {
    case 16: icon = MsgIcon::kCritical; break;
    case 32: icon = MsgIcon::kQuestion; break;
    case 48: icon = MsgIcon::kWarning; break;
    default: break;
  }
  if ((style & 0x7) == 4) buttons = MsgButtons::kYesNo;
  return form.MessageBox(text, Message(title), icon, buttons);
}

}  // namespace phe
