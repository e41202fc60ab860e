#include "ShellOpen.h"

namespace fc {

namespace {
IShellOpen* g_shell = nullptr;
}

IShellOpen& Shell()
{
    static RecordingShellOpen fallback;
    return g_shell ? *g_shell : fallback;
}

void SetShell(IShellOpen* shell) { g_shell = shell; }

IShellOpen* InstalledShell() { return g_shell; }

} // namespace fc

ScopedRecordingShellOpen::ScopedRecordingShellOpen() : previous_(fc::InstalledShell()) { fc::SetShell(this); }

ScopedRecordingShellOpen::~ScopedRecordingShellOpen() { fc::SetShell(previous_); }
