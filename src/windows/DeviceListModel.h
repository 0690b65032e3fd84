#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "scan/DeviceRow.h"

// The table behind every list of devices: the main window's list and the New
// Devices list show the same three columns in the same colours. The model only
// reads the rows it is given; whoever owns the vector calls Refresh() after
// changing it (on the thread the view lives on).
class DeviceListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit DeviceListModel(const std::vector<DeviceRow>& rows, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // Resets the view after the rows changed size or content.
  void Refresh();
  // The row behind a view row, or nullptr past the end.
  const DeviceRow* RowAt(int row) const;

  // Style numbers of the lists: 1 black, 2 red, 3 blue; others black.
  static QColor StyleColour(long style);

 private:
  const std::vector<DeviceRow>& rows_;
};
