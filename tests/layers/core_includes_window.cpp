// Must not build: the core never calls the window.
#include "app/form1.h"
