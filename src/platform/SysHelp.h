// Help topics, shown as HTML pages in the user's browser.
//
// A help book is named by a path such as "<program folder>/Help/Velmor_Help_en.chm"
// (one book per interface language). Its pages are HTML files named after the
// topic number, "<topic>.html" (topic 1 is the contents), in the folder named
// like the book without its suffix ("Help/Velmor_Help_en/101.html"). Pages that
// serve every language lie in the "help" folder beside the program
// ("<program folder>/help/101.html") and are used when the book has no page of
// that number. A path naming an HTML file itself opens that file.
#pragma once

#include <string>

#include "platform/SysIO.h"
#include "platform/Types.h"

// The page of topic section for the book path: false when none exists.
bool8 Help_Topic_Page(const FSSpec& path, uint16 section, std::string& page);
// TRUE when the book has pages of its own (its folder, or the HTML file it
// names, exists); callers use it to choose between a language's book and the
// English one.
bool8 Help_Book_Exists(const FSSpec& path);
// Opens the page of topic section (1: the contents) in the browser. FALSE when
// the topic has no page, and the caller reports the missing help files. TRUE
// when the page exists: it has been handed to the desktop's open command, and
// when nothing can open it the user is told so (alert 71, naming the page):
// at once when the command cannot be started, or when the command, watched
// from the idle work (Host_Poll_Opens), ends in failure.
bool8 Show_Help_Topic(const FSSpec& path, uint16 section);
