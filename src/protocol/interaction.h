#pragma once
// Interaction: everything that asks the person in front of the screen something or
// shows them something modal. Qt implements it with QMessageBox and friends; tests
// answer from a script and keep a log.

#include <string>

namespace orvenda {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// A form that is shown modally: its caller fills it, shows it and reads the flags
// (Accepted, Cancelled...) that the form set before it hid itself. The user
// interface runs it as a modal window; tests drive it without one.
class ModalForm {
 public:
  virtual ~ModalForm() = default;
};

class Interaction {
 public:
  virtual ~Interaction() = default;
  virtual MessageAnswer MessageBox(const std::string& text, const std::string& title,
                                   MessageIcon icon, MessageButtons buttons) = 0;
  // Shows `form` modally and returns once it is hidden. Without a user interface
  // (the default) the form is not shown and keeps the flags it had.
  virtual void ShowModal(ModalForm& form) { (void)form; }
  // Opens a web address in the desktop's browser without waiting for it; false
  // when nothing could open it (also the default).
  virtual bool OpenAddress(const std::string& address) {
    (void)address;
    return false;
  }
};

}  // namespace orvenda
