#pragma once
// Dispatcher: reads the header of each whole message and calls the reply handler
// registered for its command code. Each viewer has its own dispatcher.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "protocol/dwbuffer.h"
#include "protocol/interaction.h"

namespace orvenda {

class Dispatcher {
 public:
  // Called with the cursor on the first field after the command code.
  using Handler = std::function<void(DWBUffer&)>;
  using ResultHandler = std::function<void(std::int16_t)>;
  // Told once per broken stretch when a message cannot be read.
  using Fault = std::function<void(const std::string&)>;

  explicit Dispatcher(Interaction& ui) : ui_(ui) {}

  void Register(std::int16_t code, Handler handler);
  // Reply 104 has two handlers: information, or attribute editing.
  void RegisterAttributeEditing(Handler handler) { attributeEditing_ = std::move(handler); }
  void SetAttributeEditingMode(bool on) { attributeEditingMode_ = on; }
  bool AttributeEditingMode() const { return attributeEditingMode_; }
  // Reply 241 carries one result Integer.
  void RegisterSaveResult(ResultHandler handler) { saveResult_ = std::move(handler); }
  void SetFault(Fault fault) { fault_ = std::move(fault); }
  // Where windows wait until the receiver has handed over the whole arrival
  // (ServerLink::AfterReceive). Without it they open at once.
  using Later = std::function<void(std::function<void()>)>;
  void SetLater(Later later) { later_ = std::move(later); }
  // A message box with an OK button, opened once the arrival is handed over.
  void Tell(std::string text, std::string title, MessageIcon icon);

  // Handles one whole message. A message shorter than its fields is dropped and
  // reported; returns false then.
  bool ProcessServerMessage(DWBUffer& message);

 private:
  void Route(std::int16_t code, DWBUffer& message);
  void NotUnderstood();

  Interaction& ui_;
  std::unordered_map<std::int16_t, Handler> handlers_;
  Handler attributeEditing_;
  bool attributeEditingMode_ = false;
  ResultHandler saveResult_;
  Fault fault_;
  Later later_;
};

}  // namespace orvenda
