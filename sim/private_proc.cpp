// Mount namespace set-up for running a command against the simulated driver.
#include "sim/private_proc.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace blindscan_sim {

namespace {

bool write_file(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY);
  if (fd < 0) return false;
  const bool ok =
      ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return ok;
}

std::string why(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

bool enter_namespaces(std::string& problem) {
  if (geteuid() == 0) {
    if (unshare(CLONE_NEWNS) == 0) return true;
    problem = why("cannot create a mount namespace");
    return false;
  }
  const uid_t uid = geteuid();
  const gid_t gid = getegid();
  if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
    problem = why("cannot create a user namespace") +
              " (this kernel does not allow unprivileged user namespaces; run "
              "as root, or allow them, e.g. sysctl "
              "kernel.unprivileged_userns_clone=1 or "
              "kernel.apparmor_restrict_unprivileged_userns=0)";
    return false;
  }
  if (!write_file("/proc/self/setgroups", "deny") ||
      !write_file("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
      !write_file("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
    problem = why("cannot map the user into its namespace");
    return false;
  }
  return true;
}

}  // namespace

bool enter_private_proc(private_proc& proc, std::string& problem) {
  char staging[] = "/tmp/blindscan-sim.XXXXXX";
  if (mkdtemp(staging) == nullptr) {
    problem = why("cannot make a staging directory");
    return false;
  }
  proc.real_proc = staging;
  if (!enter_namespaces(problem)) {
    rmdir(staging);
    return false;
  }
  if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("/proc", staging, nullptr, MS_BIND | MS_REC, nullptr) != 0 ||
      mount("blindscan-sim-proc", "/proc", "tmpfs", MS_NOSUID | MS_NODEV,
            "mode=0755") != 0) {
    problem = why("cannot lay out a private /proc");
    return false;
  }
  DIR* dir = opendir(staging);
  if (dir == nullptr) {
    problem = why("cannot list the real /proc");
    return false;
  }
  // One thread lists this directory; readdir_r is deprecated.
  // cppcheck-suppress readdirCalled
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || name == "stb") continue;
    symlink((proc.real_proc + "/" + name).c_str(), ("/proc/" + name).c_str());
  }
  closedir(dir);
  if (mkdir("/proc/stb", 0755) != 0) {
    problem = why("cannot make /proc/stb");
    return false;
  }
  return true;
}

void link_own_proc_entry(const private_proc& proc) {
  const std::string pid = std::to_string(getpid());
  symlink((proc.real_proc + "/" + pid).c_str(), ("/proc/" + pid).c_str());
}

void leave_private_proc(const private_proc& proc) {
  // The real /proc again, for whatever reads it while this process exits.
  umount2("/proc", MNT_DETACH);
  umount2(proc.real_proc.c_str(), MNT_DETACH);
  rmdir(proc.real_proc.c_str());
}

}  // namespace blindscan_sim
