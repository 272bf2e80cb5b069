// The text clipboard: the 770 and 769 records byte for byte, styled and
// plain pastes, blocks from other programs that lie about their size or
// hold what no text may hold, line ends at the desktop, the whole text
// reaching other programs, and a cut that could not copy.
#include <cstring>
#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "host/HostByteOrder.h"
#include "host/HostUtf.h"
#include "platform/SysScrap.h"
#include "test_edit_fixture.h"
#include "ui/VoskDisp.h"

using namespace edittest;

namespace {

class TextClipboard : public Editing {
 protected:
  void SetUp() override {
    Editing::SetUp();
    if (IsSkipped()) return;
    a_scrap_readers readers{};
    readers.textr_paste = TextR_Paste;
    readers.paste_om = Do_Paste_OM;
    readers.inject_unicode = Do_Paste_UTF16;
    Scrap_Set_Readers(readers);
  }
  void TearDown() override {
    Scrap_Set_Readers(a_scrap_readers{});
    Editing::TearDown();
  }
  static std::vector<uint8> Held(uint32 format) {
    Handle h = nullptr;
    Scrap_Get_Handle(h, format);
    if (h == nullptr) return {};
    const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(h));
    std::vector<uint8> out(p, p + Handle_GetSize(h));
    Dispose_Handle(h);
    return out;
  }
  static void Put(uint32 format, const std::vector<uint8>& bytes) {
    Scrap_Clear();
    Scrap_Add_Ptr(bytes.data(), uint32(bytes.size()), format);
  }
  std::vector<uint8> Record_Of(const std::u16string& text) {
    a_om_rec* om = Record(text);
    std::vector<uint8> bytes = Write_OM_Record(*om);
    OM_Dispose(om);
    return bytes;
  }
};

}  // namespace

TEST_F(TextClipboard, RangeRecordsArePackedLittleEndian) {
  Edit(U("ab"), 1);
  a_xyl_char& c = Om()->xyl[1];
  c.cc_fontx = mono_;
  c.cc_color.r = 0x7F;
  c.cc_nudgex = -3;
  c.cc_size = 150;
  c.cc_italf = true;
  const std::vector<uint8> one = Write_TextR(&c, 1);
  ASSERT_EQ(one.size(), 40u) << "a one-character range";
  EXPECT_EQ(Load_LE32(one.data()), 1u);
  const uint8* e = one.data() + 4;
  EXPECT_EQ(Load_LE16(e + 0), u'b');
  EXPECT_EQ(Load_LE32(e + 2), mono_);
  EXPECT_EQ(e[6 + 2], 0x7F);
  EXPECT_EQ(int16(Load_LE16(e + 10)), -3);
  EXPECT_EQ(Load_LE16(e + 16), 150);
  EXPECT_EQ(e[19], 1);
  EXPECT_EQ(Load_LE16(e + 22), uint16(c.mm_x));
  EXPECT_EQ(Load_LE32(e + 30), uint32(c.mm_ud));
  EXPECT_EQ(e[34], c.mm_cat);

  std::vector<a_xyl_char> back;
  ASSERT_TRUE(Read_TextR(one.data(), uint32(one.size()), back));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].cc_char, u'b');
  EXPECT_EQ(back[0].cc_fontx, mono_);
  EXPECT_EQ(back[0].cc_nudgex, -3);
  EXPECT_EQ(back[0].cc_size, 150);
  EXPECT_TRUE(back[0].cc_italf);
  EXPECT_EQ(back[0].mm_x, 0) << "the layout's fields are the layout's";
}

TEST_F(TextClipboard, ObjectRecordsHoldTheWholeTextAtTheirOffsets) {
  a_om_rec* om = Record(U("Hi\rthere"), LAYOUT_CIRC_CW);
  om->justify = JUST_RIGHT;
  om->shadf = true;
  om->opacity = 80;
  om->glow_color.g = 0x44;
  const std::vector<uint8> b = Write_OM_Record(*om);
  ASSERT_EQ(b.size(), OM_RECORD_BYTES);
  EXPECT_EQ(int16(Load_LE16(b.data() + 0)), om->bbox.top);
  EXPECT_EQ(int16(Load_LE16(b.data() + 8)), om->anchor.v);
  EXPECT_EQ(b[20], 1) << "shadow";
  EXPECT_EQ(b[22], LAYOUT_CIRC_CW);
  EXPECT_EQ(b[23], JUST_RIGHT);
  EXPECT_EQ(Load_LE32(b.data() + 24), mono_);
  EXPECT_EQ(Load_LE16(b.data() + 28), 24) << "size";
  EXPECT_EQ(Load_LE16(b.data() + 76), 80) << "opacity";
  EXPECT_EQ(b[82 + 1], 0x44);
  EXPECT_EQ(Load_LE32(b.data() + 94), 9u);
  EXPECT_EQ(Load_LE16(b.data() + 98 + 36 * 2), 13);
  EXPECT_EQ(Load_LE32(b.data() + 144098), om->noverflows);

  a_om_rec* back = New_OM_Rec();
  ASSERT_TRUE(Read_OM_Record(b.data(), uint32(b.size()), *back));
  EXPECT_EQ(back->nxyl, 9);
  EXPECT_EQ(back->layout, LAYOUT_CIRC_CW);
  EXPECT_EQ(back->justify, JUST_RIGHT);
  EXPECT_TRUE(back->shadf);
  EXPECT_EQ(back->opacity, 80);
  EXPECT_EQ(back->radius, om->radius);
  EXPECT_EQ(back->glow_color.g, 0x44);
  EXPECT_EQ(back->xyl[2].cc_char, 13);
  EXPECT_EQ(back->xyl[8].cc_char, EOS_CHAR);
  EXPECT_EQ(back->cache.progress, 0) << "computed afresh";
  OM_Dispose(back);
  OM_Dispose(om);
}

TEST_F(TextClipboard, StyledPasteKeepsEachCharactersStyle) {
  Edit(U("abc"), 1);
  Om()->xyl[1].cc_boldf = true;
  Om()->xyl[2].cc_size = 200;
  Set_Sel_Range(2, 4);
  Scrap_Clear();
  TextR_Copy();
  EXPECT_EQ(Held(SCRAP_TEXTR).size(), 4u + 2 * 36);
  Set_Sel_Empty(1);
  ASSERT_TRUE(Scrap_Paste());
  EXPECT_EQ(Text(), u"bcabc");
  EXPECT_TRUE(Om()->xyl[0].cc_boldf);
  EXPECT_EQ(Om()->xyl[1].cc_size, 200);
  EXPECT_EQ(Sel(), std::make_pair(3, 3)) << "the caret after the pasted text";

  // Not editing: the range becomes a new object.
  gs.txedit_phase = TXEDIT_MOVE;
  const int32 before = unit_->oj.nlist;
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(unit_->oj.nlist, before + 1);
  const a_om_rec* made = Obj_Item(unit_->oj.nlist)->om;
  EXPECT_EQ(made->nxyl, 3);
  EXPECT_TRUE(made->xyl[0].cc_boldf);
  EXPECT_EQ(made->xyl[2].cc_char, EOS_CHAR);
}

TEST_F(TextClipboard, PlainPasteTakesTheReplacedCharactersStyle) {
  Edit(U("abc"), 1);
  Om()->xyl[1].cc_italf = true;
  Set_Sel_Range(2, 3);
  Host_Clipboard_Foreign_Text("Z");
  ASSERT_TRUE(Scrap_Paste());
  EXPECT_EQ(Text(), u"aZc");
  EXPECT_TRUE(Om()->xyl[1].cc_italf);
}

TEST_F(TextClipboard, HostileRangesChangeNothing) {
  Edit(U("abc"), 2);
  std::vector<uint8> good = Write_TextR(Om()->xyl, 2);
  std::vector<uint8> shorter(good.begin(), good.end() - 1);
  std::vector<uint8> longer = good;
  longer.push_back(0);
  std::vector<uint8> huge = good;
  Store_LE32(huge.data(), 0xFFFFFFFFu);
  std::vector<uint8> negative = good;
  Store_LE32(negative.data(), 0x80000001u);
  const std::vector<std::pair<const char*, std::vector<uint8>>> blocks = {
      {"no count", {1, 0}}, {"shorter", shorter}, {"longer", longer}, {"huge count", huge}, {"negative", negative}};
  const int32 count = unit_->oj.nlist;
  for (const auto& [name, bytes] : blocks) {
    soundtest::SoundRecorder sounds;
    std::vector<a_xyl_char> out;
    EXPECT_FALSE(Read_TextR(bytes.data(), uint32(bytes.size()), out)) << name;
    TextR_Paste(bytes.data(), uint32(bytes.size()));
    EXPECT_EQ(Text(), u"abc") << name;
    EXPECT_EQ(unit_->oj.nlist, count) << name;
    EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL}) << name;
  }
}

TEST_F(TextClipboard, WhatNoTextMayHoldIsLeftOutOrLimited) {
  std::vector<a_xyl_char> chars(6);
  const UniChar codes[] = {'a', 0, EOS_CHAR, 0xDC00, 0xD83D, 'b'};
  for (size_t i = 0; i < chars.size(); ++i) chars[i].cc_char = codes[i];
  chars[0].cc_fontx = 999999;
  chars[0].cc_size = 5000;
  chars[0].cc_nudgex = 30000;
  chars[0].cc_nudget = -30000;
  chars[5].cc_boldf = 7;
  const std::vector<uint8> block = Write_TextR(chars.data(), int32(chars.size()));
  std::vector<a_xyl_char> out;
  ASSERT_TRUE(Read_TextR(block.data(), uint32(block.size()), out));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].cc_char, u'a');
  EXPECT_EQ(out[1].cc_char, u'b');
  EXPECT_EQ(out[0].cc_fontx, 0u) << "an unknown font";
  EXPECT_EQ(out[0].cc_size, SLIDER_VALUES[TEXTR_SIZE_SLIDER].maxval);
  EXPECT_EQ(out[0].cc_nudgex, SLIDER_VALUES[TEXTR_DX_SLIDER].maxval);
  EXPECT_EQ(out[0].cc_nudget, SLIDER_VALUES[TEXTR_ANGLE_SLIDER].minval);
  EXPECT_EQ(out[1].cc_boldf, 1);

  // More than a text holds: 3999 characters at most, a new object without
  // writing past the record.
  std::vector<a_xyl_char> many(4500);
  for (a_xyl_char& c : many) c.cc_char = u'x';
  const std::vector<uint8> big = Write_TextR(many.data(), int32(many.size()));
  gs.txedit_phase = TXEDIT_MOVE;
  const int32 count = unit_->oj.nlist;
  TextR_Paste(big.data(), uint32(big.size()));
  ASSERT_EQ(unit_->oj.nlist, count + 1);
  EXPECT_EQ(Obj_Item(count + 1)->om->nxyl, MAX_NXYL);
}

TEST_F(TextClipboard, HostileObjectRecordsChangeNothing) {
  const std::vector<uint8> good = Record_Of(U("ok"));
  auto with = [&](uint32 at, uint32 value, int bytes) {
    std::vector<uint8> b = good;
    if (bytes == 4)
      Store_LE32(b.data() + at, value);
    else
      b[at] = uint8(value);
    return b;
  };
  std::vector<uint8> shorter(good.begin(), good.end() - 1);
  std::vector<uint8> longer = good;
  longer.push_back(0);
  const std::vector<std::pair<const char*, std::vector<uint8>>> blocks = {
      {"shorter", shorter},
      {"longer", longer},
      {"no characters", with(94, 0, 4)},
      {"past the record", with(94, 4001, 4)},
      {"eleven overflows", with(144098, 11, 4)},
      {"layout", with(22, 10, 1)},
      {"justification", with(23, 3, 1)},
  };
  const int32 count = unit_->oj.nlist;
  for (const auto& [name, bytes] : blocks) {
    soundtest::SoundRecorder sounds;
    a_om_rec* om = New_OM_Rec();
    om->nxyl = 77;
    EXPECT_FALSE(Read_OM_Record(bytes.data(), uint32(bytes.size()), *om)) << name;
    EXPECT_EQ(om->nxyl, 77) << name << ": the record is untouched";
    OM_Dispose(om);
    Do_Paste_OM(bytes.data(), uint32(bytes.size()));
    EXPECT_EQ(unit_->oj.nlist, count) << name;
    EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL}) << name;
  }

  // A sound one becomes a new object, with what it may not hold mended.
  std::vector<uint8> odd = with(24, 999999, 4);  // an unknown font
  Store_LE16(odd.data() + 28, 30000);            // size
  Store_LE16(odd.data() + 98, 0);                // a code 0 first
  gs.txedit_phase = TXEDIT_MOVE;
  Do_Paste_OM(odd.data(), uint32(odd.size()));
  ASSERT_EQ(unit_->oj.nlist, count + 1);
  const a_om_rec* made = Obj_Item(count + 1)->om;
  EXPECT_EQ(made->nxyl, 2);
  EXPECT_EQ(made->xyl[0].cc_char, u'k');
  EXPECT_EQ(made->fontx, 0u);
  EXPECT_LE(made->size, TEXT_LAYOUT_SIZE_LIMITS[LAYOUT_HORZ]);
  EXPECT_NE(made->cache.progress, 0) << "laid out";
}

TEST_F(TextClipboard, WholeObjectsCopyAndPaste) {
  const int32 omx = Edit(U("Label"), 1);
  gs.txedit_phase = TXEDIT_MOVE;
  Scrap_Clear();
  ASSERT_TRUE(Scrap_Add_OM(Obj_Item(omx)->om));
  EXPECT_EQ(Held(SCRAP_OM).size(), OM_RECORD_BYTES);
  EXPECT_EQ(Host_Clipboard_Published_Text(), "Label") << "other programs get the text";
  ASSERT_TRUE(Scrap_Paste());
  ASSERT_EQ(unit_->oj.nlist, omx + 1);
  EXPECT_EQ(Obj_Item(omx + 1)->om->nxyl, 6);
  EXPECT_EQ(Obj_Item(omx + 1)->om->xyl[4].cc_char, u'l');
}

TEST_F(TextClipboard, LineEndsAtTheDesktop) {
  Edit(u"", 1);
  Host_Clipboard_Foreign_Text("one\ntwo\r\nthree\rfour");
  ASSERT_TRUE(Scrap_Paste());
  EXPECT_EQ(Text(), U("one\rtwo\rthree\rfour")) << "LF, CR LF and CR each end a line";
  for (int32 p : {4, 8, 14}) EXPECT_EQ(Om()->xyl[p - 1].mm_cat, CC_HARDBREAK) << p;
  TextR_Select_All();
  Scrap_Clear();
  TextR_Copy();
  EXPECT_EQ(Host_Clipboard_Published_Text(), "one\ntwo\nthree\nfour");
}

TEST_F(TextClipboard, TheWholeTextReachesAnotherProgramAndComesBack) {
  const std::u16string cyrillic(MAX_NXYL - 1, u'\u0416');
  Edit(cyrillic, 1);
  TextR_Select_All();
  Scrap_Clear();
  TextR_Copy();
  const std::string whole = Host_Utf16_To_Utf8(cyrillic);
  ASSERT_EQ(whole.size(), 7998u);
  EXPECT_EQ(Host_Clipboard_Published_Text(), whole);
  std::vector<uint8> narrow = Held(SCRAP_TEXT);
  ASSERT_EQ(narrow.size(), whole.size() + 1);
  EXPECT_EQ(std::string(narrow.begin(), narrow.end() - 1), whole);
  EXPECT_EQ(Held(SCRAP_UNICODETEXT).size(), size_t(MAX_NXYL) * 2);

  // Back from the other program into an empty text.
  OMast_Dispose(unit_->oj);
  Edit(u"", 1);
  Host_Clipboard_Foreign_Text(whole);
  ASSERT_TRUE(Scrap_Paste());
  EXPECT_EQ(Text(), cyrillic);
}

TEST_F(TextClipboard, CutDeletesOnlyWhatWentOntoTheClipboard) {
  Edit(U("abcdef"), 1);
  Set_Sel_Range(2, 4);
  {
    soundtest::SoundRecorder sounds;
    ASSERT_TRUE(Host_Clipboard_Open(nullptr));  // another user holds it open
    TextR_Cut();
    Host_Clipboard_Close();
    EXPECT_EQ(Text(), u"abcdef");
    EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  }
  Scrap_Clear();
  TextR_Cut();
  EXPECT_EQ(Text(), u"adef");
  EXPECT_EQ(Sel(), std::make_pair(2, 2));
  EXPECT_EQ(Host_Clipboard_Published_Text(), "bc");

  soundtest::SoundRecorder sounds;
  TextR_Copy();
  TextR_Cut();
  EXPECT_EQ(sounds.Ids(), (std::vector<int16>{SND_NULL, SND_NULL})) << "nothing selected";
  EXPECT_EQ(Text(), u"adef");
}

TEST_F(TextClipboard, TheEditMenuWorksOnTheEditedTextsCharacters) {
  Edit(U("abcdef"), 3);
  DoMenuEvent(MENU_EDIT, EDIT_SELECT_ALL, false, false);
  EXPECT_EQ(Sel(), std::make_pair(1, 7));
  DoMenuEvent(MENU_EDIT, EDIT_SELECT_NONE, false, false);
  EXPECT_EQ(Sel(), std::make_pair(1, 1));
  Set_Sel_Range(2, 4);
  DoMenuEvent(MENU_EDIT, EDIT_CUT, false, false);
  EXPECT_EQ(Text(), u"adef");
  EXPECT_EQ(Host_Clipboard_Published_Text(), "bc");
  Set_Sel_Empty(5);
  DoMenuEvent(MENU_EDIT, EDIT_PASTE, false, false);
  EXPECT_EQ(Text(), u"adefbc");
  EXPECT_EQ(unit_->oj.nlist, g_ed.edit_omx) << "no new object";
}

TEST_F(TextClipboard, AWholeTextIsCutOnlyOnceTheClipboardHoldsIt) {
  const int32 omx = Edit(U("keep me"), 1);
  gs.txedit_phase = TXEDIT_MOVE;
  soundtest::SoundRecorder sounds;
  ASSERT_TRUE(Host_Clipboard_Open(nullptr));  // another user holds it open
  DoMenuEvent(MENU_EDIT, EDIT_CUT, false, false);
  Host_Clipboard_Close();
  ASSERT_EQ(unit_->oj.nlist, omx);
  EXPECT_EQ(Obj_Item(omx)->om->nxyl, 8);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  DoMenuEvent(MENU_EDIT, EDIT_CUT, false, false);
  EXPECT_EQ(unit_->oj.nlist, omx - 1) << "cut once it was copied";
  EXPECT_EQ(Held(SCRAP_OM).size(), OM_RECORD_BYTES);
}
