#pragma once

#include <QImage>

// The 32 x 32 button icons with alpha, the hint icon and the application icon. Every button icon
// is a coloured rounded tile with a white sign, so the set reads as one family on the dark
// banner and on the light panel of the choosers.

QImage IconAdd();
QImage IconRemove();
QImage IconRemoveAll();
QImage IconConvert();
QImage IconHome();
// 16 bits per channel.
QImage IconCover();
QImage IconFolder();
QImage IconHint();
QImage AppIcon(int size);
