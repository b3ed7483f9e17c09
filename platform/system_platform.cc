#include "platform/system_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/cp949_converter.h"
#include "platform/posix_file.h"
#include "platform/recently_used_file.h"
#include "platform/utf.h"

namespace lirako {
namespace {

std::string HomeRelative(const char* xdgVariable, const char* fallback) {
  const char* xdg = std::getenv(xdgVariable);
  if (xdg && *xdg) return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + fallback;
}

void MakeFolders(const std::string& path) {
  for (size_t p = 1; p <= path.size(); ++p) {
    if (p == path.size() || path[p] == '/') ::mkdir(path.substr(0, p).c_str(), 0755);
  }
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

SystemPlatform::SystemPlatform()
    : SystemPlatform(std::make_unique<RegistryStore>(DefaultRegistryPath())) {}

SystemPlatform::SystemPlatform(std::unique_ptr<Registry> registry)
    : registry_(std::move(registry)) {
  const char* off = std::getenv("LIRAKO_NO_CP949");
  codePageDisabled_ = off && std::strcmp(off, "1") == 0;
}

std::string SystemPlatform::DefaultRegistryPath() {
  const char* env = std::getenv("LIRAKO_REGISTRY");
  if (env && *env) return env;
  return HomeRelative("XDG_CONFIG_HOME", "/.config") + "/lirako/registry";
}

std::unique_ptr<File> SystemPlatform::OpenForReading(const std::u16string& path, std::string* err) {
  return OpenPosixFileForReading(PathToBytes(path), err);
}

std::unique_ptr<File> SystemPlatform::CreateForWriting(const std::u16string& path,
                                                       std::string* err) {
  return CreateAtomicFile(PathToBytes(path), err);
}

WriteAccess SystemPlatform::CheckWriteAccess(const std::u16string& path) {
  return lirako::CheckWriteAccess(PathToBytes(path));
}

bool SystemPlatform::Exists(const std::u16string& path) {
  struct stat st;
  return ::lstat(PathToBytes(path).c_str(), &st) == 0;
}

void SystemPlatform::RemoveSaveTemporaries(const std::u16string& path) {
  RemoveAtomicTemporaries(PathToBytes(path));
}

std::unique_ptr<FolderLock> SystemPlatform::LockFolder(const std::u16string& folder) {
  return LockPosixFolder(PathToBytes(folder));
}

std::u16string SystemPlatform::ProgramPath() {
  char buffer[4096];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0) return {};
  return PathFromBytes(std::string_view(buffer, static_cast<size_t>(n)));
}

bool SystemPlatform::IsWritableFolder(const std::u16string& folder) {
  std::string path = PathToBytes(folder);
  // The folders installed programs live in belong to the package manager: a reader started
  // from one, even by root, keeps its files in the user's data folder instead.
  for (std::string_view programs :
       {std::string_view(LIRAKO_INSTALL_BINDIR), std::string_view("/usr/bin"),
        std::string_view("/usr/local/bin"), std::string_view("/bin")}) {
    if (path == programs) return false;
  }
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(path.c_str(), W_OK | X_OK) == 0;
}

bool SystemPlatform::IsBuildTree(const std::u16string& folder) {
  std::string path = PathToBytes(folder);
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  if (path.empty() || path.front() != '/') return false;
  if (path.size() >= 4 && path.compare(path.size() - 4, 4, "/bin") == 0) return false;
  for (;;) {
    struct stat st;
    if (::stat((path + "/CMakeCache.txt").c_str(), &st) == 0 && S_ISREG(st.st_mode)) return true;
    size_t slash = path.rfind('/');
    if (slash == 0 || slash == std::string::npos) {
      return ::stat("/CMakeCache.txt", &st) == 0 && S_ISREG(st.st_mode);
    }
    path.resize(slash);
  }
}

std::u16string SystemPlatform::UserDataFolder() {
  std::string folder = HomeRelative("XDG_DATA_HOME", "/.local/share") + "/lirako";
  MakeFolders(folder);
  return PathFromBytes(folder);
}

std::u16string SystemPlatform::ConfigHome() {
  return PathFromBytes(HomeRelative("XDG_CONFIG_HOME", "/.config"));
}

std::u16string SystemPlatform::DataHome() {
  return PathFromBytes(HomeRelative("XDG_DATA_HOME", "/.local/share"));
}

std::vector<std::u16string> SystemPlatform::DataDirs() {
  const char* env = std::getenv("XDG_DATA_DIRS");
  std::string list = env && *env ? env : "/usr/local/share:/usr/share";
  std::vector<std::u16string> folders;
  size_t start = 0;
  while (start <= list.size()) {
    size_t colon = list.find(':', start);
    if (colon == std::string::npos) colon = list.size();
    if (colon > start) folders.push_back(PathFromBytes(list.substr(start, colon - start)));
    start = colon + 1;
  }
  return folders;
}

bool SystemPlatform::PathExists(const std::u16string& path) {
  struct stat st;
  return ::stat(PathToBytes(path).c_str(), &st) == 0;
}

bool SystemPlatform::MakeFolder(const std::u16string& folder) {
  std::string path = PathToBytes(folder);
  MakeFolders(path);
  return IsFolder(path);
}

std::vector<std::u16string> SystemPlatform::FolderEntries(const std::u16string& folder) {
  std::vector<std::u16string> names;
  DIR* dir = ::opendir(PathToBytes(folder).c_str());
  if (!dir) return names;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.push_back(PathFromBytes(name));
  }
  ::closedir(dir);
  return names;
}

bool SystemPlatform::MoveFile(const std::u16string& from, const std::u16string& to,
                              std::string* err) {
  const std::string source = PathToBytes(from);
  const std::string target = PathToBytes(to);
  auto fail = [&](const char* call) {
    if (err) *err = source + ": " + call + ": " + std::strerror(errno);
    return false;
  };
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  // A file system that cannot refuse to replace in a rename still refuses in a link.
  if (errno == EINVAL || errno == ENOSYS) {
    if (::link(source.c_str(), target.c_str()) == 0) return ::unlink(source.c_str()) == 0;
  }
  if (errno != EXDEV) return fail("rename");
  if (PathExists(to)) {
    errno = EEXIST;
    return fail("rename");
  }
  std::unique_ptr<File> in = OpenForReading(from, err);
  if (!in) return false;
  std::unique_ptr<File> out = CreateForWriting(to, err);
  if (!out) return false;
  char buffer[1 << 16];
  for (;;) {
    size_t n = in->Read(buffer, sizeof buffer);
    if (n == 0) break;
    if (out->Write(buffer, n) != n) return fail("write");
  }
  if (!out->Close()) {
    if (err) *err = target + ": " + out->FailureReason();
    return false;
  }
  return ::unlink(source.c_str()) == 0 || fail("unlink");
}

bool SystemPlatform::RemoveFile(const std::u16string& path) {
  return ::unlink(PathToBytes(path).c_str()) == 0 || errno == ENOENT;
}

bool SystemPlatform::RunProgram(const std::u16string& program,
                                const std::vector<std::u16string>& arguments) {
  std::vector<std::string> words{PathToBytes(program)};
  for (const std::u16string& argument : arguments)
    words.push_back(PathToBytes(argument));
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int failed = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool SystemPlatform::AddRecentlyUsed(const std::u16string& path,
                                     std::chrono::system_clock::time_point now, std::string* err) {
  const std::string folder = PathToBytes(DataHome());
  MakeFolders(folder);
  return RecordRecentlyUsed(folder + "/recently-used.xbel", PathToBytes(path), now, err);
}

bool SystemPlatform::HasCodePage949() {
  return !codePageDisabled_ && Cp949Converter::Instance().available();
}

std::u16string SystemPlatform::Cp949ToUtf16(std::string_view bytes) {
  if (!HasCodePage949()) {
    // Without the code page every byte stands for the unit of its own value.
    std::u16string out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
      out[i] = static_cast<unsigned char>(bytes[i]);
    return out;
  }
  return Cp949Converter::Instance().Convert(bytes);
}

void SystemPlatform::FoldCase(std::u16string& text) {
  for (char16_t& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
}

ptrdiff_t SystemPlatform::FindText(std::u16string_view text, std::u16string_view needle,
                                   size_t from) {
  if (from > text.size()) return -1;
  size_t at = text.find(needle, from);
  return at == std::u16string_view::npos ? -1 : static_cast<ptrdiff_t>(at);
}

}  // namespace lirako
