#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "scan/DeviceRow.h"

class DeviceListModel;
class QPoint;
class QTableView;
namespace Ui {
class NewDevicesWindow;
}

// The devices that earlier sweeps had not found, in address order, coloured as
// in the main list, with the main list's popup menu for opening a device's web
// page in the default browser or copying its MAC address.
class NewDevicesWindow : public QDialog {
  Q_OBJECT

 public:
  // Popup menu results: items counted from 1, the separator not counted.
  enum MenuItem { kDismissed = 0, kHttp = 1, kHttps = 2, kCopyMac = 3 };

  explicit NewDevicesWindow(const std::vector<DeviceRow>& rows, QWidget* parent = nullptr);
  ~NewDevicesWindow() override;

  // The rows as shown, sorted by address.
  const std::vector<DeviceRow>& Rows() const { return rows_; }
  QTableView* List() const;

  // What a menu choice does for the row at a list position.
  void RunMenuItem(int row, long item);

 private:
  void ShowMenu(const QPoint& position);

  std::vector<DeviceRow> rows_;
  std::unique_ptr<Ui::NewDevicesWindow> ui_;
  DeviceListModel* model_ = nullptr;
};
