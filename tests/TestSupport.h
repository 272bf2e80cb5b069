// Test support: the fatal hooks throw instead of ending the program, so a
// test can assert that a routine reports an internal error, a failed
// allocation or a missing resource.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/SysErr.h"

struct QuitCalled : std::runtime_error {
  QuitCalled() : std::runtime_error("QUIT") {}
};
struct MemErrCalled : std::runtime_error {
  uint32 needed;
  explicit MemErrCalled(uint32 n) : std::runtime_error("out of memory"), needed(n) {}
};
struct ResErrCalled : std::runtime_error {
  OSType kind;
  int16 id;
  ResErrCalled(OSType k, int16 i) : std::runtime_error("missing resource"), kind(k), id(i) {}
};
struct KeyErrCalled : std::runtime_error {
  KeyErrCalled() : std::runtime_error("missing key") {}
};

// Points the hooks at throwing procedures (TestMain does this before every test).
void Install_Test_Hooks();

// Folder of the project's own fixtures, and of the shared public corpora (may be absent).
std::string Fixture_Path(const std::string& name);
std::string Shared_Path(const std::string& name);

// Whether a program of that name is on the PATH (tests of outside tools skip without it).
bool On_Path(const std::string& tool);
