#pragma once

class QTableView;

// How the secondary windows' lists look and behave: whole rows selected one at
// a time, read-only, a right click asks for the row's menu, and the toolkit's
// pale highlight behind it, as the main window's device list.
class RowListStyle {
 public:
  static void Apply(QTableView* list);
};
