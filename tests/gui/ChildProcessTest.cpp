// Helper programs started by the editor (browser, file choosers): they get only the standard
// descriptors and the default signal mask and actions, and PATH is searched in its absolute
// entries only.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>

#include "gui/x11/ChildProcess.h"
#include "tests/support/LogCapture.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ChildProcess : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zyk-child-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work = pattern;
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        // Descriptors a host leaves open without close-on-exec: a pipe and a file.
        ASSERT_EQ(pipe(hostPipe), 0);
        hostFile = open("/dev/null", O_RDONLY);
        ASSERT_GT(hostFile, 2);
    }
    void TearDown() override {
        setenv("PATH", oldPath.c_str(), 1);
        close(hostPipe[0]);
        close(hostPipe[1]);
        close(hostFile);
        std::system(("rm -rf '" + work + "'").c_str());
    }

    std::string work, oldPath;
    int hostPipe[2] = {-1, -1};
    int hostFile = -1;
    LogCapture log;
};

TEST_F(ChildProcess, ChildrenSeeOnlyTheStandardDescriptors) {
    // The shell lists its own descriptors (ls runs as its child and does not change them).
    const zykgui::ChildOutput out = zykgui::runAndCapture({"sh", "-c", "ls /proc/$$/fd"}, nullptr);
    ASSERT_TRUE(out.started);
    EXPECT_EQ(out.standardOutput, "0\n1\n2\n");

    const std::string listing = work + "/detached";
    // Detached children write to the null device: the shell points its own output at a file.
    ASSERT_TRUE(zykgui::spawnDetached(
        {"sh", "-c", "exec > " + listing + ".tmp; ls /proc/$$/fd; mv " + listing + ".tmp " + listing}));
    for (int i = 0; i < 200 && access(listing.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(listing), "0\n1\n2\n");
}

TEST_F(ChildProcess, AnEmptyOrRelativePathEntryIsNotTheCurrentFolder) {
    ASSERT_EQ(mkdir((work + "/bin").c_str(), 0755), 0);
    for (const char* folder : {"/", "/bin/"}) {
        const std::string program = work + folder + "zyk-probe";
        std::ofstream(program) << "#!/bin/sh\ntouch " << work << "/ran\n";
        ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    }
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    ASSERT_EQ(chdir(work.c_str()), 0);
    setenv("PATH", (":.:bin:./bin:" + oldPath + "::").c_str(), 1);
    EXPECT_FALSE(zykgui::isInPath("zyk-probe"));
    EXPECT_FALSE(zykgui::spawnDetached({"zyk-probe"}));
    EXPECT_TRUE(zykgui::isInPath("sh")) << "the other entries still count";
    ASSERT_EQ(chdir(previous), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_NE(access((work + "/ran").c_str(), F_OK), 0) << "a program of the current folder ran";
    EXPECT_TRUE(log.contains("spawn@60: Cannot start zyk-probe: not found in PATH")) << log.lines().front();
}

// The blocked and ignored signals a process's status lists, "SigBlk:\t<hex>" and "SigIgn:\t<hex>".
std::pair<uint64_t, uint64_t> blockedAndIgnored(const std::string& status) {
    const size_t blocked = status.find("SigBlk:"), ignored = status.find("SigIgn:");
    if (blocked == std::string::npos || ignored == std::string::npos) return {~0ull, ~0ull};
    return {std::stoull(status.substr(blocked + 7), nullptr, 16),
            std::stoull(status.substr(ignored + 7), nullptr, 16)};
}

TEST_F(ChildProcess, ChildrenStartWithNoBlockedOrIgnoredSignals) {
    // A host that blocks some signals and ignores others, as audio hosts do.
    sigset_t blocked, previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigaddset(&blocked, SIGTERM);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &blocked, &previousMask), 0);
    const auto previousPipe = std::signal(SIGPIPE, SIG_IGN);
    const auto previousHangUp = std::signal(SIGHUP, SIG_IGN);
    const zykgui::ChildOutput out =
        zykgui::runAndCapture({"sh", "-c", "exec grep -E '^Sig(Blk|Ign)' /proc/self/status"}, nullptr);
    const std::string listing = work + "/detached";
    // The shell reads its own status with builtins only: while it forks (for grep, say) it blocks
    // every signal for a moment, and a child reading its status then would see that.
    const bool detached =
        zykgui::spawnDetached({"sh", "-c",
                               "exec > " + listing +
                                   ".tmp; while IFS= read -r l; do case $l in Sig[BI]*) echo \"$l\";; esac; "
                                   "done < /proc/$$/status; mv " +
                                   listing + ".tmp " + listing});
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    std::signal(SIGPIPE, previousPipe);
    std::signal(SIGHUP, previousHangUp);

    // Bit n - 1 stands for signal n. The C library keeps its own two real-time signals (32 and 33)
    // ignored in every child it spawns; the 31 standard signals are the ones a host changes.
    constexpr uint64_t kStandardSignals = 0x7FFFFFFF;
    ASSERT_TRUE(out.started);
    EXPECT_EQ(blockedAndIgnored(out.standardOutput).first, 0u) << out.standardOutput;
    EXPECT_EQ(blockedAndIgnored(out.standardOutput).second & kStandardSignals, 0u) << out.standardOutput;
    ASSERT_TRUE(detached);
    for (int i = 0; i < 200 && access(listing.c_str(), F_OK) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string status = readFile(listing);
    EXPECT_EQ(blockedAndIgnored(status).first, 0u) << status;
    EXPECT_EQ(blockedAndIgnored(status).second & kStandardSignals, 0u) << status;
}

} // namespace
