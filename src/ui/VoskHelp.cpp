#include "ui/VoskHelp.h"

#include <cstring>
#include <string>

#include "platform/LangUtil.h"
#include "platform/SysHelp.h"
#include "platform/SysNet.h"
#include "platform/SysSound.h"
#include "platform/SysVol.h"

namespace {

constexpr int16 kAlertNoHelp = 50;     // "Sorry, can't find the help files."
constexpr int16 kAlertNoBrowser = 35;  // "Sorry, we couldn't locate your default web browser."

constexpr char kHelpFolder[] = "Help";
constexpr char kManualFolder[] = "User Manual";

struct a_phase_topic {
  a_phase phase;
  uint16 topic;
};
constexpr a_phase_topic kPhaseTopics[] = {
    {PREVIEW_PHASE, HELP_PRINTING}, {PAINT_PHASE, HELP_PAINTING}, {CANVAS_PHASE, HELP_CANVASES},
    {SYMBOL_PHASE, HELP_SYMBOLS},   {PHOTO_PHASE, HELP_PHOTOS},   {GRID_PHASE, HELP_GRIDS},
    {TEXT_PHASE, HELP_TEXT},        {COLLAGE_PHASE, HELP_COLLAGES},
};

// The folder beside the program holding name.
bool8 Beside_Program(const char* name, FSSpec& folder) {
  FSSpec app{};
  if (!Get_Application_Path(app)) return false;
  return Concat_Path(app, CStrSpan(name, std::strlen(name) + 1), folder);
}

}  // namespace

uint16 Help_Topic_Of_Phase(a_phase phase) {
  for (const a_phase_topic& p : kPhaseTopics)
    if (p.phase == phase) return p.topic;
  return HELP_CONTENTS;
}

void Do_Contextual_Help() { Do_HelpTopic(Help_Topic_Of_Phase(gs.curr_phase)); }

bool8 Help_Book_Path(const FSSpec& folder, int16 language, FSSpec& book) {
  char name[64] = "Velmor_Help_";
  Append_Language_2(StrSpan(name), language);
  const size_t n = std::strlen(name);
  if (n + 5 > sizeof name) return false;
  std::memcpy(name + n, ".chm", 5);
  return Concat_Path(folder, CStrSpan(name, n + 5), book);
}

void Do_HelpTopic_In(const FSSpec& folder, uint16 topic) {
  FSSpec book{};
  std::string page;
  // The interface language's book when it has the page; English otherwise,
  // whether or not it exists (Show_Help_Topic then fails).
  const int16 language = Current_Language();
  const bool8 own = language != ENGLISH && Help_Book_Path(folder, language, book) && Help_Book_Exists(book) &&
                    Help_Topic_Page(book, topic, page);
  if (!own && !Help_Book_Path(folder, ENGLISH, book)) book = FSSpec{};
  if (!Show_Help_Topic(book, topic)) OK_Alert(false, kAlertNoHelp);
}

void Do_HelpTopic(uint16 topic) {
  FSSpec folder{};
  if (!Beside_Program(kHelpFolder, folder)) {
    OK_Alert(false, kAlertNoHelp);
    return;
  }
  Do_HelpTopic_In(folder, topic);
}

void Do_Manual(int16 index) {
  // Each missing manual falls back to the English one, which ends the chain.
  for (;;) {
    FSSpec folder{}, manual{};
    Str255 name{};
    if (index >= 0 && index < 32767) Get_Translated_String(name, STRLIST_MANUALS, int16(index + 1));
    const bool8 found = name[0] != 0 && Beside_Program(kManualFolder, folder) &&
                        Concat_Path(folder, CStrSpan(name, std::strlen(name) + 1), manual) && File_Exists(manual);
    if (found) {
      if (Launch_Doc(manual) != 0) OK_Alert(false, kAlertNoHelp);
      return;
    }
    if (index == 0) {
      OK_Alert(false, kAlertNoHelp);
      return;
    }
    index = 0;
  }
}

bool8 Web_Address(int16 k, StrSpan url) {
  if (url.empty()) return false;
  url[0] = 0;
  if (k <= 0) return false;
  Get_Translated_String(url, STRLIST_PROGRAM, k);
  return url[0] != 0;
}

void Go_To_Website(int16 k) {
  Str255 url{};
  if (!Web_Address(k, url)) {
    Sound_Effect(SND_NULL);
    return;
  }
  Do_Launch(url);
}

void Do_Launch(CStrSpan url) {
  if (Launch_URL(url) != 0) OK_Alert(false, kAlertNoBrowser);
}
