// What the sessions that move a project onto another layout share: a
// layout of the catalogue by its discs, and the words a unit's texts hold.
#pragma once

#include <string>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskText.h"

namespace layoutswitch {

// The place (from 1) in the paper list of the first layout whose units are
// n discs of one size and nothing else; 0 when none.
inline int16 Disc_Layout(uint32 n) {
  for (uint32 k = 0; k < t.tlist_n && k < 32767; ++k) {
    a_ctemplate entry;
    a_template x{};
    if (!Get_CTemplate(t.tlist[k], entry) || Expand_Template(entry, x) != EXPAND_OK || x.nunits != n) continue;
    bool discs = true;
    for (uint32 i = 0; i < n; ++i) discs &= x.units[i].kind == UNIT_CD;
    if (discs) return int16(k + 1);
  }
  return 0;
}

// The texts of unit ux's objects (its clone master's), as 8-bit text.
inline std::vector<std::string> Texts_Of(uint32 ux) {
  std::vector<std::string> texts;
  const a_doc_unit* u = Doc_Unit(Find_Clone_Master(ux));
  if (u == nullptr) return texts;
  for (int32 i = 0; i < u->oj.nlist; ++i) {
    const a_oj_item& item = u->oj.list[i];
    if (item.kind != TEXT_BLOCK || item.om == nullptr) continue;
    char s[256] = {};
    OM_To_Str(item.om, s, sizeof s);
    texts.push_back(s);
  }
  return texts;
}

}  // namespace layoutswitch
