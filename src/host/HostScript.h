// Scripted input: a text file of commands, one a line, fed to the program
// as if a user typed and clicked. Blank lines and lines starting with "#"
// are skipped; words are separated by spaces; command names are lower case.
//
//   wait TICKS          let TICKS ticks (16 ms each) pass before going on
//   key COMBO           one key with modifiers: Ctrl+S, Shift+Tab, Alt+F4,
//                       Escape, F1, Ctrl++ (modifiers Ctrl, Shift, Alt; keys:
//                       a single character, or a name: Escape/Esc, Enter/
//                       Return, KeypadEnter, Tab, Space, Backspace, Delete/Del,
//                       Insert, Home, End, PageUp, PageDown, Up, Down, Left,
//                       Right, F1..F24; names without case)
//   type TEXT           the rest of the line, as typed characters (UTF-8)
//   down X Y            left button down at (X, Y) of the main window's client area
//   move X Y            mouse to (X, Y)
//   up X Y              left button up at (X, Y)
//   click X Y           down and up at (X, Y)
//   menu ID             the menu command ID (WM_COMMAND to the main window);
//                       refused, with a line on standard error, while a
//                       dialog has the main window disabled
//   answer open PATH    queued answer for the next file dialog of that kind
//   answer save PATH      (PATH is the rest of the line)
//   answer folder PATH
//   answer alert N      queued answer (button N) for the next alert
//   answer color #RRGGBB  queued answer for the next colour chooser: that
//                       colour, confirmed (hexadecimal red, green, blue)
//   snapshot PATH       the main window's client area as a PNG file
//   quit                ends the message loop (the program shuts down normally)
//   signal term|int     the program gets SIGTERM or SIGINT, as from outside
//                       (an input command: it runs when the program looks
//                       for input, so a test knows what is running then)
//
// Pacing: a command runs when the program looks for input and finds none it
// wants (PeekMessage / GetMessage / the idle wait). At most one input command
// (key, type, down, move, up, click, menu) runs per look, so a tracking loop
// sees each step; `wait` holds the script until the tick clock has moved on.
// `answer` lines are taken in order, and a dialog that asks for an answer
// while the next script line is an `answer` takes it at once. When a
// headless run reaches the end of its script without `quit`, the program is
// told to quit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/HostWin.h"
#include "platform/Types.h"

enum class HostScriptOp { WAIT, KEY, TYPE, DOWN, MOVE, UP, CLICK, MENU, ANSWER, SNAPSHOT, QUIT, SIGNAL };

enum HostAnswerKind : int32 { HOST_ANSWER_OPEN = 0, HOST_ANSWER_SAVE = 1, HOST_ANSWER_FOLDER = 2,
                              HOST_ANSWER_ALERT = 3, HOST_ANSWER_COLOR = 4 };

struct HostScriptKey {
  int32 vk;
  bool extended;
};

struct HostScriptCmd {
  HostScriptOp op = HostScriptOp::WAIT;
  int32 line = 0;                   // 1-based line in the file
  int32 a = 0, b = 0;               // ticks, X, Y, menu id, alert button, signal
  std::string text;                 // type text, answer path, snapshot path
  HostAnswerKind kind = HOST_ANSWER_OPEN;
  std::vector<HostScriptKey> keys;  // key: modifiers first, the key last
};

// Parses a whole script. Every bad line adds "NAME:LINE: message\n" to
// errors; FALSE when there was any.
bool Host_Script_Parse(std::string_view text, const std::string& name, std::vector<HostScriptCmd>& out,
                       std::string& errors);

// Loads a script to run (replacing any other); FALSE with errors when the
// file cannot be read or has bad lines (nothing is loaded then).
bool Host_Script_Load_File(const std::string& path, std::string& errors);
bool Host_Script_Load_Text(std::string_view text, const std::string& name, std::string& errors);
// Drops the script and every queued answer.
void Host_Script_Reset();
// TRUE while a loaded script has commands left.
bool Host_Script_Active();
// TRUE while the script is held by a `wait`; remaining := milliseconds left.
bool Host_Script_Waiting(uint32& remaining_ms);
// Runs script commands as described above; TRUE when it did anything. The
// window layer calls it; tests may too.
bool Host_Script_Feed();
// Whether a headless run is quit at the end of the script (default TRUE;
// the backend sets it).
void Host_Script_Set_Quit_At_End(bool quit);

// The next queued answer of a kind, for the file dialogs and the alerts.
bool Host_Script_Take_Answer(HostAnswerKind kind, std::string& out);
// Queues an answer directly (tests and the dialogs' own tests).
void Host_Script_Push_Answer(HostAnswerKind kind, const std::string& value);

// Writes 32-bit BGRA pixels as an 8-bit RGB PNG, through a temporary file
// in the same folder renamed into place. FALSE with a message on failure.
bool Host_Write_PNG(const std::string& path, const uint32* bgra, int32 width, int32 height, std::string& err);
// The client area of a window with the program's windows above it
// (Host_Screen_Compose), as a PNG.
bool Host_Snapshot_Window(HWND hwnd, const std::string& path, std::string& err);
// Reads an 8-bit RGB or RGBA PNG back as BGRA pixels (alpha dropped to 0)
// (tests and checks).
bool Host_Read_PNG(const std::string& path, std::vector<uint32>& bgra, int32& width, int32& height,
                   std::string& err);
