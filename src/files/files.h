// Reading inputs with a bound and writing outputs whole: an output file is
// built beside its target and renamed over it only when complete and synced,
// so a full disk, an error or a kill leaves the old file as it was.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace phe::files {

class FileError : public std::runtime_error {
 public:
  enum Kind {
    kRefused,  // a path that must not be read or written: nothing was done
    kRead,     // an input could not be read, or is larger than allowed
    kWrite,    // an output could not be written; the old file is untouched
  };
  FileError(Kind kind, const std::string& what) : std::runtime_error(what), kind(kind) {}
  Kind kind;
};

// A case file larger than this is not a case file.
inline constexpr size_t kMaxCaseFileBytes = 64u << 20;

// Opens a regular file for reading without waiting on a FIFO or a device.
// Throws kRead for anything that is not a regular file or cannot be opened.
int OpenRegular(const std::string& path, const std::string& what);

// The whole of a regular file of at most max_bytes. Throws kRead.
// "-" reads standard input, with the same bound.
std::string ReadBounded(const std::string& path, size_t max_bytes, const std::string& what);
// Copies standard input to an unnamed scratch file and returns it open at
// its start, so a reader that counts first and reads after can rewind it.
int SpoolStandardInput(const std::string& what);

// What an existing file must look like for an output to replace it.
enum class OutputKind { kPdf, kCsv, kJsonLines };

// Refuses (kRefused) an output path that names one of `inputs` (any spelling,
// through symlinks), or an existing file that is not a regular file of the
// output's own kind: a sheet replaces only a PDF, a batch output only a
// batch output. An empty file may be replaced.
void CheckOutputPath(const std::string& path, OutputKind kind,
                     const std::vector<std::string>& inputs, const std::string& what);

// An output written under a temporary name in the target's folder and put in
// place by Commit. Destroying it uncommitted removes every trace of it.
class AtomicFile {
 public:
  // A symlink is written through to its target. An existing target keeps
  // its permissions (and owner, where allowed). Throws kWrite.
  explicit AtomicFile(const std::string& path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(const char* data, size_t size);  // throws kWrite
  void Write(const std::string& s) { Write(s.data(), s.size()); }
  // Flushes, syncs and renames over the target. Throws kWrite.
  void Commit();

  const std::string& target() const { return target_; }

 private:
  void Flush();
  std::string path_;    // as given, for messages
  std::string target_;  // the file actually replaced
  std::string dir_;
  int fd_ = -1;
  bool unnamed_ = false;  // an O_TMPFILE file: no name until Commit
  std::string tmp_;       // the temporary name, when it has one
  std::string buffer_;
  bool committed_ = false;
};

// Writes `data` as the whole new content of `path`. Throws kWrite.
void WriteWhole(const std::string& path, const std::string& data);

}  // namespace phe::files
