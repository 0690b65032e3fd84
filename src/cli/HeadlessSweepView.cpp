#include "cli/HeadlessSweepView.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>

HeadlessSweepView::HeadlessSweepView() : progress_(::isatty(STDERR_FILENO) == 1) {}

void HeadlessSweepView::SetStartButton(const std::string& text, StartIcon) {
  if (!progress_ || text.rfind("Wait: ", 0) != 0) return;
  std::fprintf(stderr, "\r%-12s", text.c_str());
  std::fflush(stderr);
}

void HeadlessSweepView::SweepFinished() {
  if (progress_) std::fprintf(stderr, "\r%-12s\r", "");
  QCoreApplication::quit();
}
