// Drawing shared by the stamps and the border pieces: art that the program
// lays down through a mask of its non-white pixels.
//
// Such art is drawn with cairo onto a transparent surface and then cut on
// white (`Cut_On_White`): a pixel the shapes cover by half or more takes
// their own colour, opaque; any other pixel is pure white, which the mask
// leaves out. So an edge never carries a pale blend with the white around
// it, and a stamp laid on dark paint shows no light fringe. Pure white
// inside the art would be a hole, so the art's own whites are 254.
#pragma once

#include <cairo.h>

#include <functional>
#include <utility>
#include <vector>

#include "ArtGen.h"

// The lightest colour the art itself may use.
constexpr uint8_t kArtWhite = 254;

// The white rule: the surface's pixels of alpha 128 and more keep their
// colour (straight, opaque), pure white among them becomes 254; the others
// become pure white. Alpha is 255 everywhere.
a_art_image Cut_On_White(const a_surface& s);

// Colours moved toward white or black by t (0 .. 1), through OKLab.
a_rgb Lighter(const a_rgb& c, double t);
a_rgb Darker(const a_rgb& c, double t);

// A path given as a function that appends it to cr (sub-paths allowed,
// filled by the non-zero rule).
using a_path_fn = std::function<void(cairo_t*)>;

// A solid sticker-like shape: the union of the path's parts filled with a
// lit gradient of c (light at the upper left, dark at the lower right), a
// glossy highlight across its top (gloss is the highlight's opacity, 0 for
// none) and one outline of width `line` in a dark tone of c round the whole
// union. The outline lies half outside the path.
void Solid(cairo_t* cr, const a_path_fn& path, const a_rgb& c, double line, double gloss = 0.35);
// The same with the outline colour given.
void Solid_Outlined(cairo_t* cr, const a_path_fn& path, const a_rgb& c, const a_rgb& outline, double line,
                    double gloss = 0.35);
// A flat fill of the path with an outline (line 0: none).
void Flat(cairo_t* cr, const a_path_fn& path, const a_rgb& fill, const a_rgb& outline, double line);
// Strokes the path in one colour, round joins.
void Stroke(cairo_t* cr, const a_path_fn& path, const a_rgb& c, double width);
// Runs draw with the path as the clip (and no path).
void Clipped(cairo_t* cr, const a_path_fn& path, const std::function<void()>& draw);
// Strokes the path as a tube of colour c, `width` wide, inside an outline
// `line` wide on each side; round caps and joins.
void Tube(cairo_t* cr, const a_path_fn& path, const a_rgb& c, double width, double line);

// A table row's head, GROUP I STYLE "NAME", as the key (family, GROUP, I, 0).
bool Parse_Row_Key(const a_table_row& r, int16_t family, a_keyset& key, std::string& style, std::string& name,
                   std::string& err);
// A table row's colors= option over a style's own colours: in order,
// no more than the style has. False, with art/FILE:LINE in err, when not.
bool Parse_Colours(const a_table_row& r, const std::string& style, const std::vector<const char*>& defaults,
                   std::vector<a_rgb>& cols, std::string& err);

// A frame of film: a sky of colour over a hill, and a sun `sun` of the way
// across (0: none), clipped to the frame.
void Film_Scene(cairo_t* cr, double x, double y, double w, double h, const a_rgb& sky, const a_rgb& hill, double sun);

// Paths (appended as new sub-paths). Angles in degrees, clockwise on
// screen from straight up for `turn`.
void Circle_Path(cairo_t* cr, double cx, double cy, double r);
void Ellipse_Path(cairo_t* cr, double cx, double cy, double rx, double ry, double turn = 0);
// A star of n points, outer radius R and inner radius r, the first point
// turned by `turn` from straight up; corners rounded by `round`.
void Star_Path(cairo_t* cr, double cx, double cy, double R, double r, int n, double turn = 0, double round = 0);
// A heart `w` wide, its box centred on (cx, cy); about 0.9 w high.
void Heart_Path(cairo_t* cr, double cx, double cy, double w);
// A closed polygon, its corners rounded by `round` (0: sharp).
void Polygon_Path(cairo_t* cr, const std::vector<std::pair<double, double>>& pts, double round = 0);
// A rectangle with rounded corners.
void Round_Rect_Path(cairo_t* cr, double x, double y, double w, double h, double r);
// A leaf or petal: a pointed lens from (x0, y0) to (x1, y1), `width` across.
void Lens_Path(cairo_t* cr, double x0, double y0, double x1, double y1, double width);
