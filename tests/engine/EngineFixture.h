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

  std::vector<std::string> listing() const { return host.texts(); }

  Win32Platform real;
  FaultPlatform platform;
  RecordingHost host;
  Engine engine;
  std::string startup;
  std::string commonStartup;
};
