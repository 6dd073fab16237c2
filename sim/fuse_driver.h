// Serving a driver_model as a FUSE filesystem.
#pragma once

#include <string>

#include "sim/driver_model.h"

struct fuse;

namespace blindscan_sim {

// Mounts `driver` at `mount_point`; nullptr (with `problem` set) on failure.
// Lookups and attributes are never cached, and every read reaches the model.
fuse* mount_driver(driver_model& driver, const std::string& mount_point,
                   std::string& problem);
// Serves requests until the filesystem is unmounted or told to exit.
void serve_driver(fuse* filesystem);
// Makes serve_driver return; then destroy_driver frees the filesystem.
void unmount_driver(fuse* filesystem);
void destroy_driver(fuse* filesystem);

}  // namespace blindscan_sim
