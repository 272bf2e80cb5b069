// Finished labels handed to the disc printers that take files rather than
// print jobs: the FlexStick job (a ticket, a preview and a printer file on a
// stick labelled "FlexStix", or in a folder the user picks) and the
// FlexLabel printer file under the documents folder.
//
// The printer file is PJL/PCL3GUI at 300 dpi: the first unit's picture,
// row by row, each row a run-length code of 24-bit colours with the page's
// left margin folded into its first (white) run.
//
// Every file of a job goes through a temporary file renamed into place,
// the ticket last, so a printer never finds a ticket without its files. A
// job that cannot be written whole leaves none of its files and says why
// (alert 15 with the file's name and the system's reason).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/SysIO.h"
#include "platform/Types.h"

// The FlexStick ticket: exactly 24 ASCII bytes, "<024,01,M,NNNN,NNNN,S,V>"
// (M "A" burn and print, "B" burn only, else "P"; NNNN the copies; S the
// speed 1 .. 4 as "L", "M", "H", "D"; V "1" to verify). FALSE for a speed
// out of range (ticket empty).
bool8 Flex_Ticket(bool8 burn, bool8 print, int16 ncopies, int16 speed, bool8 verify, std::string& ticket);
// The ticket of the open document's copies and the printing panel's
// disc-printer settings.
bool8 Flex_Ticket_Now(std::string& ticket);

// A picture for the printer file: 32-bit pixels, bytes blue, green, red,
// alpha, rows stride bytes apart from the top.
struct a_pcl_picture {
  const uint8* pixels;
  int32 width;
  int32 height;
  size_t stride;
};

// The job header.
void PCL_Header(std::vector<uint8>& out);
// The raster: density configuration (density's low byte), the grey setting
// when gray, raster configuration, the picture at (left, top) in dots, the
// end of the raster.
void PCL_Raster(std::vector<uint8>& out, const a_pcl_picture& pic, int32 left, int32 top, int16 density,
                bool8 gray);
// One row's code (the run state starts with left white pixels).
void PCL_Row(std::vector<uint8>& out, const uint8* row, int32 width, int32 left);
// The trailer.
void PCL_Trailer(std::vector<uint8>& out);
// The whole printer file of the open document's first unit, with the
// printing panel's density and grey settings. FALSE (alert given by the
// renderer) when the unit could not be rendered.
bool8 PCL_Document(std::vector<uint8>& out);

// Writes the printer file of the open document to path (through a
// temporary file). FALSE with why (the system's reason) when it could not.
bool8 Flex_Write_PRN(const FSSpec& path, std::string& why);

// The printing panel's one-shot buttons.
void FlexStick_Write_Job();
void FlexLabel_Write_Job();

// Where the FlexStick job goes: the root of the mounted volume labelled
// "FlexStix" (on_stick TRUE), else a folder chosen after asking; FALSE when
// the user chose none.
bool8 Flex_Calc_Folder(std::string& folder, bool8& on_stick);
// The FlexStick job written into folder: the ticket, "flexlabl.jpg" and
// "flexlabl.pcl". FALSE with the failing file's name and the reason; what
// the job had written is removed then.
bool8 Flex_Write_Job_Files(const std::string& folder, std::string& failed_name, std::string& why);
