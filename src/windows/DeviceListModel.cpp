#include "windows/DeviceListModel.h"

#include <QBrush>
#include <QColor>

#include "toolkit/kwTools.h"

DeviceListModel::DeviceListModel(const std::vector<DeviceRow>& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DeviceListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QColor DeviceListModel::StyleColour(long style) {
  switch (style) {
    case 2:
      return QColor(255, 0, 0);
    case 3:
      return QColor(0, 0, 255);
    default:
      return QColor(0, 0, 0);
  }
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
  const DeviceRow* row = index.isValid() ? RowAt(index.row()) : nullptr;
  if (row == nullptr) return {};
  const int column = index.column();
  if (role == Qt::DisplayRole) {
    const std::string& text = column == 0 ? row->SIPADDRESS : column == 1 ? row->SMAC : row->SVENDOR;
    return QString::fromStdString(kwTools::Clip(text));
  }
  if (role == Qt::ForegroundRole) {
    const long style = column == 0 ? row->STYLE_COLUMN1 : column == 1 ? row->STYLE_COLUMN2 : row->STYLE_COLUMN3;
    return QBrush(StyleColour(style));
  }
  return {};
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case 0:
      return QStringLiteral("IP Address");
    case 1:
      return QStringLiteral("MAC Address");
    case 2:
      return QStringLiteral("Description");
    default:
      return {};
  }
}

void DeviceListModel::Refresh() {
  beginResetModel();
  endResetModel();
}

const DeviceRow* DeviceListModel::RowAt(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return nullptr;
  return &rows_[static_cast<std::size_t>(row)];
}
