#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include <cstring>
#include <string>

#include "net/DNSQuerycl.h"
#include "net/TemporaryAddressPrompt.h"
#include "net/kwIPcl.h"
#include "support/RecordingMessagePresenter.h"
#include "toolkit/callDLLcl.h"

// Nothing here reaches a network: every target below is refused before a
// packet could be built. Probes of real addresses live in the lab tests.
namespace {
TEST(kwIPcl, ConstructsCheaplyWithTheListedDefaults) {
  kwIPcl ip;
  EXPECT_EQ(ip.BYSERVERENABLED, 1);
  EXPECT_EQ(ip.DWSERVERMAXCONNECTIONS, 1);
  EXPECT_EQ(ip.DWCLIENTTIMEOUT, 5000);
  EXPECT_EQ(ip.HSERVER, 0);
  EXPECT_EQ(ip.HCLIENT, 0);
  EXPECT_EQ(ip.SWELCOMEMSG, "-- Welcome! --");
  EXPECT_NE(ip.DWTHREAD, 0);
  EXPECT_NE(ip.MYFILE, nullptr);
  EXPECT_TRUE(ip.ADAPTERQ.empty());  // no adapter is read until GetAdapters
  EXPECT_TRUE(ip.NEWADDRESSQ.empty());
  EXPECT_EQ(ip.CurrentAdapter(), nullptr);
  EXPECT_FALSE(ip.SelectAdapter(0));
}

TEST(kwIPcl, SockAddrToTextReadsTheAddressField) {
  const kwIPcl ip;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(80);
  a.sin_addr.s_addr = ::inet_addr("192.168.1.10");
  EXPECT_EQ(ip.SockAddrToText(16, &a), "192.168.1.10");
  EXPECT_EQ(ip.SockAddrToText(8, &a), "192.168.1.10");
  EXPECT_EQ(ip.SockAddrToText(6, &a), "192.168.0.0");  // only the bytes given
  EXPECT_EQ(ip.SockAddrToText(64, &a), "192.168.1.10");
  EXPECT_EQ(ip.SockAddrToText(16, nullptr), "0.0.0.0");
}

TEST(kwIPcl, HasMACAddressStoresNothingForTextThatIsNoAddress) {
  kwIPcl ip;
  char mac[32];
  std::memset(mac, 'x', sizeof mac);
  EXPECT_EQ(ip.HasMACAddress("1.2.3.4.5", mac, sizeof mac, 1), 0);
  EXPECT_STREQ(mac, "");
  EXPECT_EQ(ip.HasMACAddress("999.1.1.1", nullptr, 0, 1), 0);
  EXPECT_EQ(ip.GetMACAddress("", 1), "");
}

TEST(kwIPcl, AddTemporaryAddressNeedsAnAdapter) {
  kwIPcl ip;
  EXPECT_EQ(ip.AddTemporaryAddress("192.168.77.5", "255.255.255.0", 0), 0);
  EXPECT_TRUE(ip.NEWADDRESSQ.empty());
}

class ScriptedPrompt : public TemporaryAddressPrompt {
 public:
  void Ask(kwIPcl& addresses) override {
    ++asked;
    seen = addresses.NEWADDRESSQ.size();
  }
  int asked = 0;
  std::size_t seen = 0;
};

TEST(kwIPcl, RemovingAsksThroughThePromptOnlyWhenThereIsSomethingToRemove) {
  RecordingMessagePresenter messages;
  kwIPcl ip;
  ScriptedPrompt prompt;
  ip.SetRemovalPrompt(&prompt);
  ip.RemoveTemporaryAddresses(1);
  EXPECT_EQ(prompt.asked, 0);  // nothing added: no window, no message
  EXPECT_TRUE(messages.shown.empty());

  // A record the prompt can see; the handle names no interface.
  ip.NEWADDRESSQ.push_back(TemporaryAddress{"192.168.77.5", AddressHandle{0, ::inet_addr("192.168.77.5"), 24}});
  ip.RemoveTemporaryAddresses(1);
  EXPECT_EQ(prompt.asked, 1);
  EXPECT_EQ(prompt.seen, 1u);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(kwIPcl, WithoutAPromptNothingIsRemovedAndThePersonIsTold) {
  RecordingMessagePresenter messages;
  kwIPcl ip;
  ip.NEWADDRESSQ.push_back(TemporaryAddress{"192.168.77.5", AddressHandle{0, ::inet_addr("192.168.77.5"), 24}});
  ip.RemoveTemporaryAddresses(1);
  EXPECT_EQ(ip.NEWADDRESSQ.size(), 1u);
  ASSERT_TRUE(messages.ShowedOnly(
      "Attention",
      "The IP address(es) added will remain active until the network adapter is reset or your PC rebooted.",
      MessageIcon::Warning));
}

TEST(DNSQuerycl, AMissingLibraryAnswersZeroAndSaysNothing) {
  RecordingMessagePresenter messages;
  DNSQuerycl dns("libvantrel-no-such-resolver.so.9");
  EXPECT_EQ(dns.MYDLL->HDLL, nullptr);
  EXPECT_EQ(dns.MYDLL->EPROCFAIL, 0);
  EXPECT_EQ(dns.QueryA("cam1.lab.example", 1), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(DNSQuerycl, LoadsTheSystemResolverAndRefusesNamesThatCannotBeQueried) {
  RecordingMessagePresenter messages;
  DNSQuerycl dns;
  ASSERT_NE(dns.MYDLL->HDLL, nullptr);
  EXPECT_EQ(dns.MYDLL->EPROCFAIL, -2);
  // Refused before anything is sent; the failure message only when asked for.
  EXPECT_EQ(dns.QueryA(std::string("cam1\0.lab.example", 17), 0), 0);
  EXPECT_EQ(dns.QueryA("caméra.lab.example", 0), 0);
  EXPECT_EQ(dns.QueryA("   ", 0), 0);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dns.QueryA("two words", 1), 0);
  ASSERT_TRUE(
      messages.ShowedOnly("QueryA", "DNS Query: two words|Query Failed, an error occured so result is unknown"));
}
}  // namespace

#include "net/Pingcl.h"

namespace {
TEST(Pingcl, TextThatIsNoAddressSendsNothing) {
  RecordingMessagePresenter messages;
  Pingcl p;
  EXPECT_EQ(p.DWTIMEOUT, 1000);
  ASSERT_NE(p.MYDNS, nullptr);
  for (const std::string& target : {std::string("1.2.3.4.5"), std::string("999.1.1.1"), std::string("0.0.0.0"),
                                    std::string(), std::string("10.77.0.10\0", 11), std::string("caméra")}) {
    EXPECT_EQ(p.Ping(target), 0) << target;
    EXPECT_EQ(p.GetMACAddress(target, 1), "") << target;
  }
  EXPECT_TRUE(messages.shown.empty());
}
}  // namespace
