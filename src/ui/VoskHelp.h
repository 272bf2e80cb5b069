// The Help menu's commands: help pages in the desktop's browser, the manual,
// the maker's web pages.
//
// Help is a book per interface language in the "Help" folder beside the
// program, named "Velmor_Help_" with the language's code and ".chm"
// ("Help/Velmor_Help_en.chm"); its pages are the HTML files of the folder
// named like the book without the suffix, one a topic ("1.html" the
// contents), as platform/SysHelp.h shows them. A language without a book of
// its own, or whose book lacks the topic, gets the English book's page.
//
// The web links are items of the program's own names list (STRLIST_PROGRAM):
// an empty address means the program has no such page, so its menu item is
// greyed and asking for it plays sound 136.
#pragma once

#include "platform/SysIO.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"

// Help topics: the file "<topic>.html" of the book.
constexpr uint16 HELP_CONTENTS = 1;
constexpr uint16 HELP_GRIDS = 101;     // grids and layouts
constexpr uint16 HELP_PAINTING = 102;
constexpr uint16 HELP_SYMBOLS = 103;
constexpr uint16 HELP_CANVASES = 104;
constexpr uint16 HELP_PHOTOS = 105;
constexpr uint16 HELP_TEXT = 106;
constexpr uint16 HELP_COLLAGES = 107;
constexpr uint16 HELP_PRINTING = 108;
constexpr uint16 HELP_IMPORTING = 109;
constexpr uint16 HELP_DESIGNER = 110;  // the layout designer
constexpr uint16 HELP_KEYS = 111;

// The web link of the Help menu's "Web Page" item: the maker's page.
constexpr int16 WEB_MAKER_PAGE = PROG_WEB;

// The folder of the manuals beside the program and the list of their file
// names (item index + 1 is manual index; 0 English).
constexpr int16 STRLIST_MANUALS = 1100;

// The topic of a phase's help: the preview 108, painting 102, canvases 104,
// symbols 103, photos 105, grids 101, text 106, collages 107, any other
// phase the contents.
uint16 Help_Topic_Of_Phase(a_phase phase);
// Help on the current phase (Help menu item 2, F1).
void Do_Contextual_Help();
// Opens the help book at a topic: the interface language's book when it has
// the topic's page, else the English book's; alert 50 when neither has it.
void Do_HelpTopic(uint16 topic);
// The same with the books looked for in folder (the "Help" folder).
void Do_HelpTopic_In(const FSSpec& folder, uint16 topic);
// The book of a language in folder: "<folder>/Velmor_Help_<code>.chm".
bool8 Help_Book_Path(const FSSpec& folder, int16 language, FSSpec& book);

// Opens manual index of the "User Manual" folder beside the program with
// the desktop's program for it. A missing manual falls back to the English
// one (index 0); no English manual gives alert 50, as does a manual the
// desktop cannot be asked to open.
void Do_Manual(int16 index);

// Web link k (an item of the program's own names list); TRUE when the
// program has that page (the address is not empty).
bool8 Web_Address(int16 k, StrSpan url);
// Opens web link k in the browser; an empty link plays sound 136 and opens
// nothing.
void Go_To_Website(int16 k);
// Opens an address in the browser; alert 35 when the browser cannot be
// started (or, later, when it fails).
void Do_Launch(CStrSpan url);
