#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <system_error>

#include "platform/unique_fd.h"

namespace wgsim {
namespace {

[[noreturn]] void Raise(const std::string& what, const std::filesystem::path& path) {
  throw std::system_error(errno, std::generic_category(), what + " " + path.string());
}

void WriteAll(int fd, std::string_view bytes, const std::filesystem::path& path) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) Raise("cannot write", path);
    bytes.remove_prefix(static_cast<size_t>(done));
  }
}

// The process's file mode creation mask, read without changing it (umask()
// would have to set it, racing with threads that create files).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("Umask:")) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  }
  return 022;
}

// The letters mkostemp puts in place of the X's that end a template.
constexpr std::string_view kUniqueSuffix = "XXXXXX";

std::filesystem::path Directory(const std::filesystem::path& path) {
  return path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
}

// The name of a temporary file for `path`, before the unique letters.
std::string TemporaryPrefix(const std::filesystem::path& path) {
  return "." + path.filename().string() + ".";
}

// Removes the temporary file unless it was renamed into place.
struct TemporaryFile {
  std::string path;
  bool renamed = false;
  ~TemporaryFile() {
    if (!renamed) ::unlink(path.c_str());
  }
};

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content) {
  const std::filesystem::path directory = Directory(path);
  std::string pattern = (directory / (TemporaryPrefix(path) + std::string(kUniqueSuffix))).string();
  platform::UniqueFd file(::mkostemp(pattern.data(), O_CLOEXEC));
  if (!file) Raise("cannot create a temporary file beside", path);
  TemporaryFile temporary{pattern};

  struct stat existing{};
  mode_t mode;
  if (::stat(path.c_str(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    mode = 0644 & ~CurrentUmask();
  }
  if (::fchmod(file.get(), mode) != 0) Raise("cannot set the permissions of", temporary.path);
  WriteAll(file.get(), content, temporary.path);
  if (::fsync(file.get()) != 0) Raise("cannot flush", temporary.path);
  file.Reset();
  if (::rename(temporary.path.c_str(), path.c_str()) != 0) Raise("cannot rename into", path);
  temporary.renamed = true;

  // The rename itself must reach the disk for the change to survive a crash.
  platform::UniqueFd dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) ::fsync(dir.get());
}

std::vector<std::filesystem::path> RemoveLeftoverTemporaries(const std::filesystem::path& path) {
  const std::string prefix = TemporaryPrefix(path);
  std::vector<std::filesystem::path> removed;
  for (const auto& entry : std::filesystem::directory_iterator(Directory(path))) {
    const std::string name = entry.path().filename().string();
    if (name.size() != prefix.size() + kUniqueSuffix.size() || !name.starts_with(prefix) ||
        !entry.is_regular_file()) {
      continue;
    }
    std::error_code ignored;
    if (std::filesystem::remove(entry.path(), ignored)) removed.push_back(entry.path());
  }
  return removed;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  platform::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file) Raise("cannot open", path);
  std::string content;
  char chunk[16 * 1024];
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Raise("cannot read", path);
    if (got == 0) return content;
    content.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace wgsim
