#pragma once

#include <QSize>
#include <QString>

#include <optional>
#include <span>

// A reader's screen that a book's pages can be fitted to.
struct TargetScreen {
    // As a person knows it: "Kindle Paperwhite".
    QString name;
    // The short name the command line takes: "kindle-paperwhite".
    QString key;
    // In pixels, held upright (portrait): narrower than high for every named screen.
    QSize size;
    // Whether the screen shows grey only (e-ink without colour).
    bool grey = false;
};

// The named screens, in the order they are listed to a person.
std::span<const TargetScreen> TargetScreens();

// The named screen whose key or name is `text`, letters compared without case; nothing when none is.
std::optional<TargetScreen> FindTargetScreen(const QString& text);

// The bounds of a screen size a person types, for each side, in pixels.
inline constexpr int kMinScreenSide = 100;
inline constexpr int kMaxScreenSide = 10000;

// A screen of the size `text` gives as "WIDTHxHEIGHT" ("1236x1648"; an "X" serves too, spaces around the
// numbers are allowed), each side from kMinScreenSide to kMaxScreenSide; nothing for any other text. The
// screen is named by its size ("1236 x 1648") and taken for a colour screen.
std::optional<TargetScreen> ParseScreenSize(const QString& text);
