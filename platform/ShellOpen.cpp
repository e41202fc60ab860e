#include "ShellOpen.h"

namespace fc {

namespace {
IShellOpen* g_shell = nullptr;
}

IShellOpen& Shell()
{
    // Until the program installs the desktop's service, opening fails
    // rather than pretend that something was shown.
    static RecordingShellOpen fallback = [] {
        RecordingShellOpen r;
        r.result = false;
        return r;
    }();
    return g_shell ? *g_shell : fallback;
}

void SetShell(IShellOpen* shell) { g_shell = shell; }

IShellOpen* InstalledShell() { return g_shell; }

} // namespace fc

ScopedRecordingShellOpen::ScopedRecordingShellOpen() : previous_(fc::InstalledShell()) { fc::SetShell(this); }

ScopedRecordingShellOpen::~ScopedRecordingShellOpen() { fc::SetShell(previous_); }
