// SIGTERM, SIGINT and SIGHUP turned into a call on the main thread, so a process ends as it would by
// any other request: the application gives the logo back, the tool ends its loop and exits cleanly.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace TerminationSignals {

// Installs the handlers and returns the notifier that calls `onSignal` from the running event loop
// when one of the signals arrives; keep it alive for as long as the loop runs (one per process).
// Null when no pipe could be made, in which case the signals keep their default action.
std::unique_ptr<QSocketNotifier> watch(std::function<void()> onSignal);

}  // namespace TerminationSignals
