// Must not build: the book's core has no widgets.
#include <QtWidgets/QWidget>
