#include "platform/SysNet.h"

#include <cstring>
#include <string>

#include "host/HostLaunch.h"
#include "platform/VoskErr.h"

namespace {

constexpr int16 kAlertNoBrowser = 35;  // "Sorry, we couldn't locate your default web browser."
constexpr int16 kAlertCannotOpen = 72;  // "Sorry, no program could open ^0."

void Web_Page_Done(const std::string&, const HostSpawnStatus& status) {
  if (Host_Open_Failed(status)) OK_Alert(false, kAlertNoBrowser);
}

void Document_Done(const std::string& target, const HostSpawnStatus& status) {
  if (!Host_Open_Failed(status)) return;
  Param_Text(CStrSpan(target.c_str(), target.size() + 1), "", "", "");
  OK_Alert(false, kAlertCannotOpen);
}

}  // namespace

int16 Launch_Doc(const FSSpec& path) {
  std::string name(path.name, strnlen(path.name, sizeof path.name));
  if (name.empty()) return -1;
  // A relative name beginning with "-" would be read as an option.
  if (name[0] == '-') name = "./" + name;
  return Host_Open_With_Default(name, Document_Done) ? 0 : -1;
}

int16 Launch_URL(CStrSpan url) {
  const size_t n = strnlen(url.data(), url.size());
  return Host_Open_With_Default(std::string(url.data(), n), Web_Page_Done) ? 0 : -1;
}
