#pragma once
// The desktop's "open with the default program", through Qt.

#include "ShellOpen.h"

class QtShellOpen : public IShellOpen {
public:
    bool Open(const QString& fileOrUrl) override;
};
