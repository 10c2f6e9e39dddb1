#pragma once
// The window path of the program: the application object, the main window and the event loop.
// argc and argv are main()'s. Returns the process's exit status (always 0).
int RunWindowPath(int argc, char* argv[]);
