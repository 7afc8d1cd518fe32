#include "driver/case_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace phe {

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " \"" + path + "\": " + std::strerror(errno);
}

void WriteAll(int fd, const std::string& text, const std::string& path) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw CaseError(SystemError("cannot write", path));
    done += static_cast<size_t>(n);
  }
}

}  // namespace

nlohmann::ordered_json CaseToJson(const CaseInput& in) {
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  if (!in.project.empty()) j["project"] = in.project;
  if (!in.item.empty()) j["item"] = in.item;
  if (!in.customer.empty()) j["customer"] = in.customer;
  if (in.selection_option) j["selection"] = *in.selection_option == 3 ? "manual" : "auto";
  if (in.calc_option) j["calc"] = *in.calc_option == 5 ? "check" : "design";
  for (const auto& [control, text] : in.controls) j[control] = text;
  return j;
}

void WriteCaseFile(const std::string& path, const CaseInput& in) {
  std::string text;
  try {
    text = CaseToJson(in).dump(2) + "\n";
  } catch (const nlohmann::json::exception& e) {
    throw CaseError(std::string("cannot write the case: ") + e.what());
  }
  // Read back before writing: a file the command line would refuse is never
  // left behind in place of a good one.
  bool several = false;
  ParseCases(nlohmann::json::parse(text), &several);

  std::string tmp = path + ".XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) throw CaseError(SystemError("cannot create a file beside", path));
  tmp = name.data();
  bool open = true;
  try {
    // mkstemp makes the file private; a case file is as readable as any other.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) throw CaseError(SystemError("cannot set the mode of", tmp));
    WriteAll(fd, text, tmp);
    if (::fsync(fd) != 0) throw CaseError(SystemError("cannot write", tmp));
    open = false;
    if (::close(fd) != 0) throw CaseError(SystemError("cannot write", tmp));
  } catch (...) {
    if (open) ::close(fd);
    ::unlink(tmp.c_str());
    throw;
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    const std::string why = SystemError("cannot replace", path);
    ::unlink(tmp.c_str());
    throw CaseError(why);
  }
}

}  // namespace phe
