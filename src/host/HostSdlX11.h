// The X connection under SDL's windows, looked at without SDL reading it.
#pragma once

struct SDL_Window;

// 1 when input waits for SDL on the X connection of win (bytes to read, or
// events Xlib has read already), 0 when none does, -1 when the window is not
// on X11 (SDL must then look itself). other_fd (or -1), looked at in the same
// poll, sets other_ready. A poll, no read.
int Host_Sdl_X11_Pending(SDL_Window* win, int other_fd, bool& other_ready);
