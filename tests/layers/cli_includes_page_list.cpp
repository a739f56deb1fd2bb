// Must not build: the page list belongs to the window, not to the command line.
#include "pages/page_list.h"
