// The interface node tree on the headless backend: the program's main window
// with the interface started over the build's picture library (the items'
// artwork, the panels' stripes), descriptions written as tables of nodes,
// and what a description changed on the screen: the update region of a
// window and the window's place.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PictLibWrite.h"

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskFile.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostRegion.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysCurs.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysTrack.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/WinTestSupport.h"
#include "platform/Windowv.h"
#include "app/Velmor4.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace nodetest {

// Locators of the test descriptions: the main window, its panel and the
// items in it.
constexpr a_locator kWin = 0x01000000;
constexpr a_locator kPanel = 0x01010000;
constexpr a_locator kItem1 = 0x01010100;
constexpr a_locator kItem2 = 0x01010200;
constexpr a_locator kItem3 = 0x01010300;
constexpr a_locator kItem4 = 0x01010400;
constexpr a_locator kItem5 = 0x01010500;
constexpr a_pixel24 kPanelGrey{200, 200, 200};

// One node of a description, as the panel builders add them.
struct Node {
  a_locator loc;
  a_node_kind kind;
  Rect bounds{};      // divisions, labels, decorations, custom areas, windows
  Point corner{};     // items
  int16 ix = 0;       // item row; a decoration's or division's decoration
  a_pixel24 color{};  // a division's colour, a label's text colour
  a_pixel24 back{255, 255, 255};
  uint16 opacity = 100;
  int16 strx = 0;
  a_horz_just just = JUST_LEFT;
  int16 size = 14;
  int16 alias = 0;
  bool8 needoff = false;
  HWND window = nullptr;  // window nodes (NIL: the main window)
};

inline Node Division(a_locator loc, Rect b, a_decoration d, a_pixel24 c = kPanelGrey) {
  Node n{loc, DIVISION_NODE, b};
  n.ix = d;
  n.color = c;
  return n;
}
inline Node Item(a_locator loc, a_node_kind kind, int16 ix, Point corner) {
  Node n{loc, kind};
  n.ix = ix;
  n.corner = corner;
  return n;
}
inline Node Label(a_locator loc, Rect b, int16 strx, a_pixel24 fore = {0, 0, 0}, a_pixel24 back = {255, 255, 255},
                  uint16 opacity = 100) {
  Node n{loc, LABEL_NODE, b};
  n.strx = strx;
  n.color = fore;
  n.back = back;
  n.opacity = opacity;
  return n;
}
inline Node Custom(a_locator loc, Rect b, a_custom_enum ix, bool8 needoff = false) {
  Node n{loc, CUSTOM_NODE, b};
  n.ix = ix;
  n.needoff = needoff;
  return n;
}
inline Node Decoration(a_locator loc, Rect b, a_decoration d) {
  Node n{loc, DECORATION_NODE, b};
  n.ix = d;
  return n;
}
inline Node Window(a_locator loc, Rect b, HWND w) {
  Node n{loc, WINDOW_NODE, b};
  n.window = w;
  return n;
}

// Adds the nodes, in the order given, to the description open.
inline void Add(const std::vector<Node>& nodes, Rect total) {
  for (const Node& n : nodes) {
    Point corner = n.corner;
    switch (n.kind) {
      case WINDOW_NODE: {
        Rect g;
        Node_Add_Window(n.loc, n.window != nullptr ? n.bounds : total, n.window != nullptr ? n.window : gs.outer_window,
                        g);
        break;
      }
      case DIVISION_NODE: Node_Add_Division(n.loc, n.bounds, a_decoration(n.ix), n.color); break;
      case LABEL_NODE:
        Node_Add_Label(n.loc, n.bounds, n.color, n.back, n.opacity, n.strx, n.just, n.size, n.alias);
        break;
      case DECORATION_NODE: Node_Add_Decoration(n.loc, n.bounds, a_decoration(n.ix)); break;
      case CUSTOM_NODE: Node_Add_Custom(n.loc, n.bounds, n.needoff, a_custom_enum(n.ix)); break;
      case ONESHOT_NODE: Node_Add_OneShot(n.loc, corner, 0, 0, a_oneshot_enum(n.ix)); break;
      case TOGGLE_NODE: Node_Add_Toggle(n.loc, corner, 0, 0, a_toggle_enum(n.ix)); break;
      case ICONGRID_NODE: Node_Add_Grid(n.loc, corner, 0, 0, a_grid_enum(n.ix)); break;
      case SLIDER_NODE: Node_Add_Slider(n.loc, corner, 0, 0, a_slider_enum(n.ix)); break;
      default: break;
    }
  }
}

// A whole-window description: the main window node, then the nodes.
inline void Describe(const std::vector<Node>& nodes) {
  Rect total;
  Node_BeginConfig(0, total);
  Node win{kWin, WINDOW_NODE};
  Add({win}, total);
  Add(nodes, total);
  Node_EndConfig();
}

// The slot of the screen's node at loc (0: none).
inline int16 Slot_Of(a_locator loc) {
  for (int16 nx = 1; nx <= Node_Used(CURR); ++nx)
    if (Node_Get(CURR, nx).loc == loc) return nx;
  return 0;
}
inline const a_node_rec& Node_At(a_locator loc) { return Node_Get(CURR, Slot_Of(loc)); }

inline RECT R(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// What is to be painted again in a window, as rectangles (and a region).
class UpdateArea {
 public:
  explicit UpdateArea(HWND w) : rgn_(CreateRectRgn(0, 0, 0, 0)) { GetUpdateRgn(w, rgn_, false); }
  ~UpdateArea() { DeleteRgn(rgn_); }
  UpdateArea(const UpdateArea&) = delete;
  UpdateArea& operator=(const UpdateArea&) = delete;
  bool Empty() const { return Host_Rgn_Rects(rgn_).empty(); }
  // Whether the area is exactly the union of the rectangles.
  bool Is(const std::vector<Rect>& rects) const {
    HRGN want = CreateRectRgn(0, 0, 0, 0);
    for (const Rect& r : rects) {
      HRGN one = CreateRectRgn(r.left, r.top, r.right, r.bottom);
      CombineRgn(want, want, one, RGN_OR);
      DeleteRgn(one);
    }
    const bool same = EqualRgn(want, rgn_);
    DeleteRgn(want);
    return same;
  }
  std::string Text() const {
    std::string s;
    for (const RECT& r : Host_Rgn_Rects(rgn_))
      s += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ") ";
    return s.empty() ? "nothing" : s;
  }

 private:
  HRGN rgn_;
};

inline void Validate(HWND w) { ValidateRect(w, nullptr); }

// The program's main window (900 x 620 inside), the picture library of the
// build, and the interface started over them.
class NodeTree : public ::testing::Test {
 protected:
  void SetUp() override {
    fonts_ = Pin_DejaVu();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    SysPixt_Init();
    OP_Init();
    FSSpec spec;
    library_ = Path_From_Text(spec, VELMOR_ART_LIBRARY) && OP_OpenFile(spec) == OPEN_OKAY;
    wintest::Init_Window_Layer();
    VoskFile_Init();  // the quit command
    SysKey_Init();
    SysTrack_Init();
    SysCurs_Init();
    Fonts_Init();
    gs.controller = GHOST;
    gs.pref.tot_window = Rect{60, 100, 700, 1000};
    Static_Init();
    ASSERT_NE(gs.outer_window, nullptr);
    main_hwnd = gs.outer_window;
    Host_Set_Main_Window(main_hwnd);
    App_Activate();
    Cursor_Init();
    Intf_Init();
    // State variables an earlier test marked and never settled would lay the
    // window out afresh at the first interaction, over the test's own nodes.
    SV_Init();
    ASSERT_TRUE(library_) << "the build's picture library is not there";
  }
  void TearDown() override {
    Intf_Stop();
    Cursor_Stop();
    Static_Stop();
    Fonts_Stop();
    main_hwnd = nullptr;
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
    OP_Stop();
    for (const std::string& f : extra_) std::remove(f.c_str());
  }
  // A second picture library with stored pictures of these ids, each a
  // w x h picture of one colour (id i: grey level i mod 256), opened beside
  // the build's.
  bool Open_Pictures(const std::vector<int16>& ids, int32 w, int32 h) {
    std::vector<a_art_object> objects;
    std::string err;
    for (int16 id : ids) {
      a_art_image img;
      const uint32 level = uint32(id) & 0xFF;
      if (!Art_Draw_Solid(w, h, level << 24 | level << 16 | level << 8 | 0xFF, img, err)) return false;
      a_art_object o;
      o.key = a_keyset{12, id, 0, 0};
      if (!Pixt_Encode32(img, 0, o.data, err)) return false;
      objects.push_back(std::move(o));
    }
    std::vector<uint8> bytes;
    if (!ArtLib_Build(objects, bytes, err)) return false;
    const char* t = std::getenv("TMPDIR");
    std::string path = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-nodes-XXXXXX";
    std::vector<char> buf(path.begin(), path.end());
    buf.push_back(0);
    const int fd = ::mkstemp(buf.data());
    if (fd < 0) return false;
    ::close(fd);
    extra_.push_back(buf.data());
    if (!Art_Write_File(buf.data(), bytes, err)) return false;
    FSSpec spec;
    return Path_From_Text(spec, buf.data()) && OP_OpenFile(spec) == OPEN_OKAY;
  }
  // A stroke of the main window (button up: hover).
  static a_mousestroke Stroke(int16 h, int16 v, bool8 down = false, a_keymod_set mods = 0) {
    a_mousestroke s{};
    s.when = int32(TickCount());
    s.window = gs.outer_window;
    s.lmouse = Point{v, h};
    s.button1 = down;
    s.mods = mods;
    return s;
  }
  // Paints what is due in the main window now.
  static void Update() { UpdateWindow(gs.outer_window); }
  bool fonts_ = false;
  bool library_ = false;
  std::vector<std::string> extra_;
};

}  // namespace nodetest
