#pragma once

// Puts every test program into the same surroundings, before Qt starts: the offscreen window system
// (unless the caller chose another) and the en_US.UTF-8 locale with LC_ALL and the other locale
// variables unset, so that the language tag and the dates in the books do not depend on the machine.
void PrepareTestEnvironment();
