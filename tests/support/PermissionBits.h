#pragma once
// Permission bits that hold for a test as for an ordinary user, also when
// the test runs as root: while the object lives, the calling thread works
// without the two capabilities that pass over the bits (CAP_DAC_OVERRIDE,
// CAP_DAC_READ_SEARCH). Capabilities belong to a thread, so the other
// threads keep theirs; the thread gets them back when the object goes.
// For a user who never had them nothing changes.
//
// Holds() tells whether a folder that nobody may read now really refuses
// this thread; a test skips, saying why, where it does not.

#include <dirent.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>

namespace test_support {

class TPermissionBits {
public:
  TPermissionBits() {
    FHeader.version = _LINUX_CAPABILITY_VERSION_3;
    FHeader.pid = 0;
    if (::syscall(SYS_capget, &FHeader, FSaved) != 0) return;
    __user_cap_data_struct reduced[2] = {FSaved[0], FSaved[1]};
    for (unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) reduced[cap / 32].effective &= ~(1u << (cap % 32));
    FReduced = ::syscall(SYS_capset, &FHeader, reduced) == 0;
  }
  ~TPermissionBits() {
    if (FReduced) ::syscall(SYS_capset, &FHeader, FSaved);
  }
  TPermissionBits(const TPermissionBits&) = delete;
  TPermissionBits& operator=(const TPermissionBits&) = delete;

  // Makes a folder of mode 0 in Dir and tries to list it.
  bool Holds(const std::filesystem::path& dir) const {
    const std::filesystem::path probe = dir / ".permission-probe";
    if (::mkdir(probe.c_str(), 0) != 0) return false;
    DIR* listing = ::opendir(probe.c_str());
    if (listing) ::closedir(listing);
    ::rmdir(probe.c_str());
    return listing == nullptr;
  }

private:
  __user_cap_header_struct FHeader{};
  __user_cap_data_struct FSaved[2]{};
  bool FReduced = false;
};

}  // namespace test_support
