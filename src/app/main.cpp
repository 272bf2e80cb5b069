// The program's entry: everything happens in the main module.
#include "app/Velmor4.h"

int main(int argc, char** argv) { return Velmor4_Main(argc, argv); }
