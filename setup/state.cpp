#include "state.h"

int PortChoice = 1;
int LumivaneChoice = 1;
int CopyErrorFlag = 0;
