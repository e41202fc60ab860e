#pragma once
// The program folder: where the executable lies, and where everything the
// program reads at start-up is found. Tests point it at a folder of their own.

#include <QString>

namespace fc {

// The folder with a trailing "/".
QString ProgramFolder();
// ProgramFolder() + relative path ("imgs/Logo.bmp").
QString ProgramFile(const QString& relative);

// Test-only: use this folder instead (empty: back to the executable's).
void SetProgramFolderForTests(const QString& folder);
QString ProgramFolderOverride();

// The executable's file name without its folder ("fancoil-select").
QString ExecutableFileName();

} // namespace fc
