// Instances of the application: whether one runs, claiming the single instance, asking them to quit.
#pragma once

#include <string>
#include <vector>

class AppInstances {
 public:
  virtual ~AppInstances() = default;
  // Whether an instance runs and hears requests; one still starting is waited for a little.
  virtual bool isRunning(const std::string& identifier) = 0;
  // Makes this process the one instance, before it touches anything; false when another instance
  // already is.
  virtual bool claim(const std::string& identifier) = 0;
  // Tells the tool that the claiming process now listens for requests.
  virtual void announce(const std::string& identifier) = 0;
  // Asks every running instance to quit politely (never a forced kill).
  virtual void requestQuit(const std::string& identifier) = 0;
  // Hands URLs to the running instance, as the desktop does when a URL of its scheme is opened.
  // False when no instance took them.
  virtual bool openURLs(const std::string& identifier, const std::vector<std::string>& urls) = 0;
};
