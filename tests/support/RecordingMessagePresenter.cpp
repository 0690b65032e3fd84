#include "support/RecordingMessagePresenter.h"

#include <sstream>

#include "toolkit/MessageService.h"

RecordingMessagePresenter::RecordingMessagePresenter() : previous_(MessageService::Install(this)) {}

RecordingMessagePresenter::~RecordingMessagePresenter() { MessageService::Install(previous_); }

MessageAnswer RecordingMessagePresenter::Present(const MessageRequest& request) {
  shown.push_back(request);
  if (answers.empty()) return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  const MessageAnswer a = answers.front();
  answers.pop_front();
  return a;
}

::testing::AssertionResult RecordingMessagePresenter::ShowedOnly(const std::string& caption, const std::string& text,
                                                                 std::optional<MessageIcon> icon) const {
  if (shown.size() == 1 && shown[0].caption == caption && shown[0].text == text && (!icon || shown[0].icon == *icon)) {
    return ::testing::AssertionSuccess();
  }
  std::ostringstream out;
  out << "expected one message [" << caption << "] \"" << text << "\"";
  if (icon) out << " with icon " << static_cast<int>(*icon);
  out << "; " << shown.size() << " shown";
  for (const MessageRequest& m : shown) {
    out << "\n  [" << m.caption << "] \"" << m.text << "\" icon " << static_cast<int>(m.icon);
  }
  return ::testing::AssertionFailure() << out.str();
}
