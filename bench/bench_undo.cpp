// The painting tools' layer copy on the paint layers of a 120 mm disc face
// (1417 x 1417 cells) and of an A3 sheet across (4000 x 2829): saving the
// layer before a stroke, and putting a 200 x 200 part of it back.
//
// The undo history on a CD label document (a disc face with a 24-megapixel
// JPEG photo read from its file, 49 further objects, symbols and texts, on a
// painted layer, and its clone): one step of undo or redo, the
// state read back from its undo file, checked and rebuilt, and the current
// unit rendered again: under 50 ms. Recording a step (snapshot and file)
// is measured beside it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "host/HostCodecs.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsQuik.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

// A unit with a paint layer of w x h cells as the current unit.
struct Painted_Unit {
  a_doc_unit* unit;
  Painted_Unit(int16 w, int16 h) {
    static bool started = false;
    if (!started) {
      VoskDef_Init();
      SysVideo_Init();
      SysWin_Init();
      Quickdraw_Init();
      VoskUndo_Init();
      started = true;
    }
    unit = New_Unit_Rec();
    unit->paintbounds = Rect{0, 0, h, w};
    Sync_Existence(true, unit, PAINT1_LAYER);
    g_doc.up = unit;
  }
  ~Painted_Unit() {
    Undo_Dispose();
    Dispose_Unit_Content(unit);
    g_doc.up = nullptr;
    Dispose_Unit_Rec(unit);
  }
};

void BM_Undo_SaveLayer(benchmark::State& state) {
  Painted_Unit u(int16(state.range(0)), int16(state.range(1)));
  for (auto _ : state) Undo_SaveLayer(PAINT1_LAYER);
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_Undo_SaveLayer)->Args({1417, 1417})->Args({4000, 2829})->Unit(benchmark::kMillisecond);

void BM_Undo_RestoreRect(benchmark::State& state) {
  Painted_Unit u(int16(state.range(0)), int16(state.range(1)));
  Undo_SaveLayer(PAINT1_LAYER);
  const int16 left = int16(state.range(0) / 2 - 100), top = int16(state.range(1) / 2 - 100);
  const Rect part{top, left, int16(top + 200), int16(left + 200)};
  for (auto _ : state) Undo_RestoreRect(part);
  state.SetItemsProcessed(state.iterations() * 200 * 200);
}
BENCHMARK(BM_Undo_RestoreRect)->Args({1417, 1417})->Args({4000, 2829})->Unit(benchmark::kMicrosecond);

// --- The undo history on a CD label document -------------------------------------------

constexpr float kMMPerPixel = 0.0846667f;
constexpr int kPhotoW = 6000, kPhotoH = 4000;

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}

// A camera-sized JPEG: smooth colour with fine grain.
std::vector<uint8> Photo_Bytes() {
  std::vector<uint8> px(size_t(kPhotoW) * kPhotoH * 4);
  uint32 seed = 777;
  for (int y = 0; y < kPhotoH; ++y)
    for (int x = 0; x < kPhotoW; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = int(seed >> 27) - 16;
      uint8* p = &px[(size_t(y) * kPhotoW + x) * 4];
      p[0] = uint8(std::clamp(180 - x * 100 / kPhotoW + grain, 0, 255));
      p[1] = uint8(std::clamp(50 + y * 150 / kPhotoH + grain, 0, 255));
      p[2] = uint8(std::clamp(70 + x * 150 / kPhotoW + grain, 0, 255));
      p[3] = 255;
    }
  std::vector<uint8> jpg;
  Host_Encode_JPEG(HostImageSource{px.data(), kPhotoW, kPhotoH, size_t(kPhotoW) * 4, 300}, 92, jpg);
  return jpg;
}

struct CD_Document {
  bool ok = false;
  std::string path;
  int32 state_a = -1, state_b = -1;

  CD_Document() {
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    InitGray();
    SysWin_Init();
    SysBlt_Init();
    Quickdraw_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    History_Null();
    VoskBlok_Init();
    OPUtil_Init();
    OP_Init();
    SysPixt_Init();
    FSSpec lib{};
    if (!Path_From_Text(lib, VELMOR_ART_LIBRARY) || OP_OpenFile(lib) != OPEN_OKAY) return;
    gs.controller = GHOST;

    // Two disc faces: the second a clone of the first.
    a_template x{};
    std::strcpy(x.label, "CD labels");
    x.papersize = {215.9f, 279.4f};
    for (int i = 0; i < 2; ++i) {
      a_unit& d = x.units[x.nunits++];
      d.kind = UNIT_CD;
      d.bbox = a_frect{10, 10 + 130.0f * float(i), 130, 130 + 130.0f * float(i)};
    }
    x.papersize.y = 280;
    if (!Doc_New(x)) return;
    Select_Doc_Unit(1);
    a_doc_unit* unit = Doc_Unit(1);
    if (unit == nullptr || !Doc_Unit(2)->clonef) return;
    const int16 side = unit->paintbounds.right;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, unit->paintbounds};

    // The photo, read from its file at the size the face needs.
    const char* t = std::getenv("TMPDIR");
    path = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-bench-undo-" + std::to_string(getpid()) + ".jpg";
    {
      const std::vector<uint8> jpg = Photo_Bytes();
      std::ofstream f(path, std::ios::binary);
      f.write(reinterpret_cast<const char*>(jpg.data()), std::streamsize(jpg.size()));
      if (!f || jpg.empty()) return;
    }
    FSSpec file{};
    if (!Path_From_Text(file, path.c_str())) return;
    a_picture_scan_rec scan;
    Clear_Scan_Rec(scan);
    Rect natural{};
    if (Scan_Quicktime_Reduced(file, a_scan_want{side, side, 0, false}, scan, natural) != 0) return;
    a_spec photo;
    Null_Spec(photo);
    photo.source.kind = SOURCE_EXTFILE;
    photo.source.sid = 1;
    photo.source.path = file;
    char codec[4];
    std::memcpy(codec, scan.codec, 4);
    if (!Cache_Insert_Basis(photo.source, scan.body, nullptr, natural, codec)) return;
    photo.subset = natural;
    photo.scalingh = photo.scalingv = int16(int64(side) * 1000 / kPhotoW);
    a_ph_rec* ph = New_PH_Rec();
    ph->spec = photo;
    const int16 ph_h = int16(int64(side) * kPhotoH / kPhotoW);
    ph->dst_center = Point{int16(side / 2), int16(side / 2)};
    ph->dst_box = Rect{int16(side / 2 - ph_h / 2), 0, int16(side / 2 - ph_h / 2 + ph_h), side};
    Obj_Append(unit->oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);

    // 25 symbols of the library and 24 texts.
    for (int16 i = 0; i < 25; ++i) {
      a_ph_rec* sym = New_PH_Rec();
      Null_Spec(sym->spec);
      sym->spec.source.kind = SOURCE_DATABASE;
      sym->spec.source.key = a_keyset{ART_SYMBOL, ART_SYMBOL_MUSIC, int16(1 + i % 3), 0};
      sym->spec.is_symbol = true;
      sym->spec.symbol_color = a_pixel32{40, 60, uint8(100 + i * 4), 255};
      sym->spec.scalingh = sym->spec.scalingv = 300;
      const int16 h = int16(200 + (i % 5) * 200), v = int16(200 + (i / 5) * 200);
      sym->dst_center = Point{v, h};
      sym->dst_box = Rect{int16(v - 40), int16(h - 40), int16(v + 40), int16(h + 40)};
      Obj_Append(unit->oj, SYMBOL_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), sym, nullptr);
    }
    for (int i = 0; i < 24; ++i) {
      a_om_rec* om = New_OM_Rec();
      const char* words = "Track listing and liner notes";
      om->nxyl = 0;
      for (const char* c = words; *c != 0; ++c) om->xyl[om->nxyl++].cc_char = UniChar(*c);
      om->xyl[om->nxyl].cc_char = EOS_CHAR;
      om->xyl[om->nxyl++].mm_cat = CC_EOS;
      om->size = 18;
      om->anchor = Point{int16(100 + i * 45), int16(side / 2)};
      Obj_Append(unit->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om);
    }

    // Paint across the face.
    Sync_Existence(true, unit, PAINT1_LAYER);
    unit->paintinuse = true;
    for (int y = 100; y < 500; ++y)
      for (int xx = 100; xx < side - 100; ++xx) {
        *Px(unit->statics[PAINT1_LAYER].world, xx, y) = 0x00D02040u;
        unit->statics[PAINT1_LAYER].mask->pix.baseAddr[size_t(y) * PixMap_RowBytes(unit->statics[PAINT1_LAYER].mask->pix) + size_t(xx)] = 200;
      }

    History_Emit(OP_PAINT_BRUSH);
    state_a = g_hist.curr;
    // The second state: a symbol moved.
    a_ph_rec* moved = unit->oj.list[2].ph;
    moved->dst_box.left = int16(moved->dst_box.left + 30);
    moved->dst_box.right = int16(moved->dst_box.right + 30);
    History_Emit(OP_BLOCK_MOVEXY);
    state_b = g_hist.curr;
    // Both states come from their files, as after a save.
    History_Flush();
    ok = Rendered();
  }
  ~CD_Document() { std::remove(path.c_str()); }

  static bool Rendered() {
    Rect rect;
    GWorldPtr world = nullptr;
    Current_Unit_Merge_Check(rect, world);
    return world != nullptr;
  }
};

CD_Document* The_CD() {
  static CD_Document* doc = new CD_Document;
  return doc;
}

// One step each iteration, undo and redo in turn.
void BM_History_UndoRedoStep(benchmark::State& state) {
  CD_Document& d = *The_CD();
  if (!d.ok) {
    state.SkipWithError("the CD document could not be set up (is the picture library built?)");
    return;
  }
  bool undo = true;
  for (auto _ : state) {
    if (!Restore_State(undo ? d.state_a : d.state_b) || !CD_Document::Rendered()) {
      state.SkipWithError("a state could not be restored");
      break;
    }
    undo = !undo;
  }
  state.counters["state_MB"] = double(g_hist.list[d.state_a].len) / 1e6;
}
BENCHMARK(BM_History_UndoRedoStep)->Unit(benchmark::kMillisecond);

// Recording a step: the snapshot and its undo file.
void BM_History_RecordStep(benchmark::State& state) {
  CD_Document& d = *The_CD();
  if (!d.ok) {
    state.SkipWithError("the CD document could not be set up (is the picture library built?)");
    return;
  }
  for (auto _ : state) History_Emit(OP_BLOCK_MOVEXY);
}
BENCHMARK(BM_History_RecordStep)->Unit(benchmark::kMillisecond);

}  // namespace
