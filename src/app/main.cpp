#include <cstdio>

#include "platform/SysErr.h"

int main(int, char**) {
  SysErr_Init();
  std::printf("Velmor 4\n");
  return 0;
}
