#include "globals.h"

Folders gFolders;
uint64_t gSlotMemoryLimit = 80u << 20;
bool (*gIoFaultHook)(IoCall call);
void (*gShellOpen)(const char* path);
