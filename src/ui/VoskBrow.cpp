#include "ui/VoskBrow.h"

#include <cstring>

#include "doc/VoskTmpl.h"
#include "platform/SysTimer.h"
#include "platform/VoskDef.h"

namespace {

constexpr size_t kLabelCompared = 31;

// label as the slots keep it: at most 31 characters, NUL-padded.
void Slot_Label(CStrSpan label, char (&out)[32]) {
  std::memset(out, 0, sizeof out);
  for (size_t i = 0; i < label.size() && i < kLabelCompared && label[i] != 0; ++i) out[i] = label[i];
}

bool Same_Label(const char* a, const char* b) { return std::strncmp(a, b, kLabelCompared) == 0; }

// The packed preferences record is read and written by value.
a_layout_usage_rec Get_Slot(int16 slot) {
  a_layout_usage_rec rec;
  std::memcpy(&rec, &gs.pref.recentlay[slot], sizeof rec);
  return rec;
}
void Put_Slot(int16 slot, const a_layout_usage_rec& rec) {
  std::memcpy(&gs.pref.recentlay[slot], &rec, sizeof rec);
}

}  // namespace

uint32 Find_Template(CStrSpan label) {
  char want[32];
  Slot_Label(label, want);
  if (want[0] == 0) return 0;
  for (uint32 i = 1; i <= NTEMPLATES; ++i) {
    char have[32];
    Slot_Label(CStrSpan(g_ctemplates[i - 1].label, sizeof g_ctemplates[i - 1].label), have);
    if (Same_Label(want, have)) return i;
  }
  return 0;
}

void RecentLay_Add(CStrSpan label) {
  char want[32];
  Slot_Label(label, want);
  int16 found = -1, first_free = -1, least = -1;
  uint32 least_count = 0;
  for (int16 i = 0; i < MAX_NRECENTLAY; ++i) {
    const a_layout_usage_rec rec = Get_Slot(i);
    if (rec.count == 0) {
      if (first_free < 0) first_free = i;
      continue;
    }
    if (found < 0 && Same_Label(rec.label, want)) found = i;
    if (least < 0 || rec.count < least_count) {
      least = i;
      least_count = rec.count;
    }
  }
  int16 slot = found >= 0 ? found : first_free;
  a_layout_usage_rec rec{};
  if (slot >= 0) {
    rec = Get_Slot(slot);
  } else {
    slot = least;  // every slot is used: the least used one is cleared
  }
  if (slot < 0) return;
  if (found < 0) rec = a_layout_usage_rec{};
  Get_Date_Time(rec.when);
  std::memcpy(rec.label, want, sizeof rec.label);
  rec.count = rec.count + 1;
  if (rec.count == 1) rec.count = 2;
  rec.tx = 0;
  Put_Slot(slot, rec);
}

uint32 RecentLay_TemplateX(int16 slot) {
  if (slot < 0 || slot >= MAX_NRECENTLAY) return 0;
  const a_layout_usage_rec rec = Get_Slot(slot);
  if (rec.count == 0) return 0;
  // The index counts only while it still names the slot's layout: another
  // catalogue (a newer version of the program) may hold another entry there.
  if (rec.tx >= 1 && rec.tx <= NTEMPLATES) {
    char have[32];
    Slot_Label(CStrSpan(g_ctemplates[rec.tx - 1].label, sizeof g_ctemplates[rec.tx - 1].label), have);
    if (Same_Label(rec.label, have)) return rec.tx;
  }
  char label[33] = {};
  std::memcpy(label, rec.label, sizeof rec.label);
  return Find_Template(CStrSpan(label, sizeof label));
}

void PaperEcho_Paint() {}
