#include "toolkit/MessageService.h"

#include <atomic>
#include <utility>

#include "toolkit/MessagePresenter.h"
#include "toolkit/StderrMessagePresenter.h"

namespace {
StderrMessagePresenter gStderrPresenter;
std::atomic<MessagePresenter*> gPresenter{nullptr};
}  // namespace

std::string MessageRequest::DisplayText() const {
  std::string out = text;
  for (char& c : out) {
    if (c == '|') c = '\n';
  }
  return out;
}

MessageAnswer MessageService::Show(const MessageRequest& request) {
  MessagePresenter* presenter = gPresenter.load();
  return presenter ? presenter->Present(request) : gStderrPresenter.Present(request);
}

MessageAnswer MessageService::Show(std::string text, std::string caption, MessageIcon icon, MessageButtons buttons,
                                   int timeoutSeconds) {
  return Show(MessageRequest{std::move(text), std::move(caption), icon, buttons, timeoutSeconds});
}

MessagePresenter* MessageService::Install(MessagePresenter* presenter) { return gPresenter.exchange(presenter); }
