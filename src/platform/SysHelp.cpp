#include "platform/SysHelp.h"

#include <cstring>

#include "host/HostFiles.h"
#include "host/HostFolders.h"
#include "host/HostLaunch.h"
#include "platform/VoskErr.h"

namespace {

std::string Name_Text(const FSSpec& path) { return std::string(path.name, strnlen(path.name, sizeof path.name)); }

bool Ends_With_NoCase(const std::string& s, const char* tail) {
  const size_t n = std::strlen(tail);
  if (s.size() <= n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = s[s.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

bool Is_Html(const std::string& s) { return Ends_With_NoCase(s, ".html") || Ends_With_NoCase(s, ".htm"); }

// The book's folder: its name without the suffix (a dot in a folder name
// above it is not a suffix).
std::string Book_Dir(const std::string& book) {
  const size_t slash = book.find_last_of('/');
  const size_t dot = book.find_last_of('.');
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  if (dot == std::string::npos || dot <= name_start) return book;
  return book.substr(0, dot);
}

constexpr int16 kAlertHelpNotShown = 71;  // "Sorry, no program could show the help page ^0. ..."

void Tell_Not_Opened(const std::string& page) {
  Param_Text(CStrSpan(page.c_str(), page.size() + 1), "", "", "");
  OK_Alert(false, kAlertHelpNotShown);
}

void Help_Page_Done(const std::string& page, const HostSpawnStatus& status) {
  if (Host_Open_Failed(status)) Tell_Not_Opened(page);
}

}  // namespace

bool8 Help_Topic_Page(const FSSpec& path, uint16 section, std::string& page) {
  const std::string book = Name_Text(path);
  if (!book.empty() && Is_Html(book) && Host_Is_File(book.c_str())) {
    page = book;
    return true;
  }
  const std::string leaf = std::to_string(section) + ".html";
  if (!book.empty()) {
    const std::string own = Book_Dir(book) + "/" + leaf;
    if (Host_Is_File(own.c_str())) {
      page = own;
      return true;
    }
  }
  std::string prog;
  if (Host_Program_Dir(prog)) {
    const std::string common = (prog == "/" ? std::string() : prog) + "/help/" + leaf;
    if (Host_Is_File(common.c_str())) {
      page = common;
      return true;
    }
  }
  return false;
}

bool8 Help_Book_Exists(const FSSpec& path) {
  const std::string book = Name_Text(path);
  if (book.empty()) return false;
  if (Is_Html(book)) return Host_Is_File(book.c_str());
  return Host_Is_Dir(Book_Dir(book).c_str());
}

bool8 Show_Help_Topic(const FSSpec& path, uint16 section) {
  std::string page;
  if (!Help_Topic_Page(path, section, page)) return false;
  if (!Host_Open_With_Default(page, Help_Page_Done)) Tell_Not_Opened(page);
  return true;
}
