#include "support/RecordingMessagePresenter.h"

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
