#pragma once
// A fresh folder of sample browsing traces in a temporary folder, to try the program on
// without going near the user's own data.
#include <optional>
#include <string>

namespace larkspur {

struct DemoSandbox {
  std::string root;
  std::string home;    // stands in for HOME
  std::string config;  // XDG_CONFIG_HOME: the Firefox profiles live below it
  std::string data;    // XDG_DATA_HOME: the registry, URL cache and URL history stand-ins
  std::string cache;   // XDG_CACHE_HOME
};

std::optional<DemoSandbox> BuildDemoSandbox(std::string* error);

}  // namespace larkspur
