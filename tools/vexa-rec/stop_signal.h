// Ctrl-C (SIGINT) and SIGTERM end a command's session the way its stop does:
// the handler only raises a flag that the command's loop reads.
#pragma once

#include <chrono>

namespace vexa::rec {

// Installs the handlers and clears the flag.
void CatchStopSignals();
// Gives both signals their default meaning again.
void ReleaseStopSignals();
bool StopRequested();

// Sleeps until `when`, or until a stop signal arrives.
void SleepUntil(std::chrono::steady_clock::time_point when);

}  // namespace vexa::rec
