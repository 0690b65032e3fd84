#include "scan/SweepView.h"

#include "toolkit/MessageService.h"

void SweepView::ShowError(const std::string& text) { MessageService::Show(text, "Error"); }
