#pragma once
// File modes for tests of who may read what the programs write: the
// permission bits of a path, and the umask of a shared machine's default
// (022) for as long as a test runs; the children a test starts inherit it.

#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

namespace corvanta::testing {

// The permission bits (0777) of `path`, or -1 when there is nothing.
inline int modeOf(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return int(st.st_mode & 0777);
}

inline void setMode(const QString& path, int mode) { ::chmod(QFile::encodeName(path).constData(), mode_t(mode)); }

class SharedUmask {
public:
    SharedUmask() : previous_(::umask(022)) {}
    ~SharedUmask() { ::umask(previous_); }
    SharedUmask(const SharedUmask&) = delete;
    SharedUmask& operator=(const SharedUmask&) = delete;

private:
    mode_t previous_;
};

}  // namespace corvanta::testing
