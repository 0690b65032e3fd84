#include "windows/NewDevicesWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "toolkit/kwTools.h"
#include "toolkit/widgets/DialogUnits.h"
#include "toolkit/widgets/PopupMenucl.h"
#include "ui_NewDevicesWindow.h"
#include "windows/DeviceListModel.h"
#include "windows/RowListStyle.h"

namespace {
// Column widths of the device lists, in dialog units.
constexpr int kColumnWidths[] = {60, 65, 80};
}  // namespace

NewDevicesWindow::NewDevicesWindow(const std::vector<DeviceRow>& rows, QWidget* parent)
    : QDialog(parent), rows_(rows), ui_(std::make_unique<Ui::NewDevicesWindow>()) {
  std::stable_sort(rows_.begin(), rows_.end(),
                   [](const DeviceRow& a, const DeviceRow& b) { return a.DWADDR() < b.DWADDR(); });

  ui_->setupUi(this);
  DialogUnits::Apply(this);
  setFixedSize(size());

  model_ = new DeviceListModel(rows_, this);
  QTableView* list = ui_->LIST_NEWDEVICEQ;
  list->setModel(model_);
  // The widths were chosen for a narrow font: a column is never narrower than its text.
  const QAbstractItemView* view = list;  // the table view keeps its own hint protected
  for (int column = 0; column < 3; ++column) {
    list->setColumnWidth(column, std::max(DialogUnits::X(kColumnWidths[column]), view->sizeHintForColumn(column)));
  }
  RowListStyle::Apply(list);

  connect(list, &QWidget::customContextMenuRequested, this, &NewDevicesWindow::ShowMenu);
  connect(ui_->CLOSEBUTTON, &QPushButton::clicked, this, &QDialog::accept);
}

NewDevicesWindow::~NewDevicesWindow() = default;

QTableView* NewDevicesWindow::List() const { return ui_->LIST_NEWDEVICEQ; }

void NewDevicesWindow::ShowMenu(const QPoint& position) {
  const int row = ui_->LIST_NEWDEVICEQ->indexAt(position).row();
  const DeviceRow* device = model_->RowAt(row);
  if (!device) return;
  const std::string address = kwTools::Clip(device->SIPADDRESS);
  PopupMenucl menu;
  menu.AddText("Launch browser .. http://" + address);
  menu.AddText("Launch browser .. https://" + address);
  menu.AddSeparator();
  menu.AddText("Copy MAC Address to Clipboard");
  RunMenuItem(row, menu.Show());
}

void NewDevicesWindow::RunMenuItem(int row, long item) {
  const DeviceRow* device = model_->RowAt(row);
  if (!device) return;
  switch (item) {
    case kHttp:
      kwTools().ShellRun("http://" + device->SIPADDRESS);
      break;
    case kHttps:
      kwTools().ShellRun("https://" + device->SIPADDRESS);
      break;
    case kCopyMac: {
      const std::string mac = kwTools::Clip(device->SMAC);
      if (!mac.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(mac));
      break;
    }
    default:
      break;
  }
}
