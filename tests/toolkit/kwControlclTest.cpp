// kwControlcl's layout rules on a window of our own, including those the main
// window does not exercise.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>
#include <QTest>

#include "support/TouchCounter.h"
#include "toolkit/widgets/kwControlcl.h"

namespace {

// A window of our own for the rules the main window does not exercise.
class Fixture {
 public:
  Fixture() {
    window.resize(400, 300);
    box = new QGroupBox(QStringLiteral("Box"), &window);
    box->setGeometry(10, 200, 150, 60);
    inBox = new QCheckBox(QStringLiteral("In the box"), box);
    inBox->setGeometry(10, 20, 120, 20);
    label = new QLabel(QStringLiteral("Bottom"), &window);
    label->setGeometry(200, 250, 80, 20);
    centred = new QLabel(QStringLiteral("Centre"), &window);
    centred->setGeometry(150, 10, 100, 20);
    list = new QTableView(&window);
    list->setGeometry(10, 10, 120, 150);
    still = new QLabel(QStringLiteral("Still"), &window);
    still->setGeometry(300, 10, 60, 20);
  }
  QWidget window;
  QGroupBox* box;
  QCheckBox* inBox;
  QLabel* label;
  QLabel* centred;
  QTableView* list;
  QLabel* still;
};

TEST(ControlLayout, RecordsEveryControlInFieldOrderWithMargins) {
  Fixture f;
  kwControlcl layout;
  layout.Controls_Save(&f.window);
  ASSERT_EQ(layout.CONTROLPOSITIONQ.size(), 6u);
  EXPECT_EQ(layout.Feq(f.box), 1);
  EXPECT_EQ(layout.Feq(f.inBox), 2);  // a box's controls come right after it
  EXPECT_EQ(layout.Feq(f.still), 6);
  const kwControlcl::Entry* inBox = layout.Find(2);
  EXPECT_EQ(QRect(inBox->X, inBox->Y, inBox->W, inBox->H), QRect(20, 220, 120, 20));  // window coordinates
  EXPECT_EQ(inBox->DWRMARGIN, 400 - 120 - 20);
  EXPECT_EQ(inBox->DWBMARGIN, 300 - 20 - 220);
  EXPECT_EQ(inBox->STEXT, "In the box");
  EXPECT_EQ(inBox->BYHIDEDURINGMOVE, 1);
  EXPECT_EQ(layout.Find(1)->BYHIDEDURINGMOVE, 1);
  EXPECT_EQ(layout.Find(3)->BYHIDEDURINGMOVE, 0);
  EXPECT_EQ(f.window.minimumSize(), QSize(400, 300));
}

TEST(ControlLayout, ControlInABoxHidesWhileItMoves) {
  Fixture f;
  f.window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
  kwControlcl layout;
  layout.Controls_Save(&f.window);
  layout.SetStrategy(layout.Feq(f.inBox), layout.Feq(f.inBox), 0, 0, 0, 1, 1);
  layout.SetStrategy(layout.Feq(f.label), layout.Feq(f.label), 0, 0, 0, 1, 0);
  TouchCounter touches({f.inBox, f.label});
  f.window.resize(400, 340);
  layout.Resize();
  EXPECT_EQ(f.box->geometry(), QRect(10, 200, 150, 60));   // no strategy: stays
  EXPECT_EQ(f.inBox->geometry(), QRect(10, 60, 120, 20));  // 40 down, in its box's coordinates
  EXPECT_EQ(f.label->geometry(), QRect(200, 290, 80, 20));
  EXPECT_EQ(touches.hides[f.inBox], 1);
  EXPECT_EQ(touches.shows[f.inBox], 1);
  EXPECT_EQ(touches.hides[f.label], 0);
  EXPECT_TRUE(f.inBox->isVisible());
  // A hidden control is moved without being shown.
  f.label->hide();
  f.window.resize(400, 360);
  layout.Resize();
  EXPECT_TRUE(f.label->isHidden());
  EXPECT_EQ(f.label->geometry(), QRect(200, 310, 80, 20));
}

TEST(ControlLayout, NeverSmallerNorLeftOrAboveTheRecordedPlace) {
  Fixture f;
  kwControlcl layout;
  layout.BYENFORCEMINIMUMSIZE = 0;
  layout.Controls_Save(&f.window);
  EXPECT_EQ(f.window.minimumSize(), QSize(0, 0));
  layout.SetStrategy(layout.Feq(f.list), layout.Feq(f.list), 1, 1, 0, 0, 0);
  layout.SetStrategy(layout.Feq(f.label), layout.Feq(f.label), 0, 0, 1, 1, 0);
  f.window.resize(300, 200);
  layout.Resize();
  EXPECT_EQ(f.list->geometry(), QRect(10, 10, 120, 150));
  EXPECT_EQ(f.label->geometry(), QRect(200, 250, 80, 20));
  f.window.resize(450, 320);
  layout.Resize();
  EXPECT_EQ(f.list->geometry(), QRect(10, 10, 170, 170));
  EXPECT_EQ(f.label->geometry(), QRect(250, 270, 80, 20));
}

TEST(ControlLayout, ControlsWithoutStrategyGoBackToTheirPlace) {
  Fixture f;
  kwControlcl layout;
  layout.Controls_Save(&f.window);
  f.still->setGeometry(5, 5, 10, 10);
  f.window.resize(500, 400);
  layout.Resize();
  EXPECT_EQ(f.still->geometry(), QRect(300, 10, 60, 20));
}

TEST(ControlLayout, CentredOnTheWindowOrOnAnotherControl) {
  Fixture f;
  kwControlcl layout;
  layout.Controls_Save(&f.window);
  const int feq = layout.Feq(f.centred);
  layout.SetStrategy(feq, feq, 0, 0, 1, 0, 0);
  layout.CONTROLPOSITIONQ[static_cast<std::size_t>(feq - 1)].DWPARENTFEQ_ALIGNV = -1;
  f.window.resize(600, 300);
  layout.Resize();
  EXPECT_EQ(f.centred->geometry(), QRect(250, 10, 100, 20));  // 0 + 600 / 2 - 100 / 2
  layout.CONTROLPOSITIONQ[static_cast<std::size_t>(feq - 1)].DWPARENTFEQ_ALIGNV = layout.Feq(f.still);
  layout.Resize();
  EXPECT_EQ(f.centred->geometry(), QRect(280, 10, 100, 20));  // 300 + 60 / 2 - 100 / 2
}

}  // namespace
