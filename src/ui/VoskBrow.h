// The program's choosers and lists. So far the recent layouts: the layouts
// the user made documents on, kept in the preferences (gs.pref.recentlay) by
// label and catalogue index. The start screen's lists, the browsers and the
// unit list come with the interface.
#pragma once

#include "platform/Types.h"
#include "platform/VoskPref.h"

// A document was made on the catalogue layout of this label (at most 31
// characters are compared and kept): its slot (the same label's, else the
// first free one, else the least used, lowest first, cleared) counts one
// more use (a first use counts 2), with the time now and its catalogue index
// to be looked up again (0).
void RecentLay_Add(CStrSpan label);
// The catalogue index (from 1) of recent layout slot (0 .. MAX_NRECENTLAY -
// 1): its tx while the catalogue entry there still has the slot's label,
// else the entry of that label; 0 for a free slot or a label the catalogue
// no longer has.
uint32 RecentLay_TemplateX(int16 slot);
// The entry of the catalogue whose label is label (31 characters compared),
// from 1; 0 when none.
uint32 Find_Template(CStrSpan label);
// The paper echo of the start screen: the chosen layout's sheet. Comes with
// the paper lists' preview: nothing is drawn yet.
void PaperEcho_Paint();
