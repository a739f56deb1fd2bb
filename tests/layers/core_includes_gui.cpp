// Must not build: the archive writer is headless, without Qt Gui.
#include <QtGui/QImage>
