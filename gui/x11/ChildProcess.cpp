#include "gui/x11/ChildProcess.h"

#include "gui/GuiLog.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zykgui {

namespace {
std::vector<pid_t> g_detached; // user-interface thread

std::vector<char*> argumentVector(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

void reapFinished() {
    std::vector<pid_t> running;
    for (pid_t pid : g_detached)
        if (waitpid(pid, nullptr, WNOHANG) == 0) running.push_back(pid);
    g_detached.swap(running);
}

class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

// Starts the program found in PATH. The host's descriptors (its sockets, its files) stay with
// the host: the child keeps only 0-2, whatever close-on-exec flags the host set.
bool spawn(pid_t& pid, const std::vector<std::string>& argv, SpawnSetup& setup) {
    const std::string program = findInPath(argv[0]);
    if (program.empty()) {
        log(__func__, __LINE__, "Cannot start ", argv[0], ": not found in PATH");
        return false;
    }
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, 3);
    // Nor do the host's blocked or ignored signals: the child starts with the defaults.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setsigdefault(&setup.attributes, &all);
    short flags = 0;
    posix_spawnattr_getflags(&setup.attributes, &flags);
    posix_spawnattr_setflags(&setup.attributes,
                             static_cast<short>(flags | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));
    std::vector<char*> args = argumentVector(argv);
    const int error =
        posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, args.data(), environ);
    if (error != 0) {
        log(__func__, __LINE__, "Cannot start ", argv[0], ": ", std::strerror(error));
        return false;
    }
    return true;
}
} // namespace

std::string findInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path || name.empty() || name.find('/') != std::string::npos) return {};
    const std::string dirs(path);
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        // An empty or relative entry would be taken from the current folder, wherever the host
        // happens to be: only absolute entries count.
        if (end > start && dirs[start] == '/') {
            const std::string candidate = dirs.substr(start, end - start) + "/" + name;
            struct stat info;
            if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

bool isInPath(const std::string& name) {
    return !findInPath(name).empty();
}

bool spawnDetached(const std::vector<std::string>& argv) {
    reapFinished();
    if (argv.empty()) return false;
    SpawnSetup setup;
    for (int fd = 0; fd <= 2; ++fd)
        posix_spawn_file_actions_addopen(&setup.actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    if (!spawn(pid, argv, setup)) return false;
    g_detached.push_back(pid);
    return true;
}

ChildOutput runAndCapture(const std::vector<std::string>& argv, const std::function<void()>& whileWaiting) {
    ChildOutput out;
    int pipeFds[2];
    if (argv.empty() || pipe2(pipeFds, O_CLOEXEC) != 0) return out;
    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, pipeFds[1], 1);
    pid_t pid = 0;
    const bool started = spawn(pid, argv, setup);
    close(pipeFds[1]);
    if (!started) {
        close(pipeFds[0]);
        return out;
    }
    out.started = true;
    for (;;) {
        pollfd fd{pipeFds[0], POLLIN, 0};
        const int ready = poll(&fd, 1, 20);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) {
            char buffer[4096];
            const ssize_t n = read(pipeFds[0], buffer, sizeof(buffer));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            out.standardOutput.append(buffer, static_cast<size_t>(n));
        }
        if (whileWaiting) whileWaiting();
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    out.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

} // namespace zykgui
