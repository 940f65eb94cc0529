// Creates, configures, inspects, watches and removes the emulated logo device, so the product has
// a logo to drive (and a developer something to see) on a machine without one.
#include <iostream>

#include "device_tool.h"

int main(int argc, char** argv) {
  return DeviceTool::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
