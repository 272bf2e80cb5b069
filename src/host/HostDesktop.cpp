#include "host/HostDesktop.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "host/HostCodecs.h"
#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "host/HostLaunch.h"
#include "host/HostUtf.h"

namespace {

const std::vector<std::string> kMimeRefresh = {"update-mime-database"};
const std::vector<std::string> kDesktopRefresh = {"update-desktop-database"};
std::vector<std::string> g_mime_refresh = kMimeRefresh;
std::vector<std::string> g_desktop_refresh = kDesktopRefresh;

// Our own files are small; anything bigger is not ours and gets replaced.
constexpr int64 kMaxOldFile = 1 << 20;

bool Has_Control(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

// Text for a desktop file: no control characters, and well-formed UTF-8
// (both files must be UTF-8, and a path that is not cannot be named in them).
bool Plain_Text(const std::string& s) { return !s.empty() && !Has_Control(s) && Host_Utf8_Valid(s); }

// A value of a desktop entry's string key: the backslash is its only escape
// character that can occur here (control characters are refused earlier).
std::string Desktop_String(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\') out += '\\';
    out += c;
  }
  return out;
}

// One argument of an Exec line: always quoted, with the characters that are
// special inside quotes escaped and "%" doubled (it starts field codes).
std::string Exec_Arg(const std::string& arg) {
  std::string q = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') q += '\\';
    if (c == '%') q += '%';
    q += c;
  }
  q += '"';
  return q;
}

std::string Xml_Text(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

bool Valid_Mime_Type(const std::string& t) {
  const size_t slash = t.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == t.size()) return false;
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '+' ||
                    (c == '/' && i == slash);
    if (!ok) return false;
  }
  return true;
}

// ".CD4" gives "*.cd4": shared-mime-info matches a lower-case pattern in
// either case, so files named "x.cd4" and "X.CD4" both get the type.
bool Glob_Of(const std::string& suffix, std::string& glob) {
  if (suffix.size() < 2 || suffix[0] != '.') return false;
  glob = "*.";
  for (size_t i = 1; i < suffix.size(); ++i) {
    char c = suffix[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-')) return false;
    glob += c;
  }
  return true;
}

bool Read_Small_File(const std::string& path, std::string& out) {
  const int fd = Host_Open(path.c_str(), HOST_READ, HOST_OPEN_EXISTING);
  if (fd == HOST_NO_FD) return false;
  const int64 size = Host_Size(fd);
  bool ok = size >= 0 && size <= kMaxOldFile;
  if (ok) {
    out.resize(size_t(size));
    ok = Host_Read(fd, out.data(), out.size()) == size;
  }
  Host_Close(fd);
  return ok;
}

// Writes text to dir/name unless the file already holds exactly that text.
// written tells whether the file was replaced.
bool Update_File(const std::string& dir, const std::string& name, const std::string& text, bool& written) {
  written = false;
  const std::string path = dir + "/" + name;
  std::string old;
  if (Read_Small_File(path, old) && old == text) return true;
  if (!Host_Make_Dirs(dir.c_str())) return false;
  if (!Host_Replace_File(path.c_str(), text.data(), text.size())) return false;
  written = true;
  return true;
}

bool Theme_Size(int32 size) {
  for (int32 s : HOST_ICON_SIZES)
    if (s == size) return true;
  return false;
}

// A PNG file whose header says it is size x size pixels (the theme folder
// promises that size to the desktop).
bool Png_Of_Size(const std::vector<uint8>& png, int32 size) {
  if (png.size() < 24 || !Host_Is_PNG(png.data(), png.size()) || std::memcmp(png.data() + 12, "IHDR", 4) != 0)
    return false;
  auto be32 = [&](size_t at) {
    return (uint32(png[at]) << 24) | (uint32(png[at + 1]) << 16) | (uint32(png[at + 2]) << 8) | uint32(png[at + 3]);
  };
  return be32(16) == uint32(size) && be32(20) == uint32(size);
}

void Refresh(const std::vector<std::string>& command, const std::string& dir) {
  if (command.empty()) return;
  std::vector<std::string> argv = command;
  argv.push_back(dir);
  // Started, not waited for (the tool takes longer than the start-up should):
  // a missing tool or one that fails only delays the desktop noticing the new
  // files until its next own refresh.
  (void)Host_Spawn(argv, 0);
}

}  // namespace

bool Host_Data_Home(std::string& out) {
  const char* x = std::getenv("XDG_DATA_HOME");
  if (x != nullptr && x[0] == '/') {
    std::string v = x;
    while (v.size() > 1 && v.back() == '/') v.pop_back();
    out = v;
    return true;
  }
  std::string home;
  if (!Host_Home_Dir(home)) return false;
  out = (home == "/" ? std::string() : home) + "/.local/share";
  return true;
}

bool Host_Program_File(std::string& out) {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0) return false;
    if (size_t(n) < buf.size()) {
      out.assign(buf.data(), size_t(n));
      // A program file replaced while running reads "<path> (deleted)":
      // no path to hand to the desktop then.
      return out[0] == '/' && Host_Is_File(out.c_str());
    }
    if (buf.size() >= (1u << 16)) return false;
    buf.resize(buf.size() * 2);
  }
}

std::string Host_Mime_Subtype(const std::string& name) {
  std::string out = "x-";
  bool dash = false;
  for (char c : name) {
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      if (dash && out.size() > 2) out += '-';
      dash = false;
      out += c;
    } else {
      dash = true;
    }
  }
  return out;
}

bool Host_Desktop_Entry_Text(const HostDesktopApp& app, std::string& text) {
  if (!Plain_Text(app.name) || !Plain_Text(app.exec_path) || app.exec_path[0] != '/') return false;
  if (!app.icons.empty() && !Plain_Text(app.id)) return false;
  uint8 all = 0;
  std::string mimes;
  for (const HostFileType& t : app.types) {
    if (!Valid_Mime_Type(t.mime_type)) return false;
    all = uint8(all | t.commands);
    mimes += t.mime_type + ";";
  }
  const std::string exe = Exec_Arg(app.exec_path);
  const bool print = (all & HOST_ASSOC_PRINT) != 0;
  text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + Desktop_String(app.name) + "\n";
  // The file is passed only when some type opens with it; a type that just
  // starts the program is told apart by the program itself.
  text += "Exec=" + Desktop_String(exe) + ((all & HOST_ASSOC_OPEN_FILE) != 0 ? " %f" : "") + "\n";
  if (!app.icons.empty()) text += "Icon=" + Desktop_String(app.id) + "\n";
  text += "Terminal=false\n";
  text += "Categories=Graphics;\n";
  if (!mimes.empty()) text += "MimeType=" + mimes + "\n";
  if (print) {
    text += "Actions=print;\n";
    text += "\n[Desktop Action print]\n";
    text += "Name=Print\n";
    text += "Exec=" + Desktop_String(exe) + " /p %f\n";
  }
  return true;
}

bool Host_Mime_Package_Text(const HostDesktopApp& app, std::string& text) {
  text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  text += "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const HostFileType& t : app.types) {
    std::string glob;
    if (!Valid_Mime_Type(t.mime_type) || !Plain_Text(t.comment) || !Glob_Of(t.suffix, glob)) return false;
    text += "  <mime-type type=\"" + t.mime_type + "\">\n";
    text += "    <comment>" + Xml_Text(t.comment) + "</comment>\n";
    text += "    <glob pattern=\"" + glob + "\"/>\n";
    text += "  </mime-type>\n";
  }
  text += "</mime-info>\n";
  return true;
}

bool Host_Desktop_Register(const HostDesktopApp& app, HostDesktopReport* report) {
  HostDesktopReport local;
  HostDesktopReport& r = report != nullptr ? *report : local;
  r = HostDesktopReport{};
  std::string data, desktop_text, mime_text;
  if (!Host_Data_Home(data) || app.id.empty() || app.id.find('/') != std::string::npos ||
      !Host_Desktop_Entry_Text(app, desktop_text) || !Host_Mime_Package_Text(app, mime_text)) {
    r.desktop_failed = r.mime_failed = true;
    return false;
  }
  // The types first: a desktop entry naming types the desktop does not know
  // yet is harmless, but refreshing in this order gets both right at once.
  const std::string mime_dir = data + "/mime";
  r.mime_failed = !Update_File(mime_dir + "/packages", app.id + ".xml", mime_text, r.mime_written);
  if (r.mime_written) Refresh(g_mime_refresh, mime_dir);

  // The icons, each at its size in the hicolor theme, which desktops search
  // without further registration.
  for (const HostDesktopIcon& icon : app.icons) {
    if (!Theme_Size(icon.size) || !Png_Of_Size(icon.png, icon.size)) {
      r.icons_failed = true;
      continue;
    }
    const std::string size = std::to_string(icon.size);
    const std::string dir = data + "/icons/hicolor/" + size + "x" + size + "/apps";
    bool written = false;
    if (!Update_File(dir, app.id + ".png", std::string(icon.png.begin(), icon.png.end()), written))
      r.icons_failed = true;
    r.icons_written = r.icons_written || written;
  }

  const std::string apps_dir = data + "/applications";
  r.desktop_failed = !Update_File(apps_dir, app.id + ".desktop", desktop_text, r.desktop_written);
  if (r.desktop_written) Refresh(g_desktop_refresh, apps_dir);
  return !r.mime_failed && !r.desktop_failed && !r.icons_failed;
}

void Host_Desktop_Set_Refresh_Commands(const std::vector<std::string>& mime,
                                       const std::vector<std::string>& desktop) {
  g_mime_refresh = mime;
  g_desktop_refresh = desktop;
}

void Host_Desktop_Reset_Refresh_Commands() {
  g_mime_refresh = kMimeRefresh;
  g_desktop_refresh = kDesktopRefresh;
}
