// Start address and count as the adapter, the address and the start field give them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "WindowHarness.h"
#include "scan/SweepController.h"

namespace {

struct Range {
  std::string start;
  int count;
};

Range Shown(WindowHarness& harness) {
  return {harness.Control<QLineEdit>("SADDRESS_INPUT")->text().toStdString(),
          harness.Control<QSpinBox>("DWADDRESSES")->value()};
}

void ExpectRange(WindowHarness& harness, const std::string& start, int count, const std::string& why) {
  const Range shown = Shown(harness);
  EXPECT_EQ(shown.start, start) << why;
  EXPECT_EQ(shown.count, count) << why;
  // The sweep reads the very values the window shows.
  const SweepState& state = harness.Window().Controller().state;
  EXPECT_EQ(state.SADDRESS_INPUT, start) << why;
  EXPECT_EQ(state.DWADDRESSES, count) << why;
}

void Choose(QComboBox* combo, int position) {
  combo->setCurrentIndex(position);
  emit combo->activated(position);  // as a person's choice, not the program's
}

void Type(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, text);
  QTest::keyClick(field, Qt::Key_Return);
}

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

TEST(MainWindowRange, FirstAdapterProposesItsBlock) {
  WindowHarness harness;
  ExpectRange(harness, "192.168.1.1", 254, "opening");
  EXPECT_EQ(Items(harness.Control<QComboBox>("SADAPTER_NAME")),
            (QStringList{QStringLiteral("Office LAN"), QStringLiteral("Camera switch"), QStringLiteral("Unplugged")}));
  EXPECT_EQ(Items(harness.Control<QComboBox>("SADAPTER_ADDRESS")),
            (QStringList{QStringLiteral("192.168.1.20"), QStringLiteral("10.0.0.7")}));
  EXPECT_EQ(harness.Control<QComboBox>("SADAPTER_ADDRESS")->currentText(), QStringLiteral("192.168.1.20"));
  EXPECT_EQ(harness.Window().Controller().state.SADAPTER_NAME, "Office LAN");
}

TEST(MainWindowRange, NoAdapterStartsAtZeroBlock) {
  WindowHarness harness(std::vector<AdapterEntry>{});
  ExpectRange(harness, "0.0.0.1", 254, "no adapter");
  EXPECT_EQ(harness.Control<QComboBox>("SADAPTER_NAME")->count(), 0);
  EXPECT_EQ(harness.Control<QComboBox>("SADAPTER_ADDRESS")->count(), 0);
}

TEST(MainWindowRange, ChoicesAndEditsInTurn) {
  WindowHarness harness;
  harness.Show();
  auto* adapters = harness.Control<QComboBox>("SADAPTER_NAME");
  auto* addresses = harness.Control<QComboBox>("SADAPTER_ADDRESS");
  auto* start = harness.Control<QLineEdit>("SADDRESS_INPUT");
  const struct {
    const char* step;
    std::function<void()> act;
    const char* start;
    int count;
  } steps[] = {
      {"second address of the adapter", [&] { Choose(addresses, 1); }, "10.0.0.1", 254},
      {"typed start", [&] { Type(start, QStringLiteral("10.0.0.100")); }, "10.0.0.100", 154},
      {"typed start at .254", [&] { Type(start, QStringLiteral("10.0.0.254")); }, "10.0.0.254", 0},
      {"typed start at .255", [&] { Type(start, QStringLiteral("10.0.0.255")); }, "10.0.0.255", -1},
      {"typed start with one dot", [&] { Type(start, QStringLiteral("10.5")); }, "10.5", 249},
      {"another adapter", [&] { Choose(adapters, 1); }, "172.16.5.1", 254},
      {"an adapter without an address changes nothing", [&] { Choose(adapters, 2); }, "172.16.5.1", 254},
      {"back to the first adapter", [&] { Choose(adapters, 0); }, "192.168.1.1", 254},
  };
  for (const auto& s : steps) {
    s.act();
    ExpectRange(harness, s.start, s.count, s.step);
  }
  EXPECT_EQ(addresses->currentText(), QStringLiteral("192.168.1.20"));
}

TEST(MainWindowRange, LeavingTheStartFieldUntouchedKeepsTheCount) {
  WindowHarness harness;
  harness.Show();
  auto* start = harness.Control<QLineEdit>("SADDRESS_INPUT");
  start->setFocus();
  QTest::keyClick(start, Qt::Key_Return);
  harness.Control("STARTBUTTON")->setFocus();
  ExpectRange(harness, "192.168.1.1", 254, "no edit");
}

TEST(MainWindowRange, CountTypedIsOneTo254) {
  WindowHarness harness;
  auto* count = harness.Control<QSpinBox>("DWADDRESSES");
  const struct {
    int typed;
    int kept;
  } cases[] = {{20, 20}, {254, 254}, {1, 1}, {0, 1}, {-1, 1}};
  for (const auto& c : cases) {
    count->setValue(c.typed);
    EXPECT_EQ(count->value(), c.kept) << c.typed;
    EXPECT_EQ(harness.Window().Controller().state.DWADDRESSES, c.kept) << c.typed;
  }
}

TEST(MainWindowRange, MethodAndNewDevicesFollowTheirControls) {
  WindowHarness harness;
  harness.Show();
  const SweepState& state = harness.Window().Controller().state;
  EXPECT_EQ(state.BYSCANMETHOD, 1);
  QTest::mouseClick(harness.Control("BYSCANMETHOD:RADIO2"), Qt::LeftButton);
  EXPECT_EQ(state.BYSCANMETHOD, 2);
  QTest::mouseClick(harness.Control("BYSCANMETHOD:RADIO1"), Qt::LeftButton);
  EXPECT_EQ(state.BYSCANMETHOD, 1);
  EXPECT_EQ(state.BYFINDNEWDEVICES, 0);
  QTest::mouseClick(harness.Control("BYFINDNEWDEVICES"), Qt::LeftButton);
  EXPECT_EQ(state.BYFINDNEWDEVICES, 1);
}

}  // namespace
