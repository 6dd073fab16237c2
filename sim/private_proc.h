// A private mount namespace in which /proc/stb can be mounted: /proc becomes
// a small tmpfs whose entries link to the real /proc, so /proc/self and the
// rest keep working.
#pragma once

#include <string>

namespace blindscan_sim {

struct private_proc {
  std::string real_proc;  // where the real /proc stays reachable
};

// Moves this process into a new mount namespace (and, when not root, a new
// user namespace) and lays out /proc with an empty /proc/stb. False, with
// `problem` saying why, when the kernel refuses.
bool enter_private_proc(private_proc& proc, std::string& problem);
// In a process forked afterwards: links /proc/<own pid> as well.
void link_own_proc_entry(const private_proc& proc);
// Puts the real /proc back and removes the staging directory, once the
// command has ended.
void leave_private_proc(const private_proc& proc);

}  // namespace blindscan_sim
