// A bare X client for the clipboard tests: asks the clipboard's owner for
// several targets at once (MULTIPLE) and reads the answers, without
// blocking, so that the owner in the same process can answer in between.
#pragma once

#include <string>
#include <vector>

#include "platform/Types.h"

struct X11TestAnswer {
  bool given = false;          // the owner converted this target
  std::vector<uint8> bytes;    // 8-bit data
  std::vector<long> items;     // 32-bit data (atoms, integers)
};

class X11TestClient {
 public:
  explicit X11TestClient(const std::string& display);
  ~X11TestClient();
  X11TestClient(const X11TestClient&) = delete;
  X11TestClient& operator=(const X11TestClient&) = delete;
  bool Ok() const;
  // Sends one MULTIPLE request for these targets.
  void Request(const std::vector<std::string>& targets);
  // TRUE once the answer came: one entry per target (none when the whole
  // request was refused).
  bool Answered(std::vector<X11TestAnswer>& out);

 private:
  struct Impl;
  Impl* impl_;
};
