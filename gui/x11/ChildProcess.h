// Starting helper programs without a shell: an argument vector through posix_spawn, the program
// looked up in PATH here; the child gets only the standard descriptors 0-2, an empty signal mask
// and every signal at its default action.
//
// Thread contract: the user-interface thread (the dialogs call these).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zykgui {

// The executable file `name` in the first of PATH's directories that holds one, or empty. Only
// absolute entries of PATH count: an empty or relative one would name the current folder.
std::string findInPath(const std::string& name);
// True when `name` is an executable file in one of PATH's directories.
bool isInPath(const std::string& name);

// Starts the program detached: its own session, standard streams on the null device; never
// waits for it. Children that ended are reaped on later calls. False when it cannot start.
bool spawnDetached(const std::vector<std::string>& argv);

struct ChildOutput {
    bool started = false;
    int exitStatus = -1; // the exit code; -1 when it did not exit normally
    std::string standardOutput;
};

// Runs the program to its end and collects its standard output; `whileWaiting` is called about
// every 20 ms (to keep a window painted).
ChildOutput runAndCapture(const std::vector<std::string>& argv, const std::function<void()>& whileWaiting);

} // namespace zykgui
