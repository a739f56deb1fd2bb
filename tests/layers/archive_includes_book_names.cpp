// The archive packs the list it is given: the names of a kind of book are out of its reach.
#include "builder/epub/epub_names.h"
