// Fakes for the process, bundles, locale, files and child processes.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "platform/interfaces/bundles.h"
#include "platform/interfaces/child_processes.h"
#include "platform/interfaces/files.h"
#include "platform/interfaces/locale.h"
#include "platform/interfaces/process_info.h"

class FakeProcessInfo : public ProcessInfo {
 public:
  std::vector<std::string> arguments() override { return args; }
  std::string homeDirectory() override { return home; }
  std::vector<std::string> args{"/Applications/Halomark.app/Contents/MacOS/Halomark"};
  std::string home = "/home/tester";
};

class FakeBundles : public Bundles {
 public:
  std::optional<std::string> mainBundleIdentifier() override { return mainIdentifier; }
  std::optional<std::string> mainBundlePath() override { return mainPath; }
  std::optional<PlistDictionary> mainBundleInfo() override { return mainInfo; }
  std::optional<PlistDictionary> bundleInfo(const std::string& path) override {
    auto it = infoByPath.find(path);
    if (it == infoByPath.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::string> openApplication(const std::string& path, double timeoutSeconds) override {
    opened.push_back(path);
    lastTimeout = timeoutSeconds;
    return openError;
  }
  std::optional<std::string> installingPackage(const std::string& path) override {
    auto it = packageByPath.find(path);
    if (it == packageByPath.end()) return std::nullopt;
    return it->second;
  }

  std::optional<std::string> mainIdentifier;
  std::optional<std::string> mainPath;
  std::optional<PlistDictionary> mainInfo;
  std::map<std::string, PlistDictionary> infoByPath;
  std::optional<std::string> openError;
  std::map<std::string, std::string> packageByPath;
  std::vector<std::string> opened;
  double lastTimeout = 0;
};

// Formats like an English locale: thousands grouped with commas, up to three fraction digits.
class FakeLocale : public Locale {
 public:
  std::string formatDecimal(double value) override {
    std::ostringstream raw;
    raw << std::fixed << std::setprecision(3) << value;
    std::string text = raw.str();
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    auto dot = text.find('.');
    std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : decimalMark + text.substr(dot + 1);
    bool negative = !whole.empty() && whole[0] == '-';
    if (negative) whole.erase(0, 1);
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
      if (i > 0 && (whole.size() - i) % 3 == 0) grouped += groupSeparator;
      grouped += whole[i];
    }
    return (negative ? "-" : "") + grouped + fraction;
  }
  // Cuts at code points, which is enough for the texts tests use.
  std::string prefixOfCharacters(const std::string& text, std::size_t count) override {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size() && seen < count; ++seen) {
      ++i;
      while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    }
    return text.substr(0, i);
  }
  std::string decimalMark = ".";
  std::string groupSeparator = ",";
};

// Writes for real (tests point it at temporary directories) and records the paths written.
class FakeFiles : public Files {
 public:
  std::optional<std::string> writeAtomically(const std::string& path, const std::string& bytes) override {
    written.push_back(path);
    if (failWith) return failWith;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) return "couldn't write " + path;
    return std::nullopt;
  }
  std::optional<std::string> failWith;
  std::vector<std::string> written;
};

class FakeChildProcesses : public ChildProcesses {
 public:
  std::variant<ChildExit, ChildStartFailure> run(const std::string& executable,
                                                 const std::vector<std::string>& arguments) override {
    runs.push_back({executable, arguments});
    if (!result) {
      ADD_FAILURE() << "unexpected child process: " << executable;
      return ChildStartFailure{"not scripted by the test"};
    }
    return *result;
  }
  // What every run gives; a test that expects a child process says how it ends.
  std::optional<std::variant<ChildExit, ChildStartFailure>> result;
  std::vector<std::pair<std::string, std::vector<std::string>>> runs;
};
