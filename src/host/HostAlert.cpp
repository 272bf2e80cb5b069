#include "host/HostAlert.h"

#include <SDL.h>

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

int32 Show_Box(int32 number, const char* text, const char* const* buttons, int32 nbuttons,
               bool fatal) {
  SDL_MessageBoxButtonData data[3]{};
  // SDL lays buttons out in the order given; the first one answers Return.
  for (int32 i = 0; i < nbuttons; ++i) {
    data[i].buttonid = i + 1;
    data[i].text = buttons[i];
    if (i == 0) data[i].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  }
  // Escape picks the second button of a two- or three-button alert (the
  // cancel of the dialogs), the only one of a message.
  data[nbuttons > 1 ? 1 : 0].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  char title[64];
  std::snprintf(title, sizeof title, "Velmor 4 (%d)", int(number));
  SDL_MessageBoxData box{};
  box.flags = fatal ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  box.title = title;
  box.message = text;
  box.numbuttons = nbuttons;
  box.buttons = data;
  int hit = 0;
  if (SDL_ShowMessageBox(&box, &hit) != 0 || hit < 1 || hit > nbuttons) return 1;
  return hit;
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
  if (Host_Backend_Kind() == HostBackendKind::SDL) return Show_Box(number, text, buttons, nbuttons, fatal);
  return 1;
}
