// PopupMenucl on its own: numbering, greyed items, submenus, Clear.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "toolkit/widgets/PopupMenucl.h"

namespace {

// Picks the action with a given text, looking into submenus too.
QAction* FindAction(QMenu& menu, const QString& text) {
  for (QAction* action : menu.actions()) {
    if (action->menu()) {
      if (QAction* inner = FindAction(*action->menu(), text)) return inner;
    } else if (!action->isSeparator() && action->text() == text) {
      return action;
    }
  }
  return nullptr;
}

class Choosing {
 public:
  explicit Choosing(QString text) : text_(std::move(text)) {
    previous_ = PopupMenucl::SetPresenter([this](QMenu& menu) {
      ++shown;
      for (QAction* action : menu.actions()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
      return FindAction(menu, text_);
    });
  }
  ~Choosing() { PopupMenucl::SetPresenter(previous_); }
  int shown = 0;
  QStringList texts;

 private:
  QString text_;
  PopupMenucl::Presenter previous_;
};

void MainMenu(PopupMenucl& menu, unsigned char greyed) {
  menu.AddText("one");
  menu.AddText("two   ");
  menu.AddSeparator();
  menu.AddItem("three", greyed);
  menu.AddSeparator();
  menu.AddText("four");
}

TEST(PopupMenu, SelectableItemsCountFromOneSkippingSeparators) {
  const struct {
    const char* chosen;
    unsigned char greyed;
    long number;
  } cases[] = {{"one", 0, 1},    {"two", 0, 2},   {"three", 0, 3},
               {"four", 0, 4},   {"three", 1, 0},  // a greyed item cannot be chosen
               {"four", 1, 4},                     // and does not shift the ones after it
               {"nothing", 0, 0}};
  for (const auto& c : cases) {
    Choosing person(QString::fromLatin1(c.chosen));
    PopupMenucl menu;
    MainMenu(menu, c.greyed);
    EXPECT_EQ(menu.Show(), c.number) << c.chosen << " greyed " << int(c.greyed);
    EXPECT_EQ(person.texts, (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("-"),
                                         QStringLiteral("three"), QStringLiteral("-"), QStringLiteral("four")}));
  }
}

TEST(PopupMenu, ClearGivesAFreshMenu) {
  Choosing person(QStringLiteral("again"));
  PopupMenucl menu;
  MainMenu(menu, 0);
  menu.Clear();
  EXPECT_TRUE(menu.ITEMQ().empty());
  menu.AddSeparator();
  menu.AddText("again");
  EXPECT_EQ(menu.Show(), 1);
  EXPECT_EQ(person.texts, (QStringList{QStringLiteral("-"), QStringLiteral("again")}));
}

TEST(PopupMenu, CheckItemsAndSubmenusOneLevelDeep) {
  Choosing person(QStringLiteral("inner two"));
  PopupMenucl menu;
  menu.AddItemEx("checked", "", 0, 1, 1);
  PopupMenucl::Item sub;
  sub.SZTEXT = "more";
  sub.BYSUBMENU = 1;
  sub.SUBMENUQ.resize(2);
  sub.SUBMENUQ[0].SZTEXT = "inner one";
  sub.SUBMENUQ[1].SZTEXT = "inner two";
  menu.ITEMQ().push_back(sub);
  menu.AddText("last");
  EXPECT_EQ(menu.Show(), 3);
}

TEST(PopupMenu, LongTextsAreCut) {
  Choosing person(QString(254, QLatin1Char('x')));
  PopupMenucl menu;
  menu.AddText(std::string(300, 'x'));
  EXPECT_EQ(menu.Show(), 1);
  EXPECT_EQ(menu.ITEMQ()[0].SZTEXT.size(), 254u);
}

}  // namespace
