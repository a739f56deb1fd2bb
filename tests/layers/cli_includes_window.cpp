// Must not build: the command line never uses the window's choosers.
#include "app/choosers.h"
