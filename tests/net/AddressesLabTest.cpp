#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "NetLab.h"
#include "net/kwIPcl.h"
#include "support/RecordingMessagePresenter.h"

namespace {
class AddressesLab : public NetLab {
 protected:
  void SetUp() override {
    NetLab::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ip.GetAdapters(1);
    ASSERT_NE(ip.CurrentAdapter(), nullptr);
    ASSERT_EQ(ip.CurrentAdapter()->SZUID, "eth0");
  }

  kwIPcl ip;
};

// Takes CAP_NET_ADMIN out of this thread's effective set for its lifetime.
class WithoutNetAdmin {
 public:
  WithoutNetAdmin() {
    ok_ = ::syscall(SYS_capget, &header_, saved_) == 0;
    __user_cap_data_struct reduced[_LINUX_CAPABILITY_U32S_3];
    std::copy(std::begin(saved_), std::end(saved_), std::begin(reduced));
    reduced[CAP_TO_INDEX(CAP_NET_ADMIN)].effective &= ~CAP_TO_MASK(CAP_NET_ADMIN);
    ok_ = ok_ && ::syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~WithoutNetAdmin() {
    if (ok_) (void)::syscall(SYS_capset, &header_, saved_);
  }
  bool ok() const { return ok_; }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3]{};
  bool ok_ = false;
};

TEST_F(AddressesLab, AnAddedAddressIsOnTheAdapterUntilRemoved) {
  const auto before = Addresses();
  ASSERT_EQ(ip.AddTemporaryAddress("192.168.77.5  ", "255.255.255.0", 0), 1);
  EXPECT_TRUE(Addresses()["eth0"].count("192.168.77.5/24"));
  ASSERT_EQ(ip.NEWADDRESSQ.size(), 1u);
  EXPECT_EQ(ip.NEWADDRESSQ[0].SIPV4, "192.168.77.5  ");
  EXPECT_EQ(ip.CurrentAdapter()->IPADDRESSQ,
            (std::vector<std::string>{LabSession::Topology().computer.address, "192.168.77.5"}));

  // The adapter's own mask when asked for: 255.255.255.0 here.
  ASSERT_EQ(ip.AddTemporaryAddress("172.20.1.9", "255.0.0.0", 1), 1);
  EXPECT_TRUE(Addresses()["eth0"].count("172.20.1.9/24"));
  // The new subnet is reachable the moment the address is there.
  EXPECT_EQ(ip.NEWADDRESSQ.size(), 2u);

  EXPECT_EQ(ip.RemoveAllAddresses(), 0);
  EXPECT_TRUE(ip.NEWADDRESSQ.empty());
  EXPECT_EQ(Addresses(), before);
  // Removal leaves the adapter's list as it was until the next enumeration.
  EXPECT_EQ(ip.CurrentAdapter()->IPADDRESSQ.size(), 3u);
}

TEST_F(AddressesLab, RemovingWithoutAskingTakesThemAllAway) {
  RecordingMessagePresenter messages;
  const auto before = Addresses();
  ASSERT_EQ(ip.AddTemporaryAddress("192.168.77.5", "255.255.255.0", 0), 1);
  ASSERT_EQ(ip.AddTemporaryAddress("192.168.78.5", "255.255.0.0", 0), 1);
  EXPECT_EQ(ip.RemoveTemporaryAddress(0), 1);  // the prompt's "Delete"
  EXPECT_EQ(ip.NEWADDRESSQ.size(), 1u);
  EXPECT_EQ(ip.NEWADDRESSQ[0].SIPV4, "192.168.78.5");
  ip.RemoveTemporaryAddresses(0);
  EXPECT_TRUE(ip.NEWADDRESSQ.empty());
  EXPECT_EQ(Addresses(), before);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AddressesLab, AnAddressTheSystemWillNotRemoveStaysRecorded) {
  ASSERT_EQ(ip.AddTemporaryAddress("192.168.77.5", "255.255.255.0", 0), 1);
  // Somebody else removes it first: our removal fails and the record stays.
  ASSERT_EQ(Lab().Lab({"exec", "ip", "addr", "del", "192.168.77.5/24", "dev", "eth0"}), 0);
  ip.RemoveAllAddresses();
  EXPECT_EQ(ip.NEWADDRESSQ.size(), 1u);
}

TEST_F(AddressesLab, FailingAddsAreRecordedNowhere) {
  const auto before = Addresses();
  const std::vector<std::string> adapterList = ip.CurrentAdapter()->IPADDRESSQ;
  const struct {
    std::string address;
    const char* mask;
  } refused[] = {
      {"192.168.77.5", "255.0.255.0"},                             // a mask with a hole
      {"192.168.77.5", "0.0.0.0"},                                 // everything this adapter's subnet
      {LabSession::Topology().computer.address, "255.255.255.0"},  // already there
      {"127.0.0.9", "255.0.0.0"},                                  // loopback
      {"224.0.0.9", "255.255.255.0"},                              // multicast
  };
  for (const auto& r : refused)
    EXPECT_EQ(ip.AddTemporaryAddress(r.address, r.mask, 0), 0) << r.address << " " << r.mask;
  {
    WithoutNetAdmin notElevated;
    ASSERT_TRUE(notElevated.ok());
    EXPECT_EQ(ip.AddTemporaryAddress("192.168.77.5", "255.255.255.0", 0), 0);
  }
  EXPECT_TRUE(ip.NEWADDRESSQ.empty());
  EXPECT_EQ(ip.CurrentAdapter()->IPADDRESSQ, adapterList);
  EXPECT_EQ(Addresses(), before);
}

TEST_F(AddressesLab, HostileTextAddsNothing) {
  const auto before = Addresses();
  const std::vector<std::string> hostile = {
      "",
      std::string(300, 'a'),
      std::string(300, '1'),
      "192.168.77.5" + std::string(288, '0'),
      "\xc3\xa9\xe2\x82\xac\xff",
      "1.2.3.4.5",
      "999.1.1.1",
      std::string("192.168.77.5\0", 13),
      LabSession::Topology().names.front().name + std::string(1, '\0'),
  };
  for (const std::string& text : hostile) {
    EXPECT_EQ(ip.AddTemporaryAddress(text, "255.255.255.0", 0), 0) << text.size() << " bytes as address";
    EXPECT_EQ(ip.AddTemporaryAddress("192.168.77.5", text, 0), 0) << text.size() << " bytes as mask";
  }
  EXPECT_TRUE(ip.NEWADDRESSQ.empty());
  EXPECT_EQ(Addresses(), before);
}
}  // namespace
