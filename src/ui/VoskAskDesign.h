// The layout designer: a modal dialog (203) in which the user describes a
// label sheet of up to six sections of identical labels, previews it, prints
// it as a test sheet and exports it as a layout definition text in the
// catalogue's record syntax. The design never joins the catalogue.
#pragma once

#include <string>

#include "doc/VoskTmpl.h"
#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/SysIO.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// The dialog's template and its texts (item n of the list names item n).
constexpr int16 DLOG_DESIGN = 203;
constexpr int16 STRLIST_DESIGN = 900;

// The items of dialog 203.
enum a_design_item : int16 {
  DES_EXPORT = 1,
  DES_CANCEL = 2,
  DES_PRINT_PREVIEW = 3,
  DES_NAME = 5,
  DES_CDPRINTER = 6,
  DES_PAPER = 8,
  DES_PAPER_WIDTH = 10,
  DES_PAPER_HEIGHT = 12,
  DES_ORIENTATION = 14,
  DES_PITCH_MODE = 16,
  DES_UNITS = 18,
  DES_SECTION = 20,
  DES_KIND = 22,
  DES_NX = 24,
  DES_NY = 26,
  DES_BBOX_LEFT = 28,
  DES_BBOX_TOP = 30,
  DES_BBOX_WIDTH = 32,
  DES_BBOX_HEIGHT = 34,
  DES_PITCH_X = 36,
  DES_PITCH_Y = 38,
  DES_MEAS1 = 40,
  DES_MEAS2 = 42,
  DES_MEAS3 = 44,
  DES_MEAS4 = 46,
  DES_BLEED_LEFT = 48,
  DES_BLEED_TOP = 50,
  DES_BLEED_RIGHT = 52,
  DES_BLEED_BOTTOM = 54,
  DES_STAGGERED = 55,
  DES_SHORTODD = 56,
  DES_CLOBBERS = 57,
  DES_NOTINDEXED = 58,
  DES_CROPMARKS = 59,
  DES_CLEAR_SECTION = 60,
  DES_PREVIEW = 61,
  DES_LAST_ITEM = 61
};

// The entries of the paper pop-up (1 .. 8 named sizes, 9 custom).
constexpr int16 kDesignPapers = 9;
constexpr int16 DES_PAPER_CUSTOM = 9;

// What the preview shows of a design.
enum a_design_echo : uint8 {
  ECHO_INVALID = 0,    // no name, or no section with labels: grey area
  ECHO_TOO_MANY,       // more than 250 labels: "Only 250 labels per sheet allowed"
  ECHO_NO_UNITS,       // no section has a kind: "No units defined"
  ECHO_TOO_LARGE,      // a label over 400 mm: "Label too large"
  ECHO_CANNOT_EXPAND,  // the sheet is refused by the expansion (its reason is shown)
  ECHO_SHEET           // the sheet is drawn; Print Preview may run
};

// The dialog's state while it runs (zeroed as it opens).
struct a_design_rec {
  HWND dialog;
  a_ctemplate design;   // the sections as the user left them (not packed)
  int16 section;        // the section shown, 1 .. 6
  int16 orientation;    // pop-up values from 1
  int16 units;
  int16 pitch;
  int16 paper;
  bool8 valid;
  bool8 preview_shown;
  Rect preview_area;    // the preview item's client rectangle
  bool8 print_ok;       // Print Preview may run
  a_design_echo echo;   // what the preview shows
  a_expand_result refusal;  // the expansion's reason for ECHO_CANNOT_EXPAND
  a_template expanded;  // the design expanded for the preview
};
extern a_design_rec g_design;
// Numbers the exported files of this run ("LAYOUT1", "LAYOUT2" ...).
extern int32 g_designx;

// Runs dialog 203; on Export asks for a file and writes the design there.
void Ask_Design();
// The dialog's procedures (run by Ask_Design through Modal_Dialog).
void AskDes_Init(HWND dialog);
void AskDes_Cmd(HWND dialog, int16 item);
bool8 AskDes_Filter(HWND dialog, EventRecord& event, int16& item);
// Reads the whole panel into g_design (name, template flags, paper, the
// current section), checks the design and redraws the preview.
void AskDes_Store(HWND dialog);
// Fills the section's items from g_design.design.
void AskDes_Load_Section(HWND dialog);
// Paints the preview item (its user-item procedure).
void AskDes_Echo(HWND dialog, int16 item);

// A section counts when its labels across and down and its box's width and
// height are all above 0; a design is valid with a name and a section that
// counts.
bool8 AskDes_Section_Counts(const a_cunit& c);
bool8 AskDes_Valid(const a_ctemplate& design);
// What the preview of a valid design shows; for ECHO_SHEET, expanded holds
// the expanded sheet. The labels of all sections are counted in 64 bits
// before anything is expanded. refusal (when given) is the expansion's
// reason for ECHO_CANNOT_EXPAND, EXPAND_OK otherwise.
a_design_echo AskDes_Check(const a_ctemplate& design, a_template& expanded, a_expand_result* refusal = nullptr);

// Copies the design and packs the sections whose kind is not UNIT_EMPTY to
// the front (the rest cleared), nunits their count.
void Sort_CTemplate(a_ctemplate& dst, const a_ctemplate& src);

// The enumeration name of a unit kind ("UNIT_CIRCLE" ...); every kind has
// one, "UNIT_EMPTY" for a value past the last kind.
const char* Emit_Unit_Kind(uint8 kind);
// A number as the dialog shows it: four decimals, trailing zeros removed
// while the point stays ("50.", "12.5").
std::string AskDes_Real_Text(float v);

// The layout definition text of a design (8-bit, CR LF line ends): the
// packed sections and their count; a double quote in the name written as a
// single quote, the name cut to 31 bytes on a character.
std::string AskDes_Text(const a_ctemplate& design);
// Writes the text to path through a temporary file beside it, each write
// checked, renamed into place at the end. FALSE with the system's error
// number in err (and no file at path) when anything failed.
bool8 AskDes_Save2(const FSSpec& path, const a_ctemplate& design, int32& err);
// Asks for the file (proposing "LAYOUT" and the next number) and writes it;
// a failure gives alert 49 with the error number. TRUE when written.
bool8 AskDes_Save(const a_ctemplate& design);
