// A real engine on the test prefix, with the fault-injecting platform and the
// recording host, and the eight Run-type keys and both Startup folders empty.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tests/support/FaultPlatform.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TestMachine.h"

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() : platform(real), engine(platform, host) {}

  void SetUp() override {
    machine::clearRunKeys();
    machine::setProfileValue("run", nullptr);
    machine::setProfileValue("load", nullptr);
    startup = machine::startupDir();
    commonStartup = machine::commonStartupDir();
    ASSERT_FALSE(startup.empty());
    ASSERT_FALSE(commonStartup.empty());
    machine::makeDir(startup);
    machine::makeDir(commonStartup);
    machine::emptyDir(startup);
    machine::emptyDir(commonStartup);
    machine::removeTree(machine::parentOf(startup) + "\\Startup-Inactive");
    machine::removeTree(machine::parentOf(commonStartup) + "\\Startup-Inactive");
    machine::removeTree(machine::parentOf(startup) + "\\Startup-Disabled");
    machine::removeTree(machine::parentOf(commonStartup) + "\\Startup-Disabled");
  }

  void TearDown() override {
    machine::removeTree(machine::parentOf(startup) + "\\Startup-Disabled");
    machine::removeTree(machine::parentOf(commonStartup) + "\\Startup-Disabled");
    machine::clearRunKeys();
    machine::emptyDir(startup);
    machine::emptyDir(commonStartup);
  }

  // The listing without the sections of the other places (each a blank
  // line, its heading and its lines), which the seeded machine does not
  // decide: Wine's own services and Winlogon values are listed there.
  // others: those sections alone.
  std::vector<std::string> listing(bool others = false) const {
    std::vector<std::string> kept, all = host.texts();
    bool inOthers = false;
    for (size_t line = 0; line < all.size(); ++line) {
      if (all[line].empty() && line + 1 < all.size()) inOthers = isOtherHeading(all[line + 1]);
      if (inOthers == others) kept.push_back(all[line]);
    }
    return kept;
  }
  static bool isOtherHeading(const std::string& line) {
    for (int row = RUN_KEY_COUNT; row < PLACE_COUNT; ++row)
      if (line == places[row].heading) return true;
    return false;
  }

  Win32Platform real;
  FaultPlatform platform;
  RecordingHost host;
  Engine engine;
  std::string startup;
  std::string commonStartup;
};
