// What a tool invocation works with in tests: every platform service faked, the preference store,
// and standard streams captured in memory.
#pragma once

#include <sstream>

#include "cli/cli.h"
#include "fakes/fake_platform.h"
#include "prefs/prefs.h"

struct CliHarness {
  FakePlatform fake;
  Prefs prefs{fake.preferences};
  std::ostringstream out, err;
  std::istringstream in;
  CliContext context{fake.platform, out, err, in};
};
