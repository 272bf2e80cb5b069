#include "doc/VoskRecover.h"

#include <cstring>

#include "doc/ParsDISC.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"

namespace {

std::string Folder_Of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Name_Of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string Recovered_Name(const std::string& doc_name) {
  std::string stem = doc_name;
  const size_t dot = stem.find_last_of('.');
  if (dot != std::string::npos && dot > 0) stem.erase(dot);
  if (stem.empty()) stem = "Untitled";
  return stem + " (recovered).CD4";
}

bool8 Recover_Open_Document(std::string& written) {
  written.clear();
  if (!g_doc.doc_open || !g_doc.doc_changed) return false;
  const std::string doc_path(g_doc.doc_path.name, strnlen(g_doc.doc_path.name, sizeof g_doc.doc_path.name));
  // A document never saved has no folder of its own: the documents folder.
  std::string folder = g_doc.doc_new ? std::string() : Folder_Of(doc_path);
  if (folder.empty()) folder.assign(boot_directory, strnlen(boot_directory, sizeof boot_directory));
  if (folder.empty()) return false;
  FSSpec target{};
  if (!Path_From_Text(target, (folder + "/" + Recovered_Name(Name_Of(doc_path))).c_str())) return false;
  // No progress window or alert while the program is stopping.
  const a_controller controller = gs.controller;
  gs.controller = GHOST;
  const a_disc_write_result result = Write_DISC_New(target, written);
  gs.controller = controller;
  if (result != DISC_WRITE_OK) written.clear();
  return result == DISC_WRITE_OK;
}
