#pragma once
// Interaction: everything that asks the person in front of the screen something or
// shows them something modal. Qt implements it with QMessageBox and friends; tests
// answer from a script and keep a log.

#include <string>

namespace orvenda {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

class Interaction {
 public:
  virtual ~Interaction() = default;
  virtual MessageAnswer MessageBox(const std::string& text, const std::string& title,
                                   MessageIcon icon, MessageButtons buttons) = 0;
};

}  // namespace orvenda
