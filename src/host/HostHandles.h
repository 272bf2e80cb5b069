// Handles of the host layer. Callers know every window, menu, cursor,
// accelerator table, drawing object and region by a handle, never by the
// address of its record: a handle is a slot number in the table of its kind,
// a kind tag and the generation of the slot when the handle was made. Freeing
// an object bumps the generation of its slot, so the old handle and all its
// copies name nothing from then on, even after the slot is reused by a new
// object. Every call looks its handles up here first and refuses a handle
// that is stale, of another kind, or not a handle at all, without touching
// memory through it.
//
// A handle value (64 bits, carried in a pointer type such as HWND or HRGN):
//   bits  0-23  slot (1 .. kHostHandleMaxSlots; slot 0 is never used, so no
//               handle is NIL)
//   bits 24-31  kind (HostHandleKind, never 0)
//   bits 32-63  generation of the slot (never 0)
// A slot's generation starts at 1 and grows by one each time its object is
// freed; a slot whose generation has run through all 32 bits is retired, not
// reused, so no value ever names a second object.
//
// Lookups are O(1): an index and two compares. The program has one thread;
// tables are not locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Types.h"

static_assert(sizeof(void*) == 8, "handles carry a 32-bit generation beside the slot");

enum class HostHandleKind : uint8 {
  kNone = 0,
  kWindow,
  kMenu,
  kCursor,
  kAccel,
  kRegion,
  kPen,
  kBrush,
  kBitmap,
  kPalette,
  kDC,
  kFont,
  kIcon,
};

constexpr uint32 kHostHandleSlotBits = 24;
constexpr uint32 kHostHandleMaxSlots = (1u << kHostHandleSlotBits) - 1;

constexpr uint64 Host_Handle_Value(uint32 slot, HostHandleKind kind, uint32 gen) {
  return (uint64(gen) << 32) | (uint64(uint8(kind)) << kHostHandleSlotBits) | uint64(slot);
}
inline uint64 Host_Handle_Bits(const void* h) { return uint64(reinterpret_cast<uintptr_t>(h)); }
// The kind a handle value claims (kNone for NIL); says nothing about liveness.
inline HostHandleKind Host_Handle_Kind_Of(const void* h) {
  return HostHandleKind(uint8(Host_Handle_Bits(h) >> kHostHandleSlotBits));
}

// The table of one family of records (T). Records are owned by their
// modules; the table only maps handles to them.
template <class T>
class HostHandleTable {
 public:
  // A new handle for rec, of the given kind; NIL when every slot is taken.
  void* Add(T* rec, HostHandleKind kind) {
    if (!rec || kind == HostHandleKind::kNone) return nullptr;
    uint32 slot = free_;
    if (slot != 0) {
      free_ = slots_[slot].next_free;
    } else {
      if (slots_.empty()) slots_.push_back(Slot{});  // slot 0: never a handle
      if (slots_.size() > kHostHandleMaxSlots) return nullptr;
      slot = uint32(slots_.size());
      slots_.push_back(Slot{});
    }
    Slot& s = slots_[slot];
    s.rec = rec;
    s.kind = kind;
    s.next_free = 0;
    ++live_;
    return To_Ptr(Host_Handle_Value(slot, kind, s.gen));
  }

  // The record of a live handle of that kind; NIL for anything else.
  T* Find(const void* h, HostHandleKind kind) const {
    const Slot* s = Slot_Of(h);
    return (s && s->kind == kind) ? s->rec : nullptr;
  }
  // The record of a live handle of any kind this table holds.
  T* Find_Any(const void* h) const {
    const Slot* s = Slot_Of(h);
    return s ? s->rec : nullptr;
  }

  // Frees the handle's slot; the handle and every copy of it are dead from
  // now on. FALSE when the handle was not live.
  bool Remove(const void* h) {
    const Slot* found = Slot_Of(h);
    if (!found) return false;
    const uint32 slot = uint32(Host_Handle_Bits(h) & kHostHandleMaxSlots);
    Slot& s = slots_[slot];
    s.rec = nullptr;
    s.kind = HostHandleKind::kNone;
    --live_;
    if (++s.gen == 0) return true;  // generations used up: the slot is retired
    s.next_free = free_;
    free_ = slot;
    return true;
  }

  size_t Live() const { return live_; }

  // The live handles, in slot order (a copy: callers may free as they go).
  std::vector<void*> Handles() const {
    std::vector<void*> out;
    out.reserve(live_);
    for (size_t i = 1; i < slots_.size(); ++i)
      if (slots_[i].rec) out.push_back(To_Ptr(Host_Handle_Value(uint32(i), slots_[i].kind, slots_[i].gen)));
    return out;
  }

  // Tests: makes the next free slot's generation `gen`, as though it had
  // been reused that often (to show that exhausted slots are retired).
  void Test_Set_Next_Generation(uint32 gen) {
    if (free_ != 0) slots_[free_].gen = gen;
  }

 private:
  struct Slot {
    T* rec = nullptr;
    uint32 gen = 1;
    uint32 next_free = 0;
    HostHandleKind kind = HostHandleKind::kNone;
  };

  static void* To_Ptr(uint64 v) { return reinterpret_cast<void*>(uintptr_t(v)); }

  const Slot* Slot_Of(const void* h) const {
    const uint64 v = Host_Handle_Bits(h);
    const uint32 slot = uint32(v & kHostHandleMaxSlots);
    if (slot == 0 || slot >= slots_.size()) return nullptr;
    const Slot& s = slots_[slot];
    if (!s.rec || s.gen != uint32(v >> 32) || uint8(s.kind) != uint8(v >> kHostHandleSlotBits))
      return nullptr;
    return &s;
  }

  std::vector<Slot> slots_;
  uint32 free_ = 0;  // head of the free list (0: none)
  size_t live_ = 0;
};

// The one table of a family of records, made on first use. It is never
// destroyed: objects the program keeps for its whole run (fonts, brushes and
// menus held in module variables) stay reachable through it to the end, as
// they were when handles were addresses, so leak checkers do not report
// them. Tests check for leaked objects by the live counts instead.
template <class T>
HostHandleTable<T>& Host_Handle_Table() {
  static auto* table = new HostHandleTable<T>;
  return *table;
}
