// The program's start-up and message loop: settings, splash, the windows in
// their order, a recording named on the command line, then the loop until
// the monitor window closes.
#pragma once

namespace vexa::ui {

// The program's entry point; returns 0.
int RunVexa(int argc, char** argv);

// Opens the recording the command-line text names, as "Open" would; a path
// that does not open is passed over without a message. True when loaded.
bool OpenCommandLineRecording(const char* const* argv, int argc);

}  // namespace vexa::ui
