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

// Whether a program of that name is on the PATH.
bool On_Path(const std::string& tool);

// The Debian package that brings a program the tests run ("" for one we do not know).
std::string Package_Of(const std::string& tool);
// "TOOL is missing: package P brings it (scripts/setup.sh installs it)".
std::string Missing_Tool_Message(const std::string& tool);

// Every outside program a test runs is installed by scripts/setup.sh, so a
// missing one fails the test, naming the package that brings it.
#define REQUIRE_TOOL(tool)                                                   \
  do {                                                                       \
    if (!On_Path(tool)) GTEST_FAIL() << Missing_Tool_Message(tool);          \
  } while (0)
