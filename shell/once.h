#pragma once
// One running instance per executable file name (the same name in two
// folders is one program; two names run side by side).
//
// The first instance holds an exclusive lock on a file named after the
// executable in the user's runtime folder ($XDG_RUNTIME_DIR, else a private
// folder under the temporary directory) and listens on a local socket
// beside it. A second start asks the first over that socket to raise its
// active window, or its open modal dialog, and then ends. The lock is the
// kernel's (flock): it goes with the process, so a crashed instance leaves
// nothing that blocks the next start.

#include <QString>

namespace fc {

// Call it before the application object exists: without $XDG_RUNTIME_DIR
// it makes the private folder and names it in the variable, for Qt and for
// the guard alike.
void PrepareRuntimeFolder();

// Needs the application object; call it before any window exists. True:
// this is the first instance, which now holds the guard and answers later
// starts. False: another instance runs (it was asked to raise its window,
// or could not be reached); the caller ends at once with exit code 0.
bool CheckSingleInstance();

// Gives the guard up (call it while the application object exists): the
// next start becomes the first instance.
void ReleaseInstanceMutex();

// Where the guard of an executable name lives (tests hold it themselves).
QString InstanceFolder();
QString InstanceLockFile(const QString& executableName);
QString InstanceSocketName(const QString& executableName);

} // namespace fc
