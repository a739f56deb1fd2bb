#include "app/window_palette.h"

#include <QColor>

QPalette WindowPalette()
{
    const QColor face(0xf0, 0xf0, 0xf0);
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    const QColor grayText(0x6d, 0x6d, 0x6d);

    QPalette palette;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? grayText : black;
        palette.setColor(group, QPalette::Window, face);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Button, face);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Base, disabled ? face : white);
        palette.setColor(group, QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::PlaceholderText, grayText);
        palette.setColor(group, QPalette::BrightText, white);
        // The 3-D edges: highlight, light, shadow and dark shadow.
        palette.setColor(group, QPalette::Light, white);
        palette.setColor(group, QPalette::Midlight, QColor(0xe3, 0xe3, 0xe3));
        palette.setColor(group, QPalette::Mid, QColor(0xb8, 0xb8, 0xb8));
        palette.setColor(group, QPalette::Dark, QColor(0xa0, 0xa0, 0xa0));
        palette.setColor(group, QPalette::Shadow, QColor(0x69, 0x69, 0x69));
        palette.setColor(group, QPalette::Highlight, disabled ? grayText : QColor(0x00, 0x78, 0xd7));
        palette.setColor(group, QPalette::HighlightedText, white);
        palette.setColor(group, QPalette::Link, QColor(0x00, 0x66, 0xcc));
        palette.setColor(group, QPalette::LinkVisited, QColor(0x80, 0x00, 0x80));
        palette.setColor(group, QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
        palette.setColor(group, QPalette::ToolTipText, black);
    }
    return palette;
}
