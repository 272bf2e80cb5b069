// Project files on a CD label document: a disc face with a 24-megapixel
// JPEG photo embedded in the file, 49 further objects (library symbols and
// texts) on a painted layer, and its clone. Opening it (Doc_Read into the
// open document, the photo decoded at the size the face shows it): under
// 300 ms. Saving it (Write_DISC with its preview, flushed to disk and
// renamed over the old file, on a local disk): under 500 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
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
#include "platform/SysMem.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

constexpr int kW = 6000, kH = 4000;

// Light and colour in smooth ramps with a fine grain, as a camera's file.
std::vector<uint8> Camera_Jpeg() {
  std::vector<uint8> px(size_t(kW) * kH * 4);
  uint32 seed = 4242;
  for (int y = 0; y < kH; ++y) {
    uint8* row = &px[size_t(y) * kW * 4];
    for (int x = 0; x < kW; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = int(seed >> 28) - 8;
      row[4 * x] = uint8(std::clamp(90 + y * 120 / kH + grain, 0, 255));
      row[4 * x + 1] = uint8(std::clamp(140 - x * 90 / kW + grain, 0, 255));
      row[4 * x + 2] = uint8(std::clamp(60 + (x + y) * 160 / (kW + kH) + grain, 0, 255));
      row[4 * x + 3] = 255;
    }
  }
  std::vector<uint8> jpg;
  Host_Encode_JPEG(HostImageSource{px.data(), kW, kH, size_t(kW) * 4, 300}, 92, jpg);
  return jpg;
}

struct Project {
  bool ok = false;
  std::string dir;
  FSSpec file{};

  Project() {
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
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-bench-project-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    if (::mkdtemp(buf.data()) == nullptr) return;
    dir = buf.data();
    if (!Path_From_Text(file, (dir + "/labels.CD4").c_str())) return;

    a_template x{};
    std::strcpy(x.label, "CD labels");
    x.papersize = {215.9f, 279.4f};
    for (int i = 0; i < 2; ++i) {
      a_unit& d = x.units[x.nunits++];
      d.kind = UNIT_CD;
      d.bbox = a_frect{20, 15 + 135.0f * float(i), 140, 135 + 135.0f * float(i)};
    }
    if (!Doc_New(x)) return;
    a_doc_unit* unit = Doc_Unit(1);
    if (unit == nullptr || Doc_Unit(2) == nullptr || !Doc_Unit(2)->clonef) return;
    const int16 side = unit->paintbounds.right;

    // The photo, its file's bytes kept to be embedded.
    const std::vector<uint8> jpg = Camera_Jpeg();
    Handle raw = New_Handle(uint32(jpg.size()));
    if (raw == nullptr) return;
    std::memcpy(Handle_Lock(raw), jpg.data(), jpg.size());
    Handle_Unlock(raw);
    a_picture_scan_rec scan;
    Clear_Scan_Rec(scan);
    Rect natural{};
    const char jpeg[4] = {'J', 'P', 'E', 'G'};
    if (Scan_Quicktime_Codec_Reduced(jpeg, jpg.data(), jpg.size(), a_scan_want{side, side, 0, false}, scan,
                                     natural) != 0)
      return;
    a_ph_rec* ph = New_PH_Rec();
    Null_Spec(ph->spec);
    ph->spec.source.kind = SOURCE_EXTFILE;
    Path_From_Text(ph->spec.source.path, (dir + "/camera.jpg").c_str());
    if (!Cache_Insert_Basis(ph->spec.source, scan.body, raw, natural, jpeg)) return;
    ph->codec = FourCC("JPEG");
    ph->spec.subset = natural;
    ph->spec.scalingh = ph->spec.scalingv = int16(int64(side) * 1000 / kW);
    const int16 ph_h = int16(int64(side) * kH / kW);
    ph->dst_center = Point{int16(side / 2), int16(side / 2)};
    ph->dst_box = Rect{int16(side / 2 - ph_h / 2), 0, int16(side / 2 - ph_h / 2 + ph_h), side};
    Obj_Append(unit->oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);

    for (int16 i = 0; i < 25; ++i) {
      a_ph_rec* sym = New_PH_Rec();
      Null_Spec(sym->spec);
      sym->spec.source.kind = SOURCE_DATABASE;
      sym->spec.source.key = a_keyset{ART_SYMBOL, ART_SYMBOL_MUSIC, int16(1 + i % 3), 0};
      sym->spec.is_symbol = true;
      sym->spec.scalingh = sym->spec.scalingv = 250;
      const int16 h = int16(180 + (i % 5) * 210), v = int16(180 + (i / 5) * 210);
      sym->dst_center = Point{v, h};
      sym->dst_box = Rect{int16(v - 35), int16(h - 35), int16(v + 35), int16(h + 35)};
      Obj_Append(unit->oj, SYMBOL_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), sym, nullptr);
    }
    for (int16 i = 0; i < 24; ++i) {
      a_om_rec* om = New_OM_Rec();
      const char* words = "Side A, track 1: the long way home";
      om->nxyl = 0;
      for (const char* c = words; *c != 0; ++c) om->xyl[om->nxyl++].cc_char = UniChar(*c);
      om->xyl[om->nxyl].cc_char = EOS_CHAR;
      om->xyl[om->nxyl++].mm_cat = CC_EOS;
      om->fontx = 1;
      om->size = 14;
      om->anchor = Point{int16(120 + i * 40), int16(side / 2)};
      Obj_Append(unit->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om);
    }

    Sync_Existence(true, unit, PAINT1_LAYER);
    unit->paintinuse = true;
    const PixMap& img = unit->statics[PAINT1_LAYER].world->pix;
    const PixMap& msk = unit->statics[PAINT1_LAYER].mask->pix;
    for (int y = 200; y < side - 200; ++y) {
      uint32* p = reinterpret_cast<uint32*>(img.baseAddr + size_t(y) * PixMap_RowBytes(img));
      uint8* m = reinterpret_cast<uint8*>(msk.baseAddr + size_t(y) * PixMap_RowBytes(msk));
      for (int xx = 150; xx < side - 150; ++xx) {
        p[xx] = 0xFF3060C0u;
        m[xx] = uint8(80 + (xx + y) % 150);
      }
    }
    ok = Write_DISC(file) == DISC_WRITE_OK;
  }
  ~Project() {
    std::remove(file.name);
    ::rmdir(dir.c_str());
  }
};

Project* The_Project() {
  static Project* p = new Project;
  return p;
}

void BM_Project_Open(benchmark::State& state) {
  Project& p = *The_Project();
  if (!p.ok) {
    state.SkipWithError("the CD document could not be set up (is the picture library built?)");
    return;
  }
  for (auto _ : state) {
    g_doc.doc_path = p.file;
    if (!Doc_Read(false)) {
      state.SkipWithError("the project could not be read");
      break;
    }
  }
  state.counters["file_MB"] = double(File_GetSize(p.file)) / 1e6;
}
BENCHMARK(BM_Project_Open)->Unit(benchmark::kMillisecond);

void BM_Project_Save(benchmark::State& state) {
  Project& p = *The_Project();
  if (!p.ok) {
    state.SkipWithError("the CD document could not be set up (is the picture library built?)");
    return;
  }
  for (auto _ : state) {
    if (Write_DISC(p.file) != DISC_WRITE_OK) {
      state.SkipWithError(Write_DISC_Reason().c_str());
      break;
    }
  }
}
BENCHMARK(BM_Project_Save)->Unit(benchmark::kMillisecond);

}  // namespace
