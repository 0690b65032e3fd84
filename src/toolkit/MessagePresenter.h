#pragma once

#include "toolkit/MessageRequest.h"

// Shows one message box and returns the answer. Called on the thread that raised
// the message; blocks until the box is answered or times out. A presenter that
// cannot ask (no display, no person) answers Ok or No, never Yes: a question
// left unanswered must not approve anything.
class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  virtual MessageAnswer Present(const MessageRequest& request) = 0;
};
