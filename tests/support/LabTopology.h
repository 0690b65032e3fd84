#pragma once

#include <string>
#include <vector>

// The lab's site as tools/lab-topology.json describes it: what tools/lab
// builds, and so what the lab tests may expect. Loaded once, on first use;
// a topology that cannot be read stops the test program.
class LabTopology {
 public:
  struct Computer {
    std::string namespaceName;  // its namespace is PREFIX-namespaceName
    std::string address;        // eth0
    int prefix = 0;
    std::string mac;
    std::string secondAddress;  // eth1, administratively down
    std::string secondMac;
  };
  struct Router {
    std::string address;  // the leg on the computer's subnet, and the lab's DNS server
    std::string mac;
    std::string wanAddress;
  };
  struct Host {
    std::string address;
    std::string mac;
  };
  struct Device {
    std::string name;
    std::string ip;
    std::string mac;
    std::string hostname;  // empty when the lab's DNS does not know it
    bool ignoresPing = false;
    std::string webTitle;  // the title of its web page; empty when it serves none
    bool maker = false;    // its description is the maker's own label
    std::string expect;    // what its row's description should read
  };
  // A name the lab's DNS answers, and the address it leads to.
  struct Name {
    std::string name;
    std::string address;
    bool alias = false;  // reached through CNAME records
  };

  static const LabTopology& Get();

  // The first device that serves a web page.
  const Device& WebDevice() const;

  Computer computer;
  Router router;
  Host far;                        // behind the router
  std::string unreachableAddress;  // the router declares it unreachable at once
  std::string silentAddress;       // on the subnet, nobody there
  std::string firstAddress;        // the first address of the computer's subnet
  std::string domain;
  std::vector<Name> names;
  std::vector<Device> devices;

 private:
  LabTopology() = default;
  static LabTopology Load();
};
