#include "host/HostAlert.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/HostBackend.h"
#include "host/HostScript.h"

namespace {

// The answer a script queued for this alert, when it names a button we have.
int32 Scripted_Answer(int32 nbuttons) {
  std::string answer;
  if (!Host_Script_Take_Answer(HOST_ANSWER_ALERT, answer)) return 0;
  char* end = nullptr;
  const long n = std::strtol(answer.c_str(), &end, 10);
  if (end == answer.c_str() || n < 1 || n > nbuttons) return 0;
  return int32(n);
}

}  // namespace

int32 Host_Alert_Show(int32 number, const char* text, const char* const* buttons, int32 nbuttons,
                      bool fatal) {
  if (text == nullptr) text = "";
  if (nbuttons < 1 || buttons == nullptr) {
    static const char* const kOk[1] = {"OK"};
    buttons = kOk;
    nbuttons = 1;
  }
  if (nbuttons > 3) nbuttons = 3;
  // The headless backend writes the report itself; elsewhere we do, so the
  // alert is on record whatever shows it.
  if (!Host_Report_Alert(number, text)) {
    std::fprintf(stderr, "velmor: alert %d: %s\n", int(number), text);
    std::fflush(stderr);
  }
  if (const int32 scripted = Scripted_Answer(nbuttons); scripted != 0) return scripted;
  // The backend's alert box, where it has one; else the first button answers.
  const int32 hit = Host_Backend_Alert_Box(number, text, buttons, nbuttons, fatal);
  return hit >= 1 && hit <= nbuttons ? hit : 1;
}
