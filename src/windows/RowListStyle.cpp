#include "windows/RowListStyle.h"

#include <QHeaderView>
#include <QTableView>

#include "toolkit/kwTools.h"

void RowListStyle::Apply(QTableView* list) {
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list->horizontalHeader()->setStretchLastSection(true);
  list->verticalHeader()->hide();
  list->setShowGrid(false);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  const kwTools tools;
  tools.SetControlColour(list, 0, true);
  tools.SetControlColour(list->viewport(), 0, true);
}
