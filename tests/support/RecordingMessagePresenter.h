#pragma once

#include <deque>
#include <vector>

#include "toolkit/MessagePresenter.h"

// Records every message box and answers from a queue (No when the queue is
// empty). Installs itself for its lifetime.
class RecordingMessagePresenter : public MessagePresenter {
 public:
  RecordingMessagePresenter();
  ~RecordingMessagePresenter() override;

  MessageAnswer Present(const MessageRequest& request) override;

  std::vector<MessageRequest> shown;
  std::deque<MessageAnswer> answers;

 private:
  MessagePresenter* previous_;
};
