#include <gtest/gtest.h>

#include <fstream>

#include "cli/ScanCommand.h"
#include "support/ScratchFolder.h"

namespace {
using Args = std::vector<std::string>;

TEST(ScanCommand, ParsesWhatScriptsMayAskFor) {
  std::string error;
  auto o = ScanCommand::Parse({"10.77.0.1"}, error);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->method, 1);
  EXPECT_EQ(o->count, 254);  // up to .254, as the window proposes for an adapter
  EXPECT_EQ(o->paceMs, 10);
  EXPECT_EQ(o->format, ScanCommand::Format::Table);

  o = ScanCommand::Parse({"--method", "arp", "--count", "20", "--pace", "0", "--format", "json", "--makers-only",
                          "--new-since", "old.json", "192.168.1.100"},
                         error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->method, 2);
  EXPECT_EQ(o->count, 20);
  EXPECT_EQ(o->paceMs, 0);
  EXPECT_TRUE(o->makersOnly);
  EXPECT_EQ(o->newSince, "old.json");
  EXPECT_EQ(o->format, ScanCommand::Format::Json);
  EXPECT_EQ(ScanCommand::Parse({"10.0.0.100"}, error)->count, 155);
  EXPECT_TRUE(ScanCommand::Parse({"--help"}, error)->help);
}

TEST(ScanCommand, RefusesWhatCannotBeSwept) {
  const Args bad[] = {
      {},
      {"10.77.0"},
      {"0010.1.1.1"},
      {"10.77.0.1."},
      {"10.77.0.256"},
      {"cam1.lab.example"},
      {"10.77.0.1", "10.77.0.2"},
      {"--count", "0", "10.77.0.1"},
      {"--count", "255", "10.77.0.1"},
      {"--count", "ten", "10.77.0.1"},
      {"--pace", "11", "10.77.0.1"},
      {"--pace", "-1", "10.77.0.1"},
      {"--method", "icmp", "10.77.0.1"},
      {"--format", "xml", "10.77.0.1"},
      {"--frobnicate", "10.77.0.1"},
      {"10.77.0.1", "--count"},
  };
  for (const Args& args : bad) {
    std::string error;
    EXPECT_FALSE(ScanCommand::Parse(args, error)) << ::testing::PrintToString(args);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);  // one line
  }
}

std::vector<DeviceRow> Rows() {
  DeviceRow maker;
  maker.SetAddress("10.77.0.11");
  maker.SMAC = "0A:C5:D2:E1:00:11";
  maker.SVENDOR = std::string("** Sendora **") + std::string(51, ' ');
  maker.BYQUARNEL_ITEM = 1;
  DeviceRow quoted;
  quoted.SetAddress("10.77.0.20");
  quoted.SMAC = "00:1A:2B:00:00:20";
  quoted.SVENDOR = "Acme, \"Best\" Cameras";
  DeviceRow far;
  far.SetAddress("10.78.0.10");
  return {maker, quoted, far};
}

TEST(ScanCommand, RendersCsvAndJson) {
  EXPECT_EQ(ScanCommand::Render(Rows(), ScanCommand::Format::Csv),
            "ip,mac,description,maker\r\n"
            "10.77.0.11,0A:C5:D2:E1:00:11,** Sendora **,true\r\n"
            "10.77.0.20,00:1A:2B:00:00:20,\"Acme, \"\"Best\"\" Cameras\",false\r\n"
            "10.78.0.10,,,false\r\n");
  EXPECT_EQ(ScanCommand::Render(Rows(), ScanCommand::Format::Json),
            "[\n"
            " {\"ip\": \"10.77.0.11\", \"mac\": \"0A:C5:D2:E1:00:11\", \"description\": \"** Sendora **\", \"maker\": "
            "true},\n"
            " {\"ip\": \"10.77.0.20\", \"mac\": \"00:1A:2B:00:00:20\", \"description\": \"Acme, \\\"Best\\\" "
            "Cameras\", \"maker\": false},\n"
            " {\"ip\": \"10.78.0.10\", \"mac\": \"\", \"description\": \"\", \"maker\": false}\n"
            "]\n");
  EXPECT_EQ(ScanCommand::Render({}, ScanCommand::Format::Json), "[]\n");
}

TEST(ScanCommand, ReadsItsOwnJsonBackAndRefusesOtherFiles) {
  ScratchFolder dir;
  std::ofstream(dir / "list.json") << ScanCommand::Render(Rows(), ScanCommand::Format::Json);
  std::vector<DeviceRow> rows;
  std::string error;
  ASSERT_TRUE(ScanCommand::ReadDeviceList(dir / "list.json", rows, error)) << error;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].SMAC, "0A:C5:D2:E1:00:11");
  EXPECT_EQ(rows[0].BYQUARNEL_ITEM, 1);
  EXPECT_EQ(rows[1].SVENDOR, "Acme, \"Best\" Cameras");
  EXPECT_EQ(rows[2].SIPADDRESS, "10.78.0.10");

  for (const char* content :
       {"", "{}", "[1, 2]", "[{\"ip\": \"x\", \"mac\": \"\"}]", "[{\"ip\": \"10.0.0.1\"}]", "[{"}) {
    std::ofstream(dir / "bad.json") << content;
    EXPECT_FALSE(ScanCommand::ReadDeviceList(dir / "bad.json", rows, error)) << content;
  }
  EXPECT_FALSE(ScanCommand::ReadDeviceList(dir / "missing.json", rows, error));
}
}  // namespace
