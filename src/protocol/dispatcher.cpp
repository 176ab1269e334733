#include "protocol/dispatcher.h"

#include "protocol/catalogue.h"
#include "protocol/protocolerror.h"

namespace orvenda {

void Dispatcher::Register(std::int16_t code, Handler handler) {
  handlers_[code] = std::move(handler);
}

bool Dispatcher::ProcessServerMessage(DWBUffer& message) {
  std::int16_t code = 0;
  try {
    message.GetLong();  // magic
    message.GetLong();  // length
    code = message.GetInteger();
    Route(code, message);
    return true;
  } catch (const std::exception& e) {
    // A reply the handler could not read, or that made no sense to the model:
    // drop it and carry on with the next one.
    if (fault_) {
      fault_("The map server sent a message that could not be read (command " +
             std::to_string(code) + "): " + e.what() + ". It was ignored.");
    }
    return false;
  }
}

void Dispatcher::Route(std::int16_t code, DWBUffer& message) {
  if (code == cmd::kIgnored107 || code == cmd::kIgnored108) return;
  if (code == cmd::kSaveMapReply && saveResult_) {
    saveResult_(message.GetInteger());
    return;
  }
  if (code == cmd::kElementAttributesReply && attributeEditingMode_ && attributeEditing_) {
    attributeEditing_(message);
    return;
  }
  const auto it = handlers_.find(code);
  if (it == handlers_.end() || !it->second) {
    NotUnderstood();
    return;
  }
  it->second(message);
}

void Dispatcher::NotUnderstood() {
  Tell("Error!\nNo se entiende el comando", "Proyecto Tarrowito", MessageIcon::None);
}

void Dispatcher::Tell(std::string text, std::string title, MessageIcon icon) {
  auto show = [this, text = std::move(text), title = std::move(title), icon] {
    ui_.MessageBox(text, title, icon, MessageButtons::Ok);
  };
  if (later_) {
    later_(std::move(show));
  } else {
    show();
  }
}

}  // namespace orvenda
