// FUSE operations of the simulated driver: thin calls into driver_model.
#define FUSE_USE_VERSION 35
#include "sim/fuse_driver.h"

#include <fuse.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace blindscan_sim {

namespace {

driver_model& model() {
  return *static_cast<driver_model*>(fuse_get_context()->private_data);
}

void* init(fuse_conn_info*, fuse_config* config) {
  config->entry_timeout = 0;
  config->attr_timeout = 0;
  config->negative_timeout = 0;
  config->direct_io = 1;
  return fuse_get_context()->private_data;
}

int getattr(const char* path, struct stat* st, fuse_file_info*) {
  std::memset(st, 0, sizeof *st);
  const driver_model::entry e = model().find(path);
  switch (e.kind) {
    case driver_model::node::none:
      return -ENOENT;
    case driver_model::node::directory:
      st->st_mode = S_IFDIR | 0555;
      st->st_nlink = 2;
      return 0;
    case driver_model::node::control:
      st->st_mode = S_IFREG | 0644;
      break;
    case driver_model::node::result:
      st->st_mode = S_IFREG | 0444;
      break;
  }
  st->st_nlink = 1;
  st->st_uid = getuid();
  st->st_gid = getgid();
  return 0;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t,
            fuse_file_info*, fuse_readdir_flags) {
  if (model().find(path).kind != driver_model::node::directory) return -ENOENT;
  fill(buffer, ".", nullptr, 0, fuse_fill_dir_flags{});
  fill(buffer, "..", nullptr, 0, fuse_fill_dir_flags{});
  for (const std::string& name : model().list(path)) {
    fill(buffer, name.c_str(), nullptr, 0, fuse_fill_dir_flags{});
  }
  return 0;
}

int open(const char* path, fuse_file_info* fi) {
  uint64_t handle = 0;
  const int status = model().open(path, fi->flags, handle);
  fi->fh = handle;
  fi->direct_io = 1;
  return status;
}

int create(const char* path, mode_t, fuse_file_info* fi) {
  model().note(std::string("create refused ") + (path + 1) + " " +
               open_flags_text(fi->flags));
  return -EACCES;
}

int read(const char*, char* buffer, size_t size, off_t offset,
         fuse_file_info* fi) {
  std::string text;
  const int status = model().read(fi->fh, offset, size, text);
  if (status != 0) return status;
  std::copy(text.begin(), text.end(), buffer);
  return static_cast<int>(text.size());
}

int write(const char*, const char* bytes, size_t size, off_t offset,
          fuse_file_info* fi) {
  size_t accepted = 0;
  const int status = model().write(fi->fh, bytes, size, offset, accepted);
  return status != 0 ? status : static_cast<int>(accepted);
}

int truncate(const char* path, off_t size, fuse_file_info*) {
  model().note(std::string("truncate ") + (path + 1) + " to " +
               std::to_string(size));
  return 0;
}

int release(const char*, fuse_file_info* fi) {
  model().release(fi->fh);
  return 0;
}

fuse_operations operations() {
  fuse_operations ops{};
  ops.init = init;
  ops.getattr = getattr;
  ops.readdir = readdir;
  ops.open = open;
  ops.create = create;
  ops.read = read;
  ops.write = write;
  ops.truncate = truncate;
  ops.release = release;
  return ops;
}

}  // namespace

fuse* mount_driver(driver_model& driver, const std::string& mount_point,
                   std::string& problem) {
  if (access("/dev/fuse", R_OK | W_OK) != 0) {
    problem = std::string("cannot open /dev/fuse: ") + std::strerror(errno) +
              " (the simulator needs FUSE, Debian package fuse3, and "
              "read-write access to /dev/fuse)";
    return nullptr;
  }
  static const fuse_operations ops = operations();
  char name[] = "blindscan-sim";
  char option[] = "-o";
  char fsname[] = "fsname=blindscan-sim,subtype=blindscan-sim";
  char* argv[] = {name, option, fsname, nullptr};
  fuse_args args = FUSE_ARGS_INIT(3, argv);
  fuse* filesystem = fuse_new(&args, &ops, sizeof ops, &driver);
  fuse_opt_free_args(&args);
  if (filesystem == nullptr) {
    problem = "cannot set up FUSE";
    return nullptr;
  }
  if (fuse_mount(filesystem, mount_point.c_str()) != 0) {
    fuse_destroy(filesystem);
    problem = "cannot mount FUSE at " + mount_point;
    return nullptr;
  }
  return filesystem;
}

void serve_driver(fuse* filesystem) { fuse_loop(filesystem); }

void unmount_driver(fuse* filesystem) {
  fuse_exit(filesystem);
  fuse_unmount(filesystem);
}

void destroy_driver(fuse* filesystem) { fuse_destroy(filesystem); }

}  // namespace blindscan_sim
