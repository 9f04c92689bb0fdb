// The program's entry: hands over to DemoMain, as a graphical entry point
// would, and ends the process with its result.
#include "shell/demo_main.h"

int main() { return DemoMain(nullptr, nullptr, "", 1); }
