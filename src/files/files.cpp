#include "files/files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

namespace phe::files {

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Why() { return std::strerror(errno); }

std::string DirOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names, following symlinks even to a file that does
// not exist yet (a link to a sheet still to be written).
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return path;
    const std::string link(buf, static_cast<size_t>(n));
    path = link.front() == '/' ? link : DirOf(path) + "/" + link;
  }
  return path;
}

bool ReadAll(int fd, std::string* out, size_t max_bytes) {
  char buf[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (out->size() + static_cast<size_t>(n) > max_bytes) {
      errno = EFBIG;
      return false;
    }
    out->append(buf, static_cast<size_t>(n));
  }
}

// The start of an existing file, enough to tell its kind.
std::string Head(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  char buf[512];
  ssize_t n;
  do n = ::read(fd, buf, sizeof buf);
  while (n < 0 && errno == EINTR);
  ::close(fd);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

bool OfKind(const std::string& head, OutputKind kind) {
  switch (kind) {
    case OutputKind::kPdf: return head.rfind("%PDF-", 0) == 0;
    case OutputKind::kCsv:  // with the byte-order mark a spreadsheet needs, or without
      return head.rfind("name,status,messages,", 0) == 0 ||
             head.rfind("\xEF\xBB\xBFname,status,messages,", 0) == 0;
    case OutputKind::kJsonLines: {
      const std::string first = head.substr(0, head.find('\n'));
      return first.rfind("{\"name\":", 0) == 0 && first.find(",\"status\":\"") != std::string::npos;
    }
  }
  return false;
}

const char* KindName(OutputKind kind) {
  switch (kind) {
    case OutputKind::kPdf: return "a PDF";
    case OutputKind::kCsv: return "a batch output (.csv)";
    case OutputKind::kJsonLines: return "a batch output (.jsonl)";
  }
  return "";
}

}  // namespace

int OpenRegular(const std::string& path, const std::string& what) {
  // Non-blocking: opening a FIFO for reading would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw FileError(FileError::kRead, "cannot read " + what + " " + Quoted(path) + ": " + Why());
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw FileError(FileError::kRead, what + " " + Quoted(path) + " is not a regular file");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

std::string ReadBounded(const std::string& path, size_t max_bytes, const std::string& what) {
  if (path == "-") {
    std::string text;
    if (ReadAll(STDIN_FILENO, &text, max_bytes)) return text;
    if (errno == EFBIG)
      throw FileError(FileError::kRead, what + " on standard input is larger than " +
                                            std::to_string(max_bytes >> 20) + " MB");
    throw FileError(FileError::kRead, "cannot read " + what + " from standard input: " + Why());
  }
  const int fd = OpenRegular(path, what);
  std::string text;
  const bool ok = ReadAll(fd, &text, max_bytes);
  const int saved = errno;
  ::close(fd);
  if (ok) return text;
  if (saved == EFBIG)
    throw FileError(FileError::kRead, what + " " + Quoted(path) + " is larger than " +
                                          std::to_string(max_bytes >> 20) + " MB");
  errno = saved;
  throw FileError(FileError::kRead, "cannot read " + what + " " + Quoted(path) + ": " + Why());
}

int SpoolStandardInput(const std::string& what) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string dir = tmp && *tmp ? tmp : "/tmp";
  int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::string name = dir + "/.phe-in-XXXXXX";
    fd = ::mkstemp(name.data());
    if (fd >= 0) ::unlink(name.c_str());
  }
  if (fd < 0) throw FileError(FileError::kRead, "cannot hold " + what + " from standard input: " + Why());
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const std::string why = Why();
      ::close(fd);
      throw FileError(FileError::kRead, "cannot read " + what + " from standard input: " + why);
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(fd, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) {
        const std::string why = Why();
        ::close(fd);
        throw FileError(FileError::kRead, "cannot hold " + what + " from standard input: " + why);
      }
      done += w;
    }
  }
  ::lseek(fd, 0, SEEK_SET);
  return fd;
}

void CheckOutputPath(const std::string& path, OutputKind kind,
                     const std::vector<std::string>& inputs, const std::string& what) {
  struct stat out;
  if (::stat(path.c_str(), &out) != 0) return;  // a new file
  for (const auto& in : inputs) {
    struct stat st;
    if (!in.empty() && ::stat(in.c_str(), &st) == 0 && st.st_dev == out.st_dev &&
        st.st_ino == out.st_ino)
      throw FileError(FileError::kRefused,
                      what + " " + Quoted(path) + " is the input " + Quoted(in) + "; give another name");
  }
  if (!S_ISREG(out.st_mode))
    throw FileError(FileError::kRefused, what + " " + Quoted(path) + " is not a regular file");
  if (out.st_size > 0 && !OfKind(Head(path), kind))
    throw FileError(FileError::kRefused, what + " " + Quoted(path) + " exists and is not " +
                                             KindName(kind) + "; give another name or remove it");
}

AtomicFile::AtomicFile(const std::string& path) : path_(path), target_(FollowLinks(path)) {
  dir_ = DirOf(target_);
  struct stat old;
  const bool exists = ::stat(target_.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode))
    throw FileError(FileError::kWrite, "cannot write " + Quoted(path) + ": not a regular file");
  // An unnamed file leaves nothing behind whatever ends the program.
  fd_ = ::open(dir_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  unnamed_ = fd_ >= 0;
  if (!unnamed_) {
    std::string name = dir_ + "/.phe-XXXXXX";
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) throw FileError(FileError::kWrite, "cannot write " + Quoted(path) + ": " + Why());
    tmp_ = name;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
  if (exists) {
    // Best effort: only the owner or root may give a file away.
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0) (void)::fchown(fd_, static_cast<uid_t>(-1), old.st_gid);
    ::fchmod(fd_, old.st_mode & 07777);
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !tmp_.empty()) ::unlink(tmp_.c_str());
}

void AtomicFile::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      buffer_.clear();
      throw FileError(FileError::kWrite, "cannot write " + Quoted(path_) + ": " + Why());
    }
    done += static_cast<size_t>(n);
  }
  buffer_.clear();
}

void AtomicFile::Write(const char* data, size_t size) {
  buffer_.append(data, size);
  if (buffer_.size() >= (1u << 16)) Flush();
}

void AtomicFile::Commit() {
  auto fail = [&] { throw FileError(FileError::kWrite, "cannot write " + Quoted(path_) + ": " + Why()); };
  Flush();
  if (::fsync(fd_) != 0) fail();
  if (unnamed_) {
    // A short name: the target's own may already be as long as names go.
    std::random_device rd;
    const std::string fd_path = "/proc/self/fd/" + std::to_string(fd_);
    for (int tries = 0;; ++tries) {
      char name[16];
      std::snprintf(name, sizeof name, ".phe-%08x", static_cast<unsigned>(rd()));
      const std::string tmp = dir_ + "/" + name;
      if (::linkat(AT_FDCWD, fd_path.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        tmp_ = tmp;
        break;
      }
      if (errno != EEXIST || tries > 100) fail();
    }
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail();
  if (::rename(tmp_.c_str(), target_.c_str()) != 0) fail();
  committed_ = true;
  // The rename itself survives a power cut only once the folder is synced.
  const int dfd = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

void WriteWhole(const std::string& path, const std::string& data) {
  AtomicFile f(path);
  f.Write(data);
  f.Commit();
}

}  // namespace phe::files
