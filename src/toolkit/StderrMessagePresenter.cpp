#include "toolkit/StderrMessagePresenter.h"

#include <cstdio>
#include <mutex>

MessageAnswer StderrMessagePresenter::Present(const MessageRequest& request) {
  static std::mutex printing;  // workers may raise messages too; keep lines whole
  const std::lock_guard lock(printing);
  std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.DisplayText().c_str());
  if (request.buttons == MessageButtons::YesNo) {
    std::fprintf(stderr, "(no one to answer: taken as No)\n");
    return MessageAnswer::No;
  }
  return MessageAnswer::Ok;
}
