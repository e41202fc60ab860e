// A report list kept in a static made before the first list existed, as a
// cached form is: it is destroyed at exit after everything made later, and
// the program must still end cleanly (exit code 0, no sanitizer report).
#include <memory>

#include "report/ARRepCommon.h"

namespace {
std::unique_ptr<TAIStringList> kept;
}

int main()
{
    kept = std::make_unique<TAIStringList>(QStringLiteral("kept for the run"));
    return TAINamedList::LiveCount(TAINamedList::kStrings) == 1 ? 0 : 1;
}
