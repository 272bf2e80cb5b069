#include "ui/VoskDelt.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <type_traits>
#include <variant>

#include "doc/VoskRend.h"
#include "objects/VoskGrad.h"
#include "platform/SysErr.h"
#include "platform/SysMenu.h"
#include "platform/VoskDef.h"
#include "ui/VoskConf.h"
#include "ui/VoskFun2.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"
#include "ui/VoskStus.h"

a_history_op pending_op = OP_NOP;
void (*g_sv_observer)(const char* proc, int32 arg) = nullptr;

namespace {

// --- The table ---------------------------------------------------------------------

// Where a variable's value lives: a field of its own type, or, for the
// preferences (a packed record, whose fields are only used by value), a pair
// of procedures that read and write the field.
template <typename T>
struct a_sv_place {
  T* field;
  T (*get)();
  void (*put)(T value);

  T Get() const { return field != nullptr ? *field : get(); }
  void Put(T value) const {
    if (field != nullptr)
      *field = value;
    else
      put(value);
  }
};

// A change procedure gets the old value; a point by reference.
template <typename T>
using a_sv_delta = std::conditional_t<std::is_same_v<T, Point>, void (*)(const Point&), void (*)(T)>;

// A variable with a value, and its change procedure (NIL: none).
template <typename T>
struct a_sv_value {
  using value_type = T;
  a_sv_place<T> place;
  a_sv_delta<T> delta;
};

// A virtual variable: no value, the procedure that recalculates what it
// stands for.
struct a_sv_virtual {
  void (*proc)();
};

// A variable that holds nothing (SV_CUTLINES_OPTION).
struct a_sv_inert {};

// What each entry holds, by the type of its field. The zoom factor is a
// ratio: a point-sized variable that only its recalculation sets.
using a_sv_slot = std::variant<a_sv_inert, a_sv_value<bool8>, a_sv_value<a_phase>, a_sv_value<a_txedit_phase>,
                               a_sv_value<a_tool>, a_sv_value<a_ring_kind>, a_sv_value<a_bar>,
                               a_sv_value<a_fill_kind>, a_sv_value<int16>, a_sv_value<uint16>, a_sv_value<Point>,
                               a_sv_value<a_ratio>, a_sv_virtual>;

struct a_statevar_rec {
  a_statevar_set uses;       // the variables this one depends on
  bool8 changed;             // set by the setters, cleared by the settling pass
  a_statevar_type sv_type;
  a_sv_slot slot;
  a_statevar_link linkage;
  a_toggle_enum togglex;     // TOGGLE_LINK: the toggle that shows the variable
  bool8 (*recalc_proc)();    // DERIVED_LINK: recalculates it, TRUE when it changed
  const char* proc_name;     // its change, derived or virtual procedure (for the observer)
};

template <typename T>
constexpr a_statevar_type Type_Of() {
  if constexpr (std::is_same_v<T, bool8>)
    return BOOL_SVT;
  else if constexpr (std::is_enum_v<T>)
    return ENUM_SVT;
  else if constexpr (std::is_same_v<T, int16>)
    return INT16_SVT;
  else if constexpr (std::is_same_v<T, uint16>)
    return CARD16_SVT;
  else
    return POINT_SVT;
}

constexpr a_statevar_set Uses(std::initializer_list<a_statevar> vars) {
  a_statevar_set set = 0;
  for (const a_statevar v : vars) set |= SV_Bit(v);
  return set;
}

template <typename T>
constexpr a_sv_value<T> Field(T* field, a_sv_delta<T> delta = nullptr) {
  return a_sv_value<T>{a_sv_place<T>{field, nullptr, nullptr}, delta};
}

template <typename T>
constexpr a_sv_value<T> Pref(T (*get)(), void (*put)(T), a_sv_delta<T> delta = nullptr) {
  return a_sv_value<T>{a_sv_place<T>{nullptr, get, put}, delta};
}

template <typename T>
constexpr a_statevar_rec Plain(a_sv_value<T> value, const char* delta_name = nullptr) {
  a_statevar_rec r{};
  r.sv_type = Type_Of<T>();
  r.slot = value;
  r.proc_name = delta_name;
  return r;
}

template <typename T>
constexpr a_statevar_rec Toggled(a_sv_value<T> value, const char* delta_name, a_toggle_enum togglex) {
  a_statevar_rec r = Plain(value, delta_name);
  r.linkage = TOGGLE_LINK;
  r.togglex = togglex;
  return r;
}

template <typename T>
constexpr a_statevar_rec Derived(a_sv_value<T> value, bool8 (*recalc)(), const char* name, a_statevar_set uses) {
  a_statevar_rec r = Plain(value, name);
  r.linkage = DERIVED_LINK;
  r.recalc_proc = recalc;
  r.uses = uses;
  return r;
}

constexpr a_statevar_rec Virtual(void (*proc)(), const char* name, a_statevar_set uses) {
  a_statevar_rec r{};
  r.sv_type = VIRTUAL_SVT;
  r.slot = a_sv_virtual{proc};
  r.proc_name = name;
  r.uses = uses;
  return r;
}

using a_sv_table = std::array<a_statevar_rec, NSTATEVARS>;

constexpr a_sv_table SV_Table() {
  // Every entry starts cleared: no uses, not changed, no link, holding
  // nothing (SV_CUTLINES_OPTION stays so).
  a_sv_table t{};
  t[SV_SOUND_OPTION] = Plain(Pref<bool8>([] { return gs.pref.sound_option; },
                                         [](bool8 v) { gs.pref.sound_option = v; }));
  t[SV_SCROLL_OPTION] = Plain(Pref<bool8>([] { return gs.pref.scroll_option; },
                                          [](bool8 v) { gs.pref.scroll_option = v; }));
  t[SV_ECHO_OPTION] = Plain(Pref<bool8>([] { return gs.pref.echo_option; },
                                        [](bool8 v) { gs.pref.echo_option = v; }));
  t[SV_HISTORY_OPTION] = Plain(Pref<bool8>([] { return gs.pref.history_option; },
                                           [](bool8 v) { gs.pref.history_option = v; }));
  t[SV_STATUS_OPTION] = Plain(Pref<bool8>([] { return gs.pref.status_option; },
                                          [](bool8 v) { gs.pref.status_option = v; }));
  t[SV_TINYCURS_OPTION] = Plain(Pref<bool8>([] { return gs.pref.tinycurs_option; },
                                            [](bool8 v) { gs.pref.tinycurs_option = v; }));
  t[SV_PHASE] = Plain(Field(&gs.curr_phase, Delta_Phase), "Delta_Phase");
  t[SV_TXEDIT_PHASE] = Plain(Field(&gs.txedit_phase, Delta_TxEdit_Phase), "Delta_TxEdit_Phase");
  t[SV_ZOOM_IX] = Plain(Field(&gs.grid_vals[ZOOM_GRID], Delta_Zoom), "Delta_Zoom");
  t[SV_TOOL_SELECTION] = Plain(Field(&gs.grid_vals[TOOL_GRID], Delta_Tool), "Delta_Tool");
  t[SV_TOOL_SELECTION].uses = Uses({SV_PHASE});
  t[SV_SYMMETRY_ENABLED] = Toggled(Field(&gs.toggle_vals[SYMMETRY_TOGGLE], Delta_Symmetry_Toggle),
                                   "Delta_Symmetry_Toggle", SYMMETRY_TOGGLE);
  t[SV_STENCIL_ENABLED] = Toggled(Field(&gs.toggle_vals[STENCIL_TOGGLE], Delta_Stencil_Toggle),
                                  "Delta_Stencil_Toggle", STENCIL_TOGGLE);
  t[SV_TOOL_SHOW] = Plain(Field(&gs.tool_show));
  t[SV_DOC_CHANGED] = Plain(Field(&g_doc.doc_changed));
  t[SV_DOC_OPEN] = Plain(Field(&g_doc.doc_open, Delta_Doc_Open), "Delta_Doc_Open");
  t[SV_EDIT_FOCUS] = Plain(Field(&gs.view_focus));
  t[SV_LANGUAGE] = Plain(Pref<int16>([] { return int16(gs.pref.language_offset); },
                                     [](int16 v) { gs.pref.language_offset = v; }, Delta_Language),
                         "Delta_Language");
  t[SV_NVIEWS] = Derived(Field(&gs.nviews), Recalc_NViews, "Recalc_NViews",
                         Uses({SV_ECHO_OPTION, SV_ZOOM_IX, SV_DOC_OPEN}));
  t[SV_TOOL_NET] = Plain(Field(&gs.tool_net));
  t[SV_CURR_RING] = Plain(Field(&gs.curr_ring, Delta_Ring), "Delta_Ring");
  t[SV_CURR_BAR] = Plain(Field(&gs.curr_bar, Delta_Bar), "Delta_Bar");
  t[SV_FILL_KIND] = Plain(Field(&gs.fill_kind, Delta_FillKind), "Delta_FillKind");
  t[SV_ZOOMFACTOR] = Derived(Field(&gs.views[0].zoom_factor), Recalc_ZoomFactor, "Recalc_ZoomFactor",
                             Uses({SV_ZOOM_IX}));
  t[SV_MENUBAR_CONFIG] = Virtual(Recalc_Menubar_Config, "Recalc_Menubar_Config", Uses({SV_PHASE, SV_LANGUAGE}));
  t[SV_CONFIG_ALL] = Virtual(Config_All, "Config_All",
                             Uses({SV_SCROLL_OPTION, SV_ECHO_OPTION, SV_HISTORY_OPTION, SV_STATUS_OPTION, SV_PHASE,
                                   SV_TOOL_SHOW, SV_DOC_OPEN, SV_LANGUAGE, SV_CURR_BAR}));
  t[SV_CONFIG_BSIDE] = Virtual(Config_BSide, "Config_BSide", Uses({SV_CURR_RING}));
  t[SV_CONFIG_LSIDE] = Virtual(Config_LSide, "Config_LSide", Uses({SV_TOOL_NET}));
  t[SV_CONFIG_EDIT] = Virtual(Config_EditArea, "Config_EditArea", 0);
  t[SV_EDIT_ORIGIN] = Virtual(Recalc_Edit_Origin, "Recalc_Edit_Origin",
                              Uses({SV_EDIT_FOCUS, SV_NVIEWS, SV_ZOOMFACTOR, SV_CONFIG_ALL}));
  t[SV_NAV_REDUCTION] = Virtual(Nav_Recalc_Reduction, "Nav_Recalc_Reduction",
                                Uses({SV_NVIEWS, SV_ZOOMFACTOR, SV_CONFIG_ALL}));
  t[SV_NAV_FRAME] = Virtual(Nav_Recalc_Frame, "Nav_Recalc_Frame", Uses({SV_EDIT_FOCUS}));
  t[SV_MENUBAR_CHECKMARKS] =
      Virtual(Menus_Update, "Menus_Update",
              Uses({SV_SOUND_OPTION, SV_SCROLL_OPTION, SV_ECHO_OPTION, SV_HISTORY_OPTION, SV_STATUS_OPTION,
                    SV_TINYCURS_OPTION, SV_PHASE, SV_ZOOM_IX, SV_STENCIL_ENABLED, SV_TOOL_SHOW, SV_DOC_CHANGED,
                    SV_DOC_OPEN, SV_LANGUAGE, SV_MENUBAR_CONFIG}));
  t[SV_MENUBAR_TOPLEVEL] = Virtual(Menus_Draw, "Menus_Draw", Uses({SV_DOC_OPEN, SV_LANGUAGE}));
  return t;
}

// One ascending pass settles everything only while each variable depends on
// variables below it.
constexpr bool Uses_Only_Lower(const a_sv_table& t) {
  for (size_t i = 0; i < t.size(); ++i)
    if ((t[i].uses >> i) != 0) return false;
  return true;
}
// The checks of the table run while compiling where the compiler can build
// the table then: clang before 16 cannot assign its variants in a constant
// expression (the GCC builds check it).
#if !defined(__clang__) || __clang_major__ >= 16
#define VELMOR_SV_TABLE_AT_COMPILE_TIME 1
#endif
#ifdef VELMOR_SV_TABLE_AT_COMPILE_TIME
static_assert(Uses_Only_Lower(SV_Table()));
#endif

// Every entry is whole: a procedure (by name) for each virtual and derived
// variable, a toggle only on a Boolean, the inert entry left as cleared.
constexpr bool Entries_Whole(const a_sv_table& t) {
  for (size_t i = 0; i < t.size(); ++i) {
    const a_statevar_rec& r = t[i];
    if ((r.sv_type == VIRTUAL_SVT) != std::holds_alternative<a_sv_virtual>(r.slot)) return false;
    if (r.linkage == TOGGLE_LINK && r.sv_type != BOOL_SVT) return false;
    if ((r.sv_type == VIRTUAL_SVT || r.linkage == DERIVED_LINK) && r.proc_name == nullptr) return false;
  }
  const a_statevar_rec& inert = t[SV_CUTLINES_OPTION];
  return std::holds_alternative<a_sv_inert>(inert.slot) && inert.uses == 0 && inert.linkage == NO_LINK;
}
#ifdef VELMOR_SV_TABLE_AT_COMPILE_TIME
static_assert(Entries_Whole(SV_Table()));
#endif

// No entry lists the inert one.
constexpr bool Nobody_Uses(const a_sv_table& t, a_statevar svx) {
  for (const a_statevar_rec& r : t)
    if ((r.uses & SV_Bit(svx)) != 0) return false;
  return true;
}
#ifdef VELMOR_SV_TABLE_AT_COMPILE_TIME
static_assert(Nobody_Uses(SV_Table(), SV_CUTLINES_OPTION));
constinit a_sv_table sv = SV_Table();
#else
a_sv_table sv = SV_Table();
#endif

// --- Setting --------------------------------------------------------------------------

void Observe(const char* proc, int32 arg) {
  if (g_sv_observer != nullptr) g_sv_observer(proc, arg);
}

a_statevar_rec* Entry_Of(a_statevar svx) {
  if (svx < 0 || svx >= NSTATEVARS) {
    QUIT();
    return nullptr;
  }
  return &sv[size_t(svx)];
}

template <typename T>
bool Same(const T& a, const T& b) {
  if constexpr (std::is_same_v<T, Point>)
    return a.h == b.h && a.v == b.v;
  else
    return a == b;
}

template <typename T>
int32 Observed_Arg(const T& old) {
  if constexpr (std::is_same_v<T, Point>)
    return int32(uint32(uint16(old.h)) << 16 | uint16(old.v));
  else
    return int32(old);
}

// Compare, store, mark, then the change procedure with the old value. TRUE
// when the value changed.
template <typename T>
bool Store(a_statevar_rec& r, const a_sv_value<T>& value, T new_value) {
  const T old = value.place.Get();
  if (Same(old, new_value)) return false;
  value.place.Put(new_value);
  r.changed = true;
  if (value.delta != nullptr) {
    Observe(r.proc_name, Observed_Arg(old));
    value.delta(old);
  }
  return true;
}

// Sets the entry's value of exactly type T (another type is an internal
// error); the entry when its value changed, else NIL.
template <typename T>
a_statevar_rec* Set_Typed(a_statevar svx, T new_value) {
  a_statevar_rec* r = Entry_Of(svx);
  if (r == nullptr) return nullptr;
  const auto* value = std::get_if<a_sv_value<T>>(&r->slot);
  if (value == nullptr) {
    QUIT();
    return nullptr;
  }
  return Store(*r, *value, new_value) ? r : nullptr;
}

template <typename S>
struct a_sv_enum_slot : std::false_type {};
template <typename T>
struct a_sv_enum_slot<a_sv_value<T>> : std::bool_constant<std::is_enum_v<T>> {};

}  // namespace

void SV_Init() { sv = SV_Table(); }

void SV_Set_Bool(a_statevar svx, bool8 value) {
  const a_statevar_rec* r = Set_Typed<bool8>(svx, value);
  if (r != nullptr && r->linkage == TOGGLE_LINK) {
    Observe("Toggle_Paint", r->togglex);
    Toggle_Paint(r->togglex);
  }
}

void SV_Set_Enum(a_statevar svx, uint8 value) {
  a_statevar_rec* r = Entry_Of(svx);
  if (r == nullptr) return;
  const bool is_enum = std::visit(
      [&](const auto& slot) {
        using S = std::decay_t<decltype(slot)>;
        if constexpr (a_sv_enum_slot<S>::value) {
          Store(*r, slot, typename S::value_type(value));
          return true;
        } else {
          return false;
        }
      },
      r->slot);
  if (!is_enum) QUIT();
}

void SV_Set_Int(a_statevar svx, int16 value) { Set_Typed<int16>(svx, value); }

void SV_Set_Point(a_statevar svx, const Point& value) { Set_Typed<Point>(svx, value); }

void SV_Set_Virtual(a_statevar svx) {
  a_statevar_rec* r = Entry_Of(svx);
  if (r == nullptr) return;
  if (r->sv_type != VIRTUAL_SVT) {
    QUIT();
    return;
  }
  r->changed = true;
}

bool8 SV_Is_Changed(a_statevar svx) {
  const a_statevar_rec* r = Entry_Of(svx);
  return r != nullptr && r->changed;
}

// --- Settling ------------------------------------------------------------------------

void SV_Finish() {
  a_statevar_set changed_now = 0;
  for (a_statevar i = 0; i < NSTATEVARS; ++i) {
    a_statevar_rec& r = sv[size_t(i)];
    if (r.sv_type == VIRTUAL_SVT) {
      if (r.changed || (r.uses & changed_now) != 0) {
        Observe(r.proc_name, 0);
        std::get<a_sv_virtual>(r.slot).proc();
        r.changed = false;
        changed_now |= SV_Bit(i);
      }
    } else if (r.linkage == DERIVED_LINK) {
      if ((r.uses & changed_now) != 0) {
        Observe(r.proc_name, 0);
        if (r.recalc_proc()) changed_now |= SV_Bit(i);
      }
    } else if (r.changed) {
      r.changed = false;
      changed_now |= SV_Bit(i);
    }
  }
}

void SV_Begin_Interaction() { pending_op = OP_NOP; }

void SV_End_Interaction() {
  if (g_doc.doc_open && gs.curr_phase >= PAINT_PHASE && gs.curr_phase <= TEXT_PHASE) {
    Observe("Current_Unit_UpToDate", 0);
    Current_Unit_UpToDate();
  }
  SV_Finish();
  Observe("Intf_CheckHilites", 0);
  Intf_CheckHilites();
  if (pending_op != OP_NOP) {
    Observe("History_Emit", pending_op);
    History_Emit(pending_op);
  }
  SV_Finish();
}
