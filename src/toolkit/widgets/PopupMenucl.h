#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class kwIconCL;

// Collects the items of a right-click menu and shows them as one popup menu at
// the mouse pointer. Show() counts the selectable items from 1 in menu order;
// separators are not counted, greyed items are (so the numbers after a greyed
// item do not shift), and 0 means the menu was dismissed.
class PopupMenucl {
 public:
  struct Item {
    std::string SZTEXT;
    std::string SZICONNAME;
    unsigned char ISCHECK = 0;
    unsigned char BYCHECKED = 0;
    unsigned char BYDISABLED = 0;
    unsigned char BYSEPARATOR = 0;
    unsigned char BYSUBMENU = 0;
    std::string SZFONTNAME;
    long DWFONTSIZE = 0;
    long DWFONTSTYLE = 0;   // bit 0 bold, bit 1 italic, bit 2 underline
    long DWFONTCOLOUR = 0;  // COLORREF: red in the low byte
    long DWFONTBACKGROUND = 0;
    std::vector<Item> SUBMENUQ;  // one level only: entries here open no further submenu
  };

  // Shows a built menu and returns the action chosen, nullptr when dismissed.
  // Installed by tests so that no real mouse is needed; the default runs
  // QMenu::exec at the cursor.
  using Presenter = std::function<QAction*(QMenu& menu)>;

  PopupMenucl();
  ~PopupMenucl();
  PopupMenucl(const PopupMenucl&) = delete;
  PopupMenucl& operator=(const PopupMenucl&) = delete;

  void AddText(const std::string& text);
  void AddItem(const std::string& text, unsigned char disabled);
  void AddItemEx(const std::string& text, const std::string& iconName, unsigned char disabled, unsigned char checkItem,
                 unsigned char checked);
  void AddSeparator();
  void Clear();
  long Show();

  // Entries in display order; a caller may set submenu and font fields itself.
  std::vector<Item>& ITEMQ() { return items_; }

  // Installs presenter (an empty function: back to the real menu) and returns the previous one.
  static Presenter SetPresenter(Presenter presenter);

 private:
  void BuildInto(QMenu& menu, const std::vector<Item>& items, bool allowSubmenu, long& number) const;

  std::unique_ptr<kwIconCL> MYICON;
  std::vector<Item> items_;
};
