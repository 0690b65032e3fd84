#include "windows/RemoveAddressesPrompt.h"

#include <QApplication>

#include "windows/RemoveAddressesWindow.h"

void RemoveAddressesPrompt::Ask(kwIPcl& addresses) {
  RemoveAddressesWindow window(addresses, QApplication::activeWindow());
  window.exec();
}
