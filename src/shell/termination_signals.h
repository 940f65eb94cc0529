// A normal quit on SIGTERM, SIGINT and SIGHUP, so the logo is given back when the session ends or
// the tool asks the application to leave.
#pragma once

#include <QSocketNotifier>
#include <memory>

namespace TerminationSignals {

// Installs the handlers and returns the notifier that quits the running Qt application when one of
// the signals arrives; keep it alive for as long as the event loop runs. Null when no pipe could be
// made, in which case the signals keep their default action.
std::unique_ptr<QSocketNotifier> quitOnTermination();

}  // namespace TerminationSignals
