#include "editor/PresetFiles.h"

#include "k1lib/records/MidiToSysex.h"
#include "k1lib/records/Sysex.h"
#include "log/Log.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

const VSTGUI::CFileExtension g_fileExtensionSYX("Sysex File (*.syx)", "syx");
const VSTGUI::CFileExtension g_fileExtensionMid("Midi File (*.mid)", "mid");

std::string fixFileExtension(const std::string& path) {
    return path.find(".syx") == std::string::npos ? path + ".syx" : path;
}

bool readFile(std::vector<unsigned char>& bytes, const std::string& path, k1lib::FileBytesResult* status) {
    bytes.clear();
    std::vector<unsigned char> file;
    const k1lib::FileBytesResult read = k1lib::readFileBytes(path, file);
    if (status) *status = read;
    if (read != k1lib::FileBytesResult::Ok) {
        k1lib::log(__func__, __LINE__,
                   read == k1lib::FileBytesResult::TooLarge ? "File too large " : "Unable to read file ",
                   path);
        return false;
    }
    // A damaged MIDI file (the reader logs the damage) still gives the sysex before it; a dump it
    // cuts off comes without its F7h, and the sysex reader sees it damaged.
    (void)k1lib::MidiToSysex::readBytes(bytes, file);
    if (!bytes.empty()) return true;
    if (file.empty() || file[0] != k1lib::kSysexStart) return false;
    bytes.swap(file);
    return true;
}

namespace {

// A name beside the target that no other file has: the rename that ends a save then stays within
// one filesystem and is atomic.
int createTemporaryBeside(const std::string& target, std::string& temporary) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        // 0666 as fopen would use, so the user's umask decides the new file's permissions.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// A write past the file-size limit raises SIGXFSZ, whose default ends the whole host. A save that
// does not fit under the limit is refused before anything is written.
bool fitsFileSizeLimit(size_t size) {
    rlimit limit{};
    return getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || size <= limit.rlim_cur;
}

// While a save writes, SIGXFSZ is blocked on this thread, so a limit lowered after the check
// fails the write instead of ending the host; a signal the write raised is taken back before the
// thread's mask is restored.
class FileSizeSignalBlock {
public:
    FileSizeSignalBlock() {
        sigemptyset(&signal);
        sigaddset(&signal, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &signal, &previous);
    }
    ~FileSizeSignalBlock() {
        const timespec now{};
        if (!sigismember(&previous, SIGXFSZ))
            while (sigtimedwait(&signal, nullptr, &now) == SIGXFSZ) {
            }
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
    FileSizeSignalBlock(const FileSizeSignalBlock&) = delete;
    FileSizeSignalBlock& operator=(const FileSizeSignalBlock&) = delete;

private:
    sigset_t signal{};
    sigset_t previous{};
};

// The file a save replaces: a link is followed to the file it names, so the link stays.
std::string resolveTarget(const std::string& path) {
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path; // a dangling link: the new file takes its place
    std::string target(resolved);
    std::free(resolved);
    return target;
}

} // namespace

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool writeToFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    const std::string target = resolveTarget(path);
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    // A pipe would block until a reader comes, and a device or folder is no file to replace.
    if (exists && !S_ISREG(existing.st_mode)) {
        k1lib::log(__func__, __LINE__, "Not a regular file ", path);
        return false;
    }
    if (!fitsFileSizeLimit(bytes.size())) {
        k1lib::log(__func__, __LINE__, "File size limit reached, not writing ", path);
        return false;
    }
    const FileSizeSignalBlock block;
    std::string temporary;
    const int fd = createTemporaryBeside(target, temporary);
    if (fd < 0) {
        k1lib::log(__func__, __LINE__, "Failed to open file ", path);
        return false;
    }
    // The old file stays untouched until the new one is complete on disk.
    bool ok = writeAll(fd, bytes);
    if (ok && exists) ok = fchmod(fd, existing.st_mode & 0777) == 0;
    ok = ok && fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        k1lib::log(__func__, __LINE__, "Failed to write file ", path);
        ::unlink(temporary.c_str());
    }
    return ok;
}
