// The program: module start-up, the single-instance guard, the main window
// and the message loop.
#include "shell/ProgramStart.h"

int main(int argc, char** argv) { return fc::RunProgram(argc, argv); }
