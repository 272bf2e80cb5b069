#include "app/Velmor4.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/VoskDef.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskBord.h"
#include "objects/VoskBrus.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRecover.h"
#include "doc/VoskTmpl.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostDesktop.h"
#include "host/HostFiles.h"
#include "host/HostInstance.h"
#include "host/HostLaunch.h"
#include "host/HostMenu.h"
#include "host/HostPrint.h"
#include "pixel/Draw.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsBMP.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "host/HostVolumes.h"
#include "host/HostWin.h"
#include "objects/VoskEdit.h"
#include "objects/VoskLayer.h"
#include "objects/VoskSpra.h"
#include "objects/VoskStam.h"
#include "pixel/Fast.h"
#include "pixel/MAsm2.h"
#include "pixel/SysPix.h"
#include "pixel/SysPixt.h"
#include "platform/Events.h"
#include "platform/Icons.h"
#include "platform/LangUtil.h"
#include "platform/MString.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "platform/SysDraw.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysMS.h"
#include "platform/Dialogs.h"
#include "platform/SysDlog.h"
#include "platform/SysMenu.h"
#include "platform/SysPrint.h"
#include "platform/SysSound.h"
#include "platform/SysMem.h"
#include "platform/SysTimer.h"
#include "platform/SysTrack.h"
#include "platform/SysVideo.h"
#include "platform/SysVol.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"
#include "platform/Windowv.h"
#include "ui/VoskCurs.h"
#include "ui/VoskFun2.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

a_openfile_result g_art_result = OPEN_NOTFOUND;
bool8 g_normal_quit = false;

namespace {

int16 g_vol = 0;  // drive index where the picture library was found on a CD

std::vector<std::string> g_params;

// Smallest screen the main window fits on.
constexpr int32 kMinScreenW = 700;
constexpr int32 kMinScreenH = 570;

int g_shell_status = kExitNormal;

// Runs at every end of the process, normal or fatal.
void Termination() {
  if (!g_normal_quit) {
    App_Deactivate();
    Sound_Stop();
  }
  Host_Backend_Stop();
}

// --- Command line ---

void Shell_Message(const char* text, const std::string& caption) {
  std::fprintf(stderr, "velmor: %s: %s\n", text, caption.c_str());
  std::fflush(stderr);
}

bool8 To_Path(const std::string& name, FSSpec& path) {
  return Name_To_Path(0, CStrSpan(name.c_str(), name.size() + 1), path);
}

// A print run of the command line: prints the file named name (its path
// made from it, or not when made is FALSE); anything but a print is said on
// standard error and gives the run its status.
void Shell_Print(const std::string& name, const FSSpec& path, bool8 made) {
  info_is_cmdline = true;  // no print dialog
  std::string why;
  if (!made) why = std::strerror(ENAMETOOLONG);
  else if (Do_File_Print(path, why)) return;
  if (why.empty()) why = "nothing could be printed";
  Shell_Message("nothing printed", name + ": " + why);
  g_shell_status = kExitNothingPrinted;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Options look like "/P" or "/IF"; a parameter holding a further "/" is an
// absolute path (as the desktop passes files), never an option.
bool Looks_Like_Option(const std::string& parm) {
  return !parm.empty() && parm[0] == '/' && parm.find('/', 1) == std::string::npos;
}

std::string Span_String(CStrSpan s) {
  size_t n = 0;
  while (n < s.size() && s[n] != 0) ++n;
  return std::string(s.data(), n);
}

std::string List_Item(int16 list, int16 item) {
  Str255 ss;
  GetIndString(ss, list, item);
  return Span_String(ss);
}

// The picture library's suffix (".ART4"), from its file name.
std::string Art_Suffix() {
  FSSpec art{};
  Str255 suffix{};
  if (!Path_From_Text(art, List_Item(STRLIST_PROGRAM, PROG_ART_FILE).c_str()) || !Extract_Suffix(suffix, art))
    return std::string();
  return Span_String(suffix);
}

bool Has_Suffix_NoCase(const std::string& name, const std::string& suffix) {
  if (suffix.empty() || name.size() <= suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i)
    if (Upper(name[name.size() - suffix.size() + i]) != Upper(suffix[i])) return false;
  return true;
}

// The file types declared by Init_Registry, collected by Add_Association.
HostDesktopApp g_assoc;
constexpr const char* kDesktopId = "velmor4";

}  // namespace

int16 Art_Volume() { return g_vol; }

bool8 Is_Print_Run(const std::vector<std::string>& params) {
  if (params.empty()) return false;
  const std::string& first = params[0];
  if (first.size() == 2 && first[0] == '/' && Upper(first[1]) == 'P') return params.size() > 1 && !params[1].empty();
  return Looks_Like_Option(first) && (first.size() < 2 || Upper(first[1]) != 'P');
}

void Set_Command_Line(const std::vector<std::string>& params) { g_params = params; }

int Shell_Exit_Status() { return g_shell_status; }

bool8 Do_Shell_Events() {
  g_shell_status = kExitNormal;
  size_t pos = 0;
  auto next = [&]() -> std::string { return pos < g_params.size() ? g_params[pos++] : std::string(); };
  std::string parm = next();

  if (Looks_Like_Option(parm) && (parm.size() < 2 || Upper(parm[1]) != 'P')) {
    // Override mode: options and their values, then a print of the input file.
    bool valid = true;
    std::string if_name;
    bool8 if_made = false;
    auto next_int = [&](int16& val) {
      const std::string s = next();
      bool8 done = false;
      mStrToInt(CStrSpan(s.c_str(), s.size() + 1), val, done);
      if (!done) {
        Shell_Message("Parameter not numeric", s);
        valid = false;
      }
    };
    while (valid && !parm.empty()) {
      if (parm[0] != '/') {
        Shell_Message("Parameter doesn't begin with /", parm);
        valid = false;
        break;
      }
      const char a = parm.size() > 1 ? Upper(parm[1]) : 0;
      const char b = parm.size() > 2 ? parm[2] : 0;
      const char bu = Upper(b);
      const bool two = parm.size() == 3;
      struct IntOpt {
        char a, b;
        a_override_parm flag;
        int16* val;
      };
      const IntOpt ints[] = {{'C', 'X', CX_PARM, &overrides.cx}, {'C', 'Y', CY_PARM, &overrides.cy},
                             {'D', 'O', DO_PARM, &overrides.do_}, {'D', 'I', DI_PARM, &overrides.di},
                             {'D', 'S', DS_PARM, &overrides.ds}};
      bool handled = false;
      if (two && a == 'O' && bu == 'F') {
        overrides.flags |= uint8(1u << OF_PARM);
        To_Path(next(), overrides.of_file);
        handled = true;
      } else if (two && a == 'I' && bu == 'F') {
        overrides.flags |= uint8(1u << IF_PARM);
        if_name = next();
        if_made = To_Path(if_name, overrides.if_file);
        handled = true;
      } else if (two && a == 'S' && b >= '0' && b <= '9') {
        overrides.flags |= uint8(1u << SN_PARM);
        const std::string v = next();
        char* dst = overrides.s[b - '0'];
        const size_t n = v.size() < 255 ? v.size() : 255;
        std::memcpy(dst, v.data(), n);
        dst[n] = 0;
        handled = true;
      } else if (two) {
        for (const IntOpt& o : ints) {
          if (a == o.a && bu == o.b) {
            overrides.flags |= uint8(1u << o.flag);
            next_int(*o.val);
            handled = true;
            break;
          }
        }
      }
      if (!handled) {
        Shell_Message("Bad parameter in command line", parm);
        valid = false;
        break;
      }
      parm = next();
    }
    if (valid) {
      if ((overrides.flags & (1u << IF_PARM)) != 0) {
        const bool8 to_file = (overrides.flags & (1u << OF_PARM)) != 0;
        if (to_file) {
          // The job goes through the file printer to exactly that file.
          Host_Print_Set_Cups(false);
          Host_Print_Set_Output_Path(std::string(overrides.of_file.name,
                                                 strnlen(overrides.of_file.name, sizeof overrides.of_file.name)));
        }
        Shell_Print(if_name, overrides.if_file, if_made);
        if (to_file) Host_Print_Set_Output_Path("");
      } else {
        std::string all;
        for (const std::string& p : g_params) all += (all.empty() ? "" : " ") + p;
        Shell_Message("Missing input file spec", all);
        valid = false;
      }
    }
    if (!valid) g_shell_status = kExitBadCommandLine;
    return true;
  }

  if (parm.empty()) return false;
  if (parm.size() == 2 && parm[0] == '/' && Upper(parm[1]) == 'P') {
    const std::string file = next();
    if (file.empty()) return false;
    FSSpec path{};
    const bool8 made = To_Path(file, path);
    Shell_Print(file, path, made);
    return true;
  }
  // A picture-library file only starts the program (that is all its
  // association asks for); the library in use is the one beside the program.
  if (Has_Suffix_NoCase(parm, Art_Suffix())) return false;
  FSSpec path{};
  if (To_Path(parm, path)) Do_File_Open3(false, path);
  return false;
}

// --- File associations ---------------------------------------------------------------------

void Add_Association(uint8 commands, int16 iconx, CStrSpan app_short, CStrSpan app_desc, CStrSpan exe_path,
                     CStrSpan suffix, CStrSpan suffixd) {
  (void)iconx;
  const std::string cls = Span_String(app_short) + Span_String(suffixd);
  HostFileType t;
  t.mime_type = "application/" + Host_Mime_Subtype(cls);
  t.comment = Span_String(app_desc) + Span_String(suffixd);
  t.suffix = Span_String(suffix);
  t.commands = commands;
  g_assoc.name = Span_String(app_desc);
  g_assoc.exec_path = Span_String(exe_path);
  // A type declared again replaces the earlier declaration.
  for (HostFileType& old : g_assoc.types) {
    if (old.mime_type == t.mime_type) {
      old = t;
      return;
    }
  }
  g_assoc.types.push_back(t);
}

void Init_Registry() {
  g_assoc = HostDesktopApp{};
  g_assoc.id = kDesktopId;
  std::string exe;
  if (!Host_Program_File(exe)) return;
  const std::string app_desc = List_Item(STRLIST_PROGRAM, PROG_LONG_NAME);
  const std::string app_short = List_Item(STRLIST_PROGRAM, PROG_SHORT_NAME);
  auto span = [](const std::string& s) { return CStrSpan(s.c_str(), s.size() + 1); };
  Add_Association(HOST_ASSOC_OPEN_FILE | HOST_ASSOC_PRINT, -102, span(app_short), span(app_desc), span(exe),
                  span(".CD4"), span(" Label"));
  const std::string art = Art_Suffix();
  if (!art.empty())
    Add_Association(HOST_ASSOC_OPEN, -101, span(app_short), span(app_desc), span(exe), span(art),
                    span(" Art Database"));
  // The program's icon for the desktop entry, at the sizes the program carries.
  for (int16 size : {48, 128, 256}) {
    ResHandle h = GetResource(kIconPngResType, size);
    if (h != nullptr) g_assoc.icons.push_back({size, std::vector<uint8>(h->data, h->data + h->size)});
  }
  // Failures are not reported: the program works without associations.
  (void)Host_Desktop_Register(g_assoc);
}

// --- Start-up -------------------------------------------------------------------------

void Start_Modules() {
  SysErr_Init();
  Resources_Init();
  Heap_Init();
  ResUtil_Init();
  SysCurs_Init();
  Init_Info();
  SysDraw_Init();
  SysWin_Init();
  Windowv_Init();
  SysPixt_Init();
  Dialogs_Init();
  SysPix_Init();
  SysTrack_Init();
  ParsBMP_Init();
  VoskStat_Init();
  SysPrint_Init();
  VoskPrin_Init();
  VoskDef_Init();
  VoskDoc_Init();
  VoskTmpl_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  History_Null();
  VoskBlok_Init();
  VoskLayer_Init();
  VoskFile_Init();
  VoskErr_Init();
  SysMenu_Init();
  SysLoop_Init();
  SysKey_Init();
  SysDlog_Init();
  SysIO_Init();
  LangUtil_Init();
  SysFont_Init();
  Fast_Init();
  MAsm2_Init();
  OPUtil_Init();
  SysBlt_Init();
  Draw_Init();
  SysVideo_Init();
  SysTimer_Init();
  Quickdraw_Init();
  Caret_Init();
  // The painting tools' brush and stamp caches (regions and worlds), and
  // the border of the border fill (none loaded).
  Brush_Init();
  Stamp_Init();
  Border_Init();
}

void Register_Classes() {
  WNDCLASS norm{};
  // Each window of ours keeps its own device context: its drawing state
  // (colours, modes, selected font) lives in that context between calls.
  norm.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;  // 0x23
  norm.lpfnWndProc = NormProc;
  norm.cbWndExtra = WINDOW_EXTRA_BYTES;
  norm.lpszClassName = kClassNorm;
  // The program's icon in the windows' frames and the task list: the large
  // one and the small one (none when they cannot be read).
  norm.hIcon = Load_Window_Icon(100);
  norm.hIconSm = Load_Window_Icon(103);
  if (RegisterClass(&norm) == 0) {  // a failed registration is ignored
    DestroyIcon(norm.hIcon);
    DestroyIcon(norm.hIconSm);
  }

  WNDCLASS null_class{};
  null_class.style = 0;
  null_class.lpfnWndProc = NullProc;
  null_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  null_class.lpszClassName = kClassNull;
  RegisterClass(&null_class);
}

void Calc_Default_WindowPos(Rect& box) {
  const Rect& avail = info_videoavail;
  const int32 width = int32(avail.right) - avail.left;
  const int32 height = int32(avail.bottom) - avail.top;
  const int32 w = width < 1024 ? width : 1024;
  const int32 h = height < 750 ? height : 750;
  const int32 down = (height - h) / 2 < 45 ? (height - h) / 2 : 45;
  box.left = int16(avail.left + (width - w) / 2);
  box.right = int16(box.left + w);
  box.top = int16(avail.top + down);
  box.bottom = int16(box.top + h);
}

void Find_CD(CStrSpan fname) {
  const HostDriveTable drives = Host_Drive_Table();
  for (int16 d = 0; d < HOST_MAX_DRIVES && g_art_result != OPEN_OKAY; ++d) {
    if (!drives[size_t(d)].cdrom) continue;
    g_vol = d;
    FSSpec root{}, path{};
    if (!Find_Root_Dir(root, d) || !Concat_Path(root, fname, path)) continue;
    g_art_result = OP_OpenFile(path);
  }
}

void Ask_Vol_Init(HWND dialog) {
  Fix_DLOG_String(dialog, 1, 105);
  Str255 text;
  Get_Translated_String(text, STRLIST_ALERT, 44);
  SetDialogStr(dialog, 2, text);
}

bool8 Ask_Vol_Filter(HWND, EventRecord& event, int16& item) {
  if ((event.what == keyDown || event.what == autoKey) && Event_CharCode(event) == 27) {
    item = 1;
    return true;
  }
  Str255 fname;
  Get_Translated_String(fname, STRLIST_PROGRAM, PROG_ART_FILE);
  Find_CD(fname);
  if (g_art_result != OPEN_OKAY) return false;
  item = 2;
  return true;
}

void Ask_Vol_Cmd(HWND dialog, int16 item) {
  if (Modal_Cmd_Notification() != BN_CLICKED) return;
  Modal_Exit(dialog, item == IDCANCEL && g_art_result != OPEN_OKAY ? int16(1) : item);
}

void Force_Language_Available() {
  const int16 lang = int16(gs.pref.language_offset & 0xFF);
  if (lang < 32 && (app_capability & Lang_Bit(lang)) != 0) return;
  for (int16 l = 0; l < 32; ++l) {
    if ((app_capability & Lang_Bit(l)) != 0) {
      gs.pref.language_offset = l;
      return;
    }
  }
}

bool8 Main_Init() {
  Register_Classes();
  gs.menu_base = 132;
  InitGray();
  Fonts_Init();
  bool8 new_pref = false;
  Prefs_Read(new_pref);
  Prefs_Report_Unread();

  Force_Language_Available();
  Sound_Enable(gs.pref.sound_option);

  // The image codecs are part of the program; without them it cannot run.
  if (!info_has_quicktime || (info_quicktime_version >> 24) < 7) OK_Alert(true, 1);

  const int32 sw = int32(info_videobounds.right) - info_videobounds.left;
  const int32 sh = int32(info_videobounds.bottom) - info_videobounds.top;
  if (sw < kMinScreenW || sh < kMinScreenH) {
    OK_Alert(false, 2);
    return false;
  }

  if (!Is_Completely_Visible(gs.pref.tot_window)) Calc_Default_WindowPos(gs.pref.tot_window);

  // The picture library, from the program's folder, else from a CD.
  OP_Init();
  Str255 fname;
  Get_Translated_String(fname, STRLIST_PROGRAM, PROG_ART_FILE);
  Param_Text(fname, "", "", "");
  FSSpec folder{}, path{};
  g_art_result = OPEN_NOTFOUND;
  if (Get_Application_Path(folder) && Concat_Path(folder, fname, path)) g_art_result = OP_OpenFile(path);
  if (g_art_result != OPEN_OKAY) Find_CD(fname);
  switch (g_art_result) {
    case OPEN_INVALID:
      OK_Alert(true, 52);
      break;
    case OPEN_NOTFOUND:
      Param_Text(fname, "", "", "");
      OK_Alert(true, 44);
      break;
    default:
      break;
  }
  if (!Pixt_Exists(1000)) OK_Alert(true, 40);
  Init_Registry();

  Static_Init();
  main_hwnd = gs.outer_window;
  if (main_hwnd == nullptr) {
    QUIT();
    return false;
  }
  Host_Set_Main_Window(main_hwnd);
  gs.mytask = false;
  App_Activate();

  Cursor_Init();
  Cursor_Push_Watch();
  Intf_Init();
  SV_Set_Virtual(SV_CONFIG_ALL);
  Bar_Init();
  Calc_Max();
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
  SV_Finish();
  Cursor_Pop();
  return true;
}

void Do_Idle() {
  // Open commands (help pages, web pages) that have ended report a failure.
  Host_Poll_Opens();
  if (gs.mytask) {
    POINT p{0, 0};
    GetCursorPos(&p);
    HWND window = WindowFromPoint(p);
    Point gmouse, lmouse;
    ToPoint(gmouse, p);
    lmouse = gmouse;
    if (window != nullptr) {
      POINT c = p;
      ScreenToClient(window, &c);
      ToPoint(lmouse, c);
    }
    Do_Null_Event(false, window, gmouse, lmouse);
    // Idle work is polled: the next look at the queue comes 10 ms later
    // (100 ms while another program is active), so idle ticks keep their
    // pace whatever the queue does.
    Host_Sleep_Millis(10);
  } else {
    Host_Sleep_Millis(100);
  }
}

void Main_Loop() {
  if (Do_Shell_Events()) return;
  g_doneflag = false;
  SetActiveWindow(main_hwnd);
  for (;;) {
    // A quit held while a dialog or a print job ran goes on once they are gone.
    Run_Pending_Quit();
    if (g_doneflag) {
      PostQuitMessage(0);
      g_doneflag = false;
    }
    MSG msg;
    if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      if (main_accel == nullptr || !TranslateAcceleratorW(main_hwnd, main_accel, &msg)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    } else {
      Do_Idle();
    }
  }
}

namespace {
bool8 g_print_run = false;
}  // namespace

void Keep_Work_Before_Halt() {
  SysErr_Set_Recovered("");
  std::string kept;
  if (Recover_Open_Document(kept)) SysErr_Set_Recovered(kept.c_str());
  // Once start-up is over the preferences are the run's own, written as at
  // a normal end; before, they may not even have been read. A print run
  // never writes them.
  if (SysErr_Running() && !g_print_run) (void)Prefs_Write();
}

void Main_Stop() {
  Cursor_Stop();
  Bar_Stop();
  Intf_Stop();
  Static_Stop();
  main_hwnd = nullptr;
  Spray_Stop();
  Stamp_Stop();
  Brush_Stop();
  Border_Unload();
  OP_Stop();
  Stop_Quickdraw();
  SysVideo_Stop();
  History_Stop();
}

int Velmor4_Main(int argc, char** argv) {
  std::vector<std::string> params;
  for (int i = 1; i < argc; ++i) params.emplace_back(argv[i]);
  Set_Command_Line(params);
  // A save cut by the file-size limit fails like any other write.
  Host_Ignore_File_Size_Signal();

  // The display first: it tells the system information the screen's size.
  if (!Host_Backend_Start()) return kExitNoDisplay;

  Start_Modules();
  Halt_AddTerminator(Termination);
  g_normal_quit = false;

  // One running copy: a second start ends at once, silently. A print run
  // prints beside it and leaves its preferences alone.
  const bool8 print_run = Is_Print_Run(params);
  g_print_run = print_run;
  if (!print_run && Host_Instance_Acquire() == HostInstanceResult::HELD_ELSEWHERE) {
    g_normal_quit = true;
    Halt(0);
  }

  g_err_mem_proc = OutOfMemory;
  g_err_res_proc = MissingResource;
  g_err_key_proc = MissingKey;
  g_item_res_proc = MissingResource_Item;
  g_item_key_proc = MissingKey_Item;
  QUIT = InternalError;
  g_err_sav_proc = Keep_Work_Before_Halt;

  Sound_Init();
  g_dlog_sound_proc = Sound_Effect;
  if (Main_Init()) {
    // From here on a missing item is met during a user action, not fatal.
    SysErr_Set_Running(true);
    Main_Loop();
    SysErr_Set_Running(false);
    Main_Stop();
  }
  if (!print_run && !Prefs_Write()) OK_Alert(false, 13);
  Sound_Stop();
  App_Deactivate();
  g_normal_quit = true;
  Halt(Shell_Exit_Status());
}
