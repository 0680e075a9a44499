#include "platform/shell/Shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "base/Strings.h"

extern char** environ;

namespace shell {

namespace {

bool Spawn(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  // The child is reaped when it ends, so that none is left as a zombie.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

}  // namespace

bool IsOpenableLink(const std::string& link) {
  const std::string upper = UpperCase(Trim(link));
  for (const char* scheme : {"HTTP://", "HTTPS://", "MAILTO:"})
    if (upper.rfind(scheme, 0) == 0 && upper.size() > std::string(scheme).size()) return true;
  return false;
}

bool OpenLink(const std::string& link) {
  if (!IsOpenableLink(link) || FindOnPath("xdg-open").empty()) return false;
  return Spawn({"xdg-open", Trim(link)});
}

bool StartProgram(const std::string& path) { return !path.empty() && Spawn({path}); }

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path || name.empty() || name.find('/') != std::string::npos) return "";
  std::string rest = path;
  while (true) {
    const size_t colon = rest.find(':');
    const std::string dir = rest.substr(0, colon);
    if (!dir.empty()) {
      const std::string candidate = dir + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    if (colon == std::string::npos) return "";
    rest.erase(0, colon + 1);
  }
}

}  // namespace shell
