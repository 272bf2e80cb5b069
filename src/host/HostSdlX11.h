// The X connection under SDL's windows, looked at without SDL reading it.
#pragma once

struct SDL_Window;

// 1 when input waits for SDL on the X connection of win (bytes to read, or
// events Xlib has read already), 0 when none does, -1 when the window is not
// on X11 (SDL must then look itself). other_fd (or -1), looked at in the same
// poll, sets other_ready. A poll, no read.
int Host_Sdl_X11_Pending(SDL_Window* win, int other_fd, bool& other_ready);

// Drives the X server's own pointer through its test extension, as a
// person's mouse would: op 0 moves it to (x, y) of the screen, 1 moves it
// there and presses the left button, 2 moves it there and lets the button
// go. The events come back through the X server to whichever window lies
// under the pointer there. FALSE when win is not on X11 or the server (or
// this system) has no test extension.
bool Host_Sdl_X11_Pointer(SDL_Window* win, int op, int x, int y);
