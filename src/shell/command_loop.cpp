#include "shell/shell.h"

int RunUcci() { return 0; }
