#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QClipboard>
#include <QMenu>
#include <QTableView>

#include "support/RecordingShellLauncher.h"
#include "toolkit/widgets/PopupMenucl.h"
#include "windows/DeviceListModel.h"
#include "windows/NewDevicesWindow.h"

namespace {
DeviceRow Row(const std::string& address, const std::string& mac, const std::string& description, long style = 1) {
  DeviceRow row;
  row.SetAddress(address);
  row.SMAC = mac;
  row.SVENDOR = description;
  row.SVENDOR.resize(64, ' ');  // as the vendor lookup pads it
  row.STYLE_COLUMN1 = row.STYLE_COLUMN2 = row.STYLE_COLUMN3 = style;
  return row;
}

// Chooses the menu item with the given number, as a person would, and keeps
// the texts of the menu it was shown.
class MenuChoice {
 public:
  explicit MenuChoice(long item)
      : previous_(PopupMenucl::SetPresenter([this, item](QMenu& menu) -> QAction* {
          long number = 0;
          QAction* chosen = nullptr;
          texts.clear();
          for (QAction* action : menu.actions()) {
            if (action->isSeparator()) continue;
            texts.push_back(action->text().toStdString());
            if (++number == item) chosen = action;
          }
          return chosen;
        })) {}
  ~MenuChoice() { PopupMenucl::SetPresenter(previous_); }
  std::vector<std::string> texts;

 private:
  PopupMenucl::Presenter previous_;
};

void RightClick(NewDevicesWindow& window, int row) {
  QTableView* list = window.List();
  const QRect cell = list->visualRect(list->model()->index(row, 0));
  emit list->customContextMenuRequested(cell.center());
}

TEST(NewDevices, ListedInAddressOrderWithTheMainListsLook) {
  const std::vector<DeviceRow> found = {Row("192.168.1.20", "00:1B:21:3C:00:30", "Intel Corporate"),
                                        Row("192.168.1.3", "0A:C5:D2:E1:00:11", "** Sendora **", 2)};
  NewDevicesWindow window(found);
  window.show();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("New Devices"));
  const QAbstractItemModel* model = window.List()->model();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->data(model->index(0, 0)).toString(), QStringLiteral("192.168.1.3"));
  EXPECT_EQ(model->data(model->index(1, 0)).toString(), QStringLiteral("192.168.1.20"));
  // The maker's row keeps its label, without the lookup's padding, and its colour.
  EXPECT_EQ(model->data(model->index(0, 2)).toString(), QStringLiteral("** Sendora **"));
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(model->data(model->index(0, column), Qt::ForegroundRole).value<QBrush>().color(), QColor(255, 0, 0));
    EXPECT_EQ(model->data(model->index(1, column), Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 0));
  }
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("IP Address"));
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("MAC Address"));
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Description"));
  EXPECT_EQ(window.List()->toolTip(), QStringLiteral("Right Click = Launch External Browser"));
}

TEST(NewDevices, StyleNumbersGiveTheListColours) {
  EXPECT_EQ(DeviceListModel::StyleColour(1), QColor(0, 0, 0));
  EXPECT_EQ(DeviceListModel::StyleColour(2), QColor(255, 0, 0));
  EXPECT_EQ(DeviceListModel::StyleColour(3), QColor(0, 0, 255));
}

TEST(NewDevices, PopupMenuOpensTheBrowserOrCopiesTheMac) {
  const std::vector<DeviceRow> found = {Row("192.168.1.3", "0A:C5:D2:E1:00:11", "** Sendora **", 2),
                                        Row("192.168.1.9", "", "")};
  NewDevicesWindow window(found);
  window.show();
  RecordingShellLauncher shell;
  QClipboard* clipboard = QGuiApplication::clipboard();

  {
    MenuChoice choice(NewDevicesWindow::kHttp);
    RightClick(window, 0);
    EXPECT_EQ(choice.texts,
              (std::vector<std::string>{"Launch browser .. http://192.168.1.3", "Launch browser .. https://192.168.1.3",
                                        "Copy MAC Address to Clipboard"}));
  }
  {
    MenuChoice choice(NewDevicesWindow::kHttps);
    RightClick(window, 0);
  }
  ASSERT_EQ(shell.launched.size(), 2u);
  EXPECT_EQ(shell.launched[0].file, "http://192.168.1.3");
  EXPECT_EQ(shell.launched[1].file, "https://192.168.1.3");
  for (const ShellRequest& r : shell.launched) {
    EXPECT_EQ(r.kind, ShellRequest::Kind::Document);
    EXPECT_FALSE(r.elevate);
    EXPECT_FALSE(r.wait);
  }

  clipboard->setText(QStringLiteral("kept"));
  {
    MenuChoice choice(NewDevicesWindow::kCopyMac);
    RightClick(window, 1);  // no MAC address: the clipboard stays as it was
  }
  EXPECT_EQ(clipboard->text(), QStringLiteral("kept"));
  {
    MenuChoice choice(NewDevicesWindow::kCopyMac);
    RightClick(window, 0);
  }
  EXPECT_EQ(clipboard->text(), QStringLiteral("0A:C5:D2:E1:00:11"));
  {
    MenuChoice dismissed(NewDevicesWindow::kDismissed);
    RightClick(window, 0);
  }
  EXPECT_EQ(shell.launched.size(), 2u);
}
}  // namespace
