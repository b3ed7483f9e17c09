#pragma once

#include <sys/types.h>

#include <cstddef>

namespace lirako {

// The system calls through which a save reaches the disk. The file layer makes them through
// this table so that a test can fail or interrupt a save at each one in turn.
struct SaveCalls {
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fchmod)(int fd, mode_t mode);
  int (*fsync)(int fd);  // the new file's data
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*fsyncFolder)(int fd);  // the folder, so that the rename itself is durable
};

// The table in use; it starts with the real calls.
SaveCalls& ActiveSaveCalls();

}  // namespace lirako
