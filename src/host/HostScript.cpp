// The script player and the PNG snapshot.
#include "host/HostScript.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostCodecs.h"
#include "host/HostUtf.h"
#include "host/HostWinCore.h"

namespace {

struct Script_State {
  std::vector<HostScriptCmd> cmds;
  size_t pc = 0;
  bool waiting = false;
  uint32 wait_start = 0;
  uint32 wait_ms = 0;
  bool loaded = false;
  bool finished = false;
  bool quit_at_end = true;
};

Script_State g_script;
std::deque<std::string> g_answers[5];

constexpr int64 kMaxWaitTicks = 10'000'000;  // about 44 hours
constexpr int32 kMaxCoord = 100000;
constexpr uint32 kPollStepMs = 16;  // one tick per empty poll while a wait runs

// --- Parsing ---

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

bool Parse_Int(std::string_view s, int64 lo, int64 hi, int64& out) {
  if (s.empty() || s.size() > 20) return false;
  size_t i = 0;
  bool neg = false;
  if (s[0] == '-' || s[0] == '+') {
    neg = s[0] == '-';
    i = 1;
  }
  if (i == s.size()) return false;
  int64 v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > int64(1) << 40) return false;
  }
  if (neg) v = -v;
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> w;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
    if (j > i) w.push_back(s.substr(i, j - i));
    i = j;
  }
  return w;
}

// The rest of the line after the command word and one run of blanks.
std::string_view Rest(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return line.substr(i);
}

// A printable ASCII character on a US keyboard: its key and whether Shift is needed.
bool Char_Key(char c, int32& vk, bool& shift) {
  shift = false;
  if (c >= 'a' && c <= 'z') { vk = c - 32; return true; }
  if (c >= 'A' && c <= 'Z') { vk = c; shift = true; return true; }
  if (c >= '0' && c <= '9') { vk = c; return true; }
  static const char kShiftDigits[] = ")!@#$%^&*(";
  for (int i = 0; i < 10; ++i)
    if (c == kShiftDigits[i]) { vk = '0' + i; shift = true; return true; }
  struct P { char plain, shifted; int32 vk; };
  static const P kPunct[] = {{';', ':', VK_OEM_1},  {'=', '+', VK_OEM_PLUS}, {',', '<', VK_OEM_COMMA},
                             {'-', '_', VK_OEM_MINUS}, {'.', '>', VK_OEM_PERIOD}, {'/', '?', VK_OEM_2},
                             {'`', '~', VK_OEM_3}, {'[', '{', VK_OEM_4},  {'\\', '|', VK_OEM_5},
                             {']', '}', VK_OEM_6}, {'\'', '"', VK_OEM_7}};
  for (const P& p : kPunct) {
    if (c == p.plain) { vk = p.vk; return true; }
    if (c == p.shifted) { vk = p.vk; shift = true; return true; }
  }
  if (c == ' ') { vk = VK_SPACE; return true; }
  return false;
}

bool Key_Name(const std::string& lname, HostScriptKey& k) {
  struct N { const char* name; int32 vk; bool ext; };
  static const N kNames[] = {
      {"escape", VK_ESCAPE, false}, {"esc", VK_ESCAPE, false},   {"enter", VK_RETURN, false},
      {"return", VK_RETURN, false}, {"keypadenter", VK_RETURN, true}, {"tab", VK_TAB, false},
      {"space", VK_SPACE, false},   {"backspace", VK_BACK, false}, {"delete", VK_DELETE, true},
      {"del", VK_DELETE, true},     {"insert", VK_INSERT, true},  {"home", VK_HOME, true},
      {"end", VK_END, true},        {"pageup", VK_PRIOR, true},   {"pagedown", VK_NEXT, true},
      {"up", VK_UP, true},          {"down", VK_DOWN, true},      {"left", VK_LEFT, true},
      {"right", VK_RIGHT, true},    {"capslock", VK_CAPITAL, false}};
  for (const N& n : kNames)
    if (lname == n.name) { k = HostScriptKey{n.vk, n.ext}; return true; }
  if (lname.size() >= 2 && lname.size() <= 3 && lname[0] == 'f') {
    int64 n;
    if (Parse_Int(std::string_view(lname).substr(1), 1, 24, n)) {
      k = HostScriptKey{int32(VK_F1 + n - 1), false};
      return true;
    }
  }
  return false;
}

bool Parse_Combo(std::string_view combo, std::vector<HostScriptKey>& keys, std::string& why) {
  // Split on '+', where a trailing "++" (or a lone "+") names the plus key.
  std::vector<std::string> parts;
  std::string cur;
  for (size_t i = 0; i < combo.size(); ++i) {
    if (combo[i] == '+' && !cur.empty()) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(combo[i]);
    }
  }
  if (cur.empty()) {
    why = "the key is missing";
    return false;
  }
  parts.push_back(cur);
  bool shift = false, ctrl = false, alt = false;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    const std::string m = Lower(parts[i]);
    if (m == "ctrl" || m == "control") ctrl = true;
    else if (m == "shift") shift = true;
    else if (m == "alt") alt = true;
    else {
      why = "unknown modifier \"" + parts[i] + "\" (Ctrl, Shift, Alt)";
      return false;
    }
  }
  const std::string& key = parts.back();
  HostScriptKey k{0, false};
  if (key.size() == 1 && key[0] > ' ' && key[0] < 127) {
    bool need_shift = false;
    if (!Char_Key(key[0], k.vk, need_shift)) {
      why = "no key for \"" + key + "\"";
      return false;
    }
    // A letter names its key: Ctrl+S and Ctrl+s are the same.
    if (key[0] >= 'A' && key[0] <= 'Z') need_shift = false;
    shift = shift || need_shift;
  } else if (!Key_Name(Lower(key), k)) {
    why = "unknown key \"" + key + "\"";
    return false;
  }
  keys.clear();
  if (ctrl) keys.push_back({VK_CONTROL, false});
  if (alt) keys.push_back({VK_MENU, false});
  if (shift) keys.push_back({VK_SHIFT, false});
  keys.push_back(k);
  return true;
}

// --- Running ---

HWND Main_Or_Complain(const HostScriptCmd& c) {
  HWND m = Host_Main_Window();
  if (!m) std::fprintf(stderr, "velmor: script line %d: there is no main window\n", int(c.line));
  return m;
}

POINT Screen_Of(HWND main, int32 x, int32 y) {
  POINT p{x, y};
  ClientToScreen(main, &p);
  return p;
}

void Press(const std::vector<HostScriptKey>& keys) {
  for (const auto& k : keys) hostwin::Input_Key(k.vk, true, k.extended, false);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) hostwin::Input_Key(it->vk, false, it->extended, false);
}

void Type(const std::string& text) {
  const std::u16string units = Host_Utf8_To_Utf16(text);
  for (char16_t u : units) {
    int32 vk = 0;
    bool shift = false;
    if (u < 0x80 && Char_Key(char(u), vk, shift)) {
      std::vector<HostScriptKey> keys;
      if (shift) keys.push_back({VK_SHIFT, false});
      keys.push_back({vk, false});
      Press(keys);
    } else {
      hostwin::Input_Char(u);
    }
  }
}

// Runs one input command; TRUE when it queued input.
void Run_Input(const HostScriptCmd& c) {
  switch (c.op) {
    case HostScriptOp::KEY: Press(c.keys); break;
    case HostScriptOp::TYPE: Type(c.text); break;
    case HostScriptOp::DOWN:
    case HostScriptOp::MOVE:
    case HostScriptOp::UP:
    case HostScriptOp::CLICK: {
      HWND m = Main_Or_Complain(c);
      if (!m) break;
      const POINT p = Screen_Of(m, c.a, c.b);
      // Where the display has a pointer of its own, it is moved and
      // pressed, and the input comes back through the display's events.
      const bool down = c.op == HostScriptOp::DOWN || c.op == HostScriptOp::CLICK;
      const bool up = c.op == HostScriptOp::UP || c.op == HostScriptOp::CLICK;
      if (Host_Backend_Pointer(down ? HostPointerOp::DOWN : up ? HostPointerOp::UP : HostPointerOp::MOVE, p.x, p.y)) {
        if (down && up) Host_Backend_Pointer(HostPointerOp::UP, p.x, p.y);
        break;
      }
      if (c.op == HostScriptOp::MOVE) hostwin::Input_Mouse_Move(p);
      if (down) hostwin::Input_Button(0, true, p);
      if (up) hostwin::Input_Button(0, false, p);
      break;
    }
    case HostScriptOp::SIGNAL:
      // Through the process's own handler, as a signal from outside comes.
      raise(c.a);
      break;
    case HostScriptOp::MENU: {
      HWND m = Main_Or_Complain(c);
      if (!m) break;
      // While a dialog is up the main window is disabled: its menus take
      // no command, as a click on them is refused.
      if (!IsWindowEnabled(m)) {
        std::fprintf(stderr, "velmor: script line %d: menu %d refused: a dialog is open\n", int(c.line), int(c.a));
        break;
      }
      PostMessage(m, WM_COMMAND, MAKEWPARAM(c.a, 0), 0);
      break;
    }
    default: break;
  }
}

// Runs commands up to and including one input command. `answers_only`:
// only `answer` lines are taken (a dialog looking ahead).
bool Step(bool answers_only) {
  bool did = false;
  while (g_script.loaded && g_script.pc < g_script.cmds.size()) {
    const HostScriptCmd& c = g_script.cmds[g_script.pc];
    if (answers_only && c.op != HostScriptOp::ANSWER) return did;
    switch (c.op) {
      case HostScriptOp::WAIT: {
        const uint32 now = Host_Clock_Millis();
        if (!g_script.waiting) {
          g_script.waiting = true;
          g_script.wait_start = now;
          g_script.wait_ms = uint32(c.a) * 16u;
        }
        if (now - g_script.wait_start < g_script.wait_ms) return did;
        g_script.waiting = false;
        ++g_script.pc;
        did = true;
        continue;
      }
      case HostScriptOp::ANSWER:
        g_answers[c.kind].push_back(c.kind == HOST_ANSWER_ALERT ? std::to_string(c.a) : c.text);
        ++g_script.pc;
        did = true;
        continue;
      case HostScriptOp::SNAPSHOT: {
        ++g_script.pc;
        did = true;
        HWND m = Main_Or_Complain(c);
        std::string err;
        if (m && !Host_Snapshot_Window(m, c.text, err))
          std::fprintf(stderr, "velmor: script line %d: snapshot failed: %s\n", int(c.line), err.c_str());
        continue;
      }
      case HostScriptOp::QUIT:
        ++g_script.pc;
        PostQuitMessage(0);
        g_script.finished = true;
        g_script.pc = g_script.cmds.size();
        return true;
      default:
        ++g_script.pc;
        Run_Input(c);
        return true;
    }
  }
  if (g_script.loaded && !g_script.finished && g_script.pc >= g_script.cmds.size()) {
    g_script.finished = true;
    if (g_script.quit_at_end) {
      std::fprintf(stderr, "velmor: the script ended without \"quit\"; quitting\n");
      PostQuitMessage(0);
    }
    did = true;
  }
  return did;
}

bool Feed_Hook() { return Host_Script_Feed(); }

}  // namespace

bool Host_Script_Parse(std::string_view text, const std::string& name, std::vector<HostScriptCmd>& out,
                       std::string& errors) {
  out.clear();
  bool ok = true;
  int32 lineno = 0;
  size_t pos = 0;
  auto fail = [&](const std::string& msg) {
    errors += name + ":" + std::to_string(lineno) + ": " + msg + "\n";
    ok = false;
  };
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    ++lineno;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\0') != std::string_view::npos) {
      fail("the line holds a NUL character");
      if (nl == text.size()) break;
      continue;
    }
    const auto words = Words(line);
    if (words.empty() || words[0][0] == '#') {
      if (nl == text.size()) break;
      continue;
    }
    if (!Host_Utf8_Valid(line)) {
      fail("the line is not valid UTF-8");
      continue;
    }
    HostScriptCmd c;
    c.op = HostScriptOp::WAIT;
    c.line = lineno;
    const std::string cmd(words[0]);
    const size_t nargs = words.size() - 1;
    int64 v = 0, v2 = 0;
    if (cmd == "wait") {
      if (nargs != 1 || !Parse_Int(words[1], 0, kMaxWaitTicks, v)) {
        fail("wait needs one number of ticks (0 to " + std::to_string(kMaxWaitTicks) + ")");
        continue;
      }
      c.op = HostScriptOp::WAIT;
      c.a = int32(v);
    } else if (cmd == "key") {
      std::string why;
      if (nargs != 1) {
        fail("key needs one key combination, such as Ctrl+S");
        continue;
      }
      if (!Parse_Combo(words[1], c.keys, why)) {
        fail("key " + std::string(words[1]) + ": " + why);
        continue;
      }
      c.op = HostScriptOp::KEY;
    } else if (cmd == "type") {
      c.op = HostScriptOp::TYPE;
      c.text = std::string(Rest(line));
      if (c.text.empty()) {
        fail("type needs the text to type");
        continue;
      }
    } else if (cmd == "down" || cmd == "move" || cmd == "up" || cmd == "click") {
      if (nargs != 2 || !Parse_Int(words[1], -kMaxCoord, kMaxCoord, v) ||
          !Parse_Int(words[2], -kMaxCoord, kMaxCoord, v2)) {
        fail(cmd + " needs two whole numbers X Y");
        continue;
      }
      c.op = cmd == "down" ? HostScriptOp::DOWN : cmd == "move" ? HostScriptOp::MOVE
             : cmd == "up" ? HostScriptOp::UP : HostScriptOp::CLICK;
      c.a = int32(v);
      c.b = int32(v2);
    } else if (cmd == "menu") {
      if (nargs != 1 || !Parse_Int(words[1], 1, 65535, v)) {
        fail("menu needs a command id from 1 to 65535");
        continue;
      }
      c.op = HostScriptOp::MENU;
      c.a = int32(v);
    } else if (cmd == "answer") {
      c.op = HostScriptOp::ANSWER;
      const std::string kind = nargs >= 1 ? std::string(words[1]) : std::string();
      if (kind == "alert") {
        if (nargs != 2 || !Parse_Int(words[2], 0, 32767, v)) {
          fail("answer alert needs a button number");
          continue;
        }
        c.kind = HOST_ANSWER_ALERT;
        c.a = int32(v);
      } else if (kind == "open" || kind == "save" || kind == "folder") {
        c.kind = kind == "open" ? HOST_ANSWER_OPEN : kind == "save" ? HOST_ANSWER_SAVE : HOST_ANSWER_FOLDER;
        c.text = std::string(Rest(Rest(line)));
        if (c.text.empty()) {
          fail("answer " + kind + " needs a path");
          continue;
        }
      } else if (kind == "color") {
        std::string hex = nargs == 2 ? std::string(words[2]) : std::string();
        if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
        const bool ok = hex.size() == 6 && hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
        if (!ok) {
          fail("answer color needs a colour #RRGGBB");
          continue;
        }
        c.kind = HOST_ANSWER_COLOR;
        c.text = "#" + hex;
      } else {
        fail("answer needs open, save, folder, alert or color");
        continue;
      }
    } else if (cmd == "snapshot") {
      c.op = HostScriptOp::SNAPSHOT;
      c.text = std::string(Rest(line));
      if (c.text.empty()) {
        fail("snapshot needs a file path");
        continue;
      }
    } else if (cmd == "signal") {
      const std::string which = nargs == 1 ? std::string(words[1]) : std::string();
      if (which != "term" && which != "int") {
        fail("signal needs term or int");
        continue;
      }
      c.op = HostScriptOp::SIGNAL;
      c.a = which == "term" ? SIGTERM : SIGINT;
    } else if (cmd == "quit") {
      if (nargs != 0) {
        fail("quit takes nothing after it");
        continue;
      }
      c.op = HostScriptOp::QUIT;
    } else {
      fail("unknown command \"" + cmd + "\"");
      continue;
    }
    out.push_back(std::move(c));
    if (nl == text.size()) break;
  }
  return ok;
}

bool Host_Script_Load_Text(std::string_view text, const std::string& name, std::string& errors) {
  std::vector<HostScriptCmd> cmds;
  if (!Host_Script_Parse(text, name, cmds, errors)) return false;
  Host_Script_Reset();
  g_script.cmds = std::move(cmds);
  g_script.loaded = true;
  hostwin::g_feed_proc = Feed_Hook;
  return true;
}

bool Host_Script_Load_File(const std::string& path, std::string& errors) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    errors += path + ": cannot read the script: " + std::strerror(errno) + "\n";
    return false;
  }
  std::ostringstream ss;
  ss << f.rdbuf();
  std::string text = ss.str();
  if (text.size() > (size_t(64) << 20)) {
    errors += path + ": the script is larger than 64 MB\n";
    return false;
  }
  return Host_Script_Load_Text(text, path, errors);
}

void Host_Script_Reset() {
  const bool quit_at_end = g_script.quit_at_end;
  g_script = Script_State{};
  g_script.quit_at_end = quit_at_end;
  for (auto& q : g_answers) q.clear();
  hostwin::g_feed_proc = nullptr;
}

bool Host_Script_Active() { return g_script.loaded && !g_script.finished; }

void Host_Script_Set_Quit_At_End(bool quit) { g_script.quit_at_end = quit; }

bool Host_Script_Waiting(uint32& remaining_ms) {
  if (!Host_Script_Active() || g_script.pc >= g_script.cmds.size()) return false;
  if (g_script.cmds[g_script.pc].op != HostScriptOp::WAIT || !g_script.waiting) return false;
  const uint32 elapsed = Host_Clock_Millis() - g_script.wait_start;
  if (elapsed >= g_script.wait_ms) return false;
  remaining_ms = g_script.wait_ms - elapsed;
  return true;
}

bool Host_Script_Feed() {
  if (!Host_Script_Active()) return false;
  if (Step(false)) return true;
  // Held by a wait: an empty poll lets a tick pass on the manual clock, so
  // loops that never sleep (mouse tracking) still see time go by.
  uint32 remaining = 0;
  if (Host_Clock_Is_Manual() && Host_Script_Waiting(remaining)) {
    Host_Clock_Advance_Millis(std::min(remaining, kPollStepMs));
    return true;
  }
  return false;
}

bool Host_Script_Take_Answer(HostAnswerKind kind, std::string& out) {
  if (kind < HOST_ANSWER_OPEN || kind > HOST_ANSWER_COLOR) return false;
  if (g_answers[kind].empty()) Step(true);
  if (g_answers[kind].empty()) return false;
  out = g_answers[kind].front();
  g_answers[kind].pop_front();
  return true;
}

void Host_Script_Push_Answer(HostAnswerKind kind, const std::string& value) {
  if (kind >= HOST_ANSWER_OPEN && kind <= HOST_ANSWER_COLOR) g_answers[kind].push_back(value);
}

// --- PNG ---
// Through the program's one PNG binding (HostCodecs).

bool Host_Write_PNG(const std::string& path, const uint32* bgra, int32 width, int32 height, std::string& err) {
  if (!bgra || width <= 0 || height <= 0 || width > 16384 || height > 16384) {
    err = "nothing to write (empty or oversized picture)";
    return false;
  }
  // Bytes blue, green, red, unused, as the encoder reads them.
  std::vector<uint8> px(size_t(width) * 4 * size_t(height));
  for (size_t i = 0, n = size_t(width) * size_t(height); i < n; ++i) {
    const uint32 p = bgra[i];
    px[4 * i] = uint8(p);
    px[4 * i + 1] = uint8(p >> 8);
    px[4 * i + 2] = uint8(p >> 16);
    px[4 * i + 3] = 0xFF;
  }
  std::vector<uint8> png;
  if (Host_Encode_PNG(HostImageSource{px.data(), width, height, size_t(width) * 4, 72}, false, png) != HC_OK) {
    err = "the picture could not be encoded";
    return false;
  }
  // A temporary file in the same folder, renamed into place when complete.
  const size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  std::string tmpl = dir + "/.velmor-png-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back(0);
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    err = "cannot create a file in " + dir + ": " + std::strerror(errno);
    return false;
  }
  FILE* f = fdopen(fd, "wb");
  if (!f) {
    close(fd);
    unlink(name.data());
    err = std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  ok = (std::fflush(f) == 0) && ok;
  ok = (fsync(fileno(f)) == 0 || errno == EINVAL) && ok;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) {
    unlink(name.data());
    err = "write failed";
    return false;
  }
  if (std::rename(name.data(), path.c_str()) != 0) {
    err = "cannot rename into " + path + ": " + std::strerror(errno);
    unlink(name.data());
    return false;
  }
  return true;
}

bool Host_Snapshot_Window(HWND hwnd, const std::string& path, std::string& err) {
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  if (!Host_Screen_Compose(hwnd, px, w, h)) {
    err = "no such window";
    return false;
  }
  return Host_Write_PNG(path, px.data(), w, h, err);
}

bool Host_Read_PNG(const std::string& path, std::vector<uint32>& bgra, int32& width, int32& height, std::string& err) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    err = std::strerror(errno);
    return false;
  }
  const std::vector<uint8> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  HostImageBuffer buf;
  buf.max_pixels = 8192ull * 8192;
  const int r = Host_Decode_PNG(bytes.data(), bytes.size(), Host_Buffer_Sink(buf));
  if (r != HC_OK) {
    err = r == HC_NOT_FORMAT ? "not a PNG file" : r == HC_TOO_LARGE ? "picture too large" : "damaged PNG file";
    return false;
  }
  width = buf.info.width;
  height = buf.info.height;
  bgra.resize(size_t(width) * size_t(height));
  for (size_t i = 0; i < bgra.size(); ++i) {
    const uint8* p = &buf.pixels[4 * i];
    bgra[i] = uint32(p[0]) | (uint32(p[1]) << 8) | (uint32(p[2]) << 16);
  }
  return true;
}
