#include "platform/SysNet.h"

#include <cstring>
#include <string>

#include "host/HostLaunch.h"

int16 Launch_Doc(const FSSpec& path) {
  std::string name(path.name, strnlen(path.name, sizeof path.name));
  if (name.empty()) return -1;
  // A relative name beginning with "-" would be read as an option.
  if (name[0] == '-') name = "./" + name;
  return Host_Open_With_Default(name) ? 0 : -1;
}

int16 Launch_URL(CStrSpan url) {
  const size_t n = strnlen(url.data(), url.size());
  return Host_Open_With_Default(std::string(url.data(), n)) ? 0 : -1;
}
