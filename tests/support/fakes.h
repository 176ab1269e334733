#pragma once
// Test doubles of the small seams: a clock the test moves, an event pump that
// runs a callback, a script of message-box answers with a log, and a viewer
// context that records what the connection code did to it.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "protocol/interaction.h"
#include "protocol/timing.h"
#include "protocol/viewercontext.h"
#include "viewer/popupmenu.h"

namespace orvenda::testing {

class FakeClock : public Clock {
 public:
  std::int32_t now = 12 * 3600;
  std::int32_t SecondsOfDay() const override { return now; }
};

class FakePump : public EventPump {
 public:
  std::function<void()> onPump;
  int calls = 0;
  void ProcessEvents() override {
    ++calls;
    if (onPump) onPump();
  }
};

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
  MessageButtons buttons;
};

class ScriptedInteraction : public Interaction {
 public:
  // Answers given in order; Ok when the script runs out.
  std::deque<MessageAnswer> answers;
  std::vector<ShownMessage> shown;

  // Runs while each message box is up, after it was logged.
  std::function<void(const ShownMessage&)> onMessage;
  // Runs in place of each modal form: it fills the form and presses its buttons.
  std::function<void(ModalForm&)> onModal;

  void ShowModal(ModalForm& form) override {
    if (onModal) onModal(form);
  }
  MessageAnswer MessageBox(const std::string& text, const std::string& title, MessageIcon icon,
                           MessageButtons buttons) override {
    shown.push_back({text, title, icon, buttons});
    if (onMessage) onMessage(ShownMessage(shown.back()));
    if (answers.empty()) return MessageAnswer::Ok;
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
};

// Menus answered from a script.
class ScriptedMenus : public PopupMenus {
 public:
  std::deque<std::string> answers;  // one for each menu shown, taken in turn
  std::string Popup(const std::string&, const std::vector<MenuItem>&, int, int) override {
    if (answers.empty()) return {};
    std::string answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

class RecordingViewer : public ViewerContext {
 public:
  std::int32_t pending = 0;
  std::vector<int> pointers;  // every pointer set, in order
  bool readingVisible = false;
  std::uint32_t readingColour = kReadingGreen;
  int toolPointerRestored = 0;
  int loadingPassesFinished = 0;

  std::int32_t PendingRequests() const override { return pending; }
  void SetPendingRequests(std::int32_t value) override { pending = value; }
  void SetMousePointer(int pointer) override { pointers.push_back(pointer); }
  void RestoreToolPointer() override { ++toolPointerRestored; }
  void ShowReadingData(bool visible) override { readingVisible = visible; }
  std::uint32_t ReadingDataColour() const override { return readingColour; }
  void SetReadingDataColour(std::uint32_t colour) override { readingColour = colour; }
  void FinishLoadingPass() override { ++loadingPassesFinished; }
};

}  // namespace orvenda::testing
