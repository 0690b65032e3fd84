#include "toolkit/widgets/PopupMenucl.h"

#include <QAction>
#include <QCursor>
#include <QFont>
#include <QMenu>
#include <utility>

#include "toolkit/kwTools.h"
#include "toolkit/widgets/kwIconCL.h"

namespace {

// An item's text field holds at most 254 characters.
constexpr std::size_t kMaxItemText = 254;

PopupMenucl::Presenter& InstalledPresenter() {
  static PopupMenucl::Presenter presenter;
  return presenter;
}

std::string ItemText(const std::string& text) {
  std::string clipped = kwTools::Clip(text);
  if (clipped.size() > kMaxItemText) clipped.resize(kMaxItemText);
  return clipped;
}

void ApplyFont(QAction& action, const PopupMenucl::Item& item) {
  if (item.SZFONTNAME.empty() && item.DWFONTSIZE == 0 && item.DWFONTSTYLE == 0) return;
  QFont font = action.font();
  if (!item.SZFONTNAME.empty()) font.setFamily(QString::fromStdString(item.SZFONTNAME));
  if (item.DWFONTSIZE > 0) font.setPointSize(static_cast<int>(item.DWFONTSIZE));
  if (item.DWFONTSTYLE != 0) {
    font.setBold((item.DWFONTSTYLE & 1) != 0);
    font.setItalic((item.DWFONTSTYLE & 2) != 0);
    font.setUnderline((item.DWFONTSTYLE & 4) != 0);
  }
  action.setFont(font);
}

}  // namespace

PopupMenucl::PopupMenucl() : MYICON(std::make_unique<kwIconCL>()) { Clear(); }

PopupMenucl::~PopupMenucl() { Clear(); }

void PopupMenucl::AddText(const std::string& text) {
  Item item;
  item.SZTEXT = ItemText(text);
  items_.push_back(std::move(item));
}

void PopupMenucl::AddItem(const std::string& text, unsigned char disabled) { AddItemEx(text, {}, disabled, 0, 0); }

void PopupMenucl::AddItemEx(const std::string& text, const std::string& iconName, unsigned char disabled,
                            unsigned char checkItem, unsigned char checked) {
  Item item;
  item.SZTEXT = ItemText(text);
  item.SZICONNAME = kwTools::Clip(iconName);
  item.BYDISABLED = disabled;
  item.ISCHECK = checkItem;
  item.BYCHECKED = checked;
  items_.push_back(std::move(item));
}

void PopupMenucl::AddSeparator() {
  Item item;
  item.BYSEPARATOR = 1;
  items_.push_back(std::move(item));
}

void PopupMenucl::Clear() { items_.clear(); }

void PopupMenucl::BuildInto(QMenu& menu, const std::vector<Item>& items, bool allowSubmenu, long& number) const {
  for (const Item& item : items) {
    if (item.BYSEPARATOR) {
      menu.addSeparator();
      continue;
    }
    const QString text = QString::fromStdString(item.SZTEXT);
    if (allowSubmenu && item.BYSUBMENU && !item.SUBMENUQ.empty()) {
      QMenu* submenu = menu.addMenu(text);
      submenu->setEnabled(item.BYDISABLED == 0);
      BuildInto(*submenu, item.SUBMENUQ, false, number);
      continue;
    }
    QAction* action = menu.addAction(text);
    ApplyFont(*action, item);
    if (item.ISCHECK) {
      action->setCheckable(true);
      action->setChecked(item.BYCHECKED != 0);
    }
    action->setEnabled(item.BYDISABLED == 0);
    if (!item.SZICONNAME.empty()) {
      std::string file = MYICON->IconFile(item.SZICONNAME);
      if (file.empty()) file = item.SZICONNAME;
      action->setIcon(QIcon(QString::fromStdString(file)));
    }
    action->setData(QVariant::fromValue(++number));
  }
}

long PopupMenucl::Show() {
  QMenu menu;
  long number = 0;
  BuildInto(menu, items_, true, number);
  Presenter& presenter = InstalledPresenter();
  QAction* chosen = presenter ? presenter(menu) : menu.exec(QCursor::pos());
  // A greyed item cannot be chosen, whatever handed it back.
  if (!chosen || !chosen->isEnabled() || !chosen->data().isValid()) return 0;
  return chosen->data().value<long>();
}

PopupMenucl::Presenter PopupMenucl::SetPresenter(Presenter presenter) {
  return std::exchange(InstalledPresenter(), std::move(presenter));
}
