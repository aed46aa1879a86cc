// One desktop program per settings folder. Two programs on one vexa.cfg and
// vexa.pset would each write back the copy they read at start, and whichever
// ended last would undo what the other stored. The first program holds a
// lock file in the settings folder (vexa.lock, QLockFile: a lock whose
// program no longer runs, after a crash or a power cut, is stale and taken
// over) and listens on a local socket named after the folder; a second
// program started on the same folder asks the first to come to the front,
// says so, and ends without writing anything.
#pragma once

#include <QLockFile>
#include <QLocalServer>
#include <QString>
#include <functional>
#include <memory>

namespace vexa::ui {

inline constexpr const char* kLockFileName = "vexa.lock";

class TSingleInstance {
 public:
  enum class Start {
    kFirst,     // the lock is ours: run, and listen for later starts
    kRunning,   // another live program holds it: it was asked to the front
    kUnlocked,  // the lock file cannot be made (a read-only folder): run without it
  };

  explicit TSingleInstance(const QString& configDir);
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  // Takes the lock; when another program holds it, sends it the request to
  // come to the front (waiting at most waitMs for it to be taken). When that
  // program does not listen, waits up to waitMs for its lock instead.
  Start Acquire(int waitMs = 2000);

  // Once the lock is ours: raise() runs in the event loop whenever a later
  // start asks this program to the front. False when the socket cannot be
  // listened on (the lock still holds).
  bool Listen(std::function<void()> raise);

  // The program is ending: later starts no longer reach it and wait for its
  // lock instead of being sent away.
  void StopListening();

  // The local socket's name for a settings folder (the same folder gives the
  // same name, however it is spelled).
  static QString ServerName(const QString& configDir);

 private:
  bool AskToFront(int waitMs);

  QString dir_;
  QLockFile lock_;
  std::unique_ptr<QLocalServer> server_;
};

// The second start's message (a message box through RunModal, in the
// language of the settings it found).
void TellAlreadyRunning(const QString& configDir, int language);

// Brings the program's windows to the front with the keyboard: the answer to
// a later start on the same folder.
void BringWindowsToFront();

}  // namespace vexa::ui
