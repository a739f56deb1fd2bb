#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

// The colours and fonts that every picture shares, so that the pieces read as one design:
// a deep blue frame around light content panels, with amber as the one warm accent.

inline const QColor kBannerTop(0x2F, 0x4A, 0x78);
inline const QColor kBannerTopEdge(0x45, 0x63, 0x96);
// The banner's lowest row, the edge strips and the bottom banner's top row: the window's frame.
inline const QColor kFrame(0x1A, 0x28, 0x43);
inline const QColor kFrameDeep(0x12, 0x1C, 0x31);
inline const QColor kFrameShade(0x0F, 0x17, 0x28);
inline const QColor kAccentAmber(0xFF, 0xC2, 0x47);
inline const QColor kAccentAmberDeep(0xF2, 0x9A, 0x1C);
inline const QColor kInk(0x1F, 0x2D, 0x45);
inline const QColor kMutedOnFrame(0x9D, 0xB1, 0xCF);
inline const QColor kColumn(0xE6, 0xEB, 0xF2);
inline const QColor kFields(0xF5, 0xF7, 0xFA);

inline constexpr int kBannerHeight = 135;
inline constexpr int kBottomHeight = 45;

inline const QString kSansFamily = QStringLiteral("Liberation Sans");

// The colour of row y of every banner piece; it depends on y only, so the pieces join.
QColor BannerColour(int y);

// The colour of row y of every piece of the bottom banner.
QColor BottomColour(int y);

// Linear mix of two colours: t = 0 gives a, t = 1 gives b.
QColor Mix(const QColor& a, const QColor& b, double t);

// A picture whose every row has the colour colourOfRow(y).
QImage RowsPicture(int width, int height, QColor (*colourOfRow)(int));

// A picture of one colour.
QImage FlatPicture(int width, int height, const QColor& colour);

// The font of the given family; throws when the machine lacks the family, so that the art is
// never drawn silently with a stand-in.
QFont ArtFont(const QString& family, int pixelSize, QFont::Weight weight);
