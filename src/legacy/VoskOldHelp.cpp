// The older Help menus of VoskOld.h.
#include "legacy/VoskOld.h"
#include "platform/VoskErr.h"
#include "ui/VoskAbou.h"
#include "ui/VoskAskDesign.h"
#include "ui/VoskHelp.h"

// --- The older Help menus --------------------------------------------------------------------

void Do_Help_Menu(int16 item) {
  switch (item) {
    case 1: Do_Manual(Current_Language()); break;
    case 3: Go_To_Website(7); break;
    case 4: Go_To_Website(9); break;
    case 5: Ask_Design(); break;
    case 7: Do_About(); break;
    default: break;
  }
}

void Do_Help2_Menu(int16 item) {
  switch (item) {
    case 1: Do_HelpTopic(HELP_CONTENTS); break;
    case 2: Do_Contextual_Help(); break;
    case 4: Go_To_Website(7); break;
    case 5: Go_To_Website(14); break;
    case 7: Go_To_Website(15); break;
    case 10: Do_About(); break;
    default: break;
  }
}
