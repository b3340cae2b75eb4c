#include "util/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/error.h"

namespace lirovox {

namespace {
std::string SystemReason() { return std::strerror(errno); }
}  // namespace

std::string ReadWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Error("cannot open \"" + path + "\": " + SystemReason());
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw Error("cannot read \"" + path + "\": it is a folder");
    }
    std::string data;
    if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            std::string reason = SystemReason();
            ::close(fd);
            throw Error("cannot read \"" + path + "\": " + reason);
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    namespace fs = std::filesystem;
    fs::path target(path);
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::string tmpl = (dir / (target.filename().string() + ".tmp-XXXXXX")).string();
    std::string tmp = tmpl;
    int fd = ::mkstemp(tmp.data());
    if (fd < 0) throw Error("cannot write \"" + path + "\": " + SystemReason());
    auto fail = [&](const std::string& reason) {
        ::close(fd);
        ::unlink(tmp.c_str());
        throw Error("cannot write \"" + path + "\": " + reason);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(SystemReason());
        }
        done += static_cast<size_t>(n);
    }
    // Keep the permissions an existing target had; a new file gets the usual 0644.
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
    ::fchmod(fd, mode);
    if (::fsync(fd) != 0) fail(SystemReason());
    if (::close(fd) != 0) {
        std::string reason = SystemReason();
        ::unlink(tmp.c_str());
        throw Error("cannot write \"" + path + "\": " + reason);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        std::string reason = SystemReason();
        ::unlink(tmp.c_str());
        throw Error("cannot write \"" + path + "\": " + reason);
    }
}

std::string ResolvePath(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(fs::path(path), ec), ec);
    if (ec) return fs::absolute(fs::path(path)).lexically_normal().string();
    return p.string();
}

}  // namespace lirovox
