// Where tests keep their scratch copies of br.mdb. Every run saves its case
// record, and a save on disk waits for fsync several times; no test here is
// about surviving a power cut, so the copies live in memory (tmpfs) where
// the machine has it.
#pragma once

#include <filesystem>
#include <unistd.h>

namespace phe::testing {

inline std::filesystem::path ScratchDir() {
  static const std::filesystem::path dir = [] {
    const std::filesystem::path shm = "/dev/shm";
    std::error_code ec;
    if (std::filesystem::is_directory(shm, ec) && access(shm.c_str(), W_OK) == 0) return shm;
    return std::filesystem::temp_directory_path();
  }();
  return dir;
}

}  // namespace phe::testing
