#include "builder/fixed/page_spreads.h"

QList<PageSpread> PageSpreads(const QList<QSize>& displayedSizes, ReadingDirection direction)
{
    const bool leftToRight = direction == ReadingDirection::LeftToRight;
    const PageSpread recto = leftToRight ? PageSpread::Right : PageSpread::Left;
    const PageSpread verso = leftToRight ? PageSpread::Left : PageSpread::Right;
    QList<PageSpread> spreads;
    spreads.reserve(displayedSizes.size());
    PageSpread next = recto;
    for (const QSize& size : displayedSizes) {
        if (size.width() > size.height()) {
            spreads.append(PageSpread::Center);
            next = verso;
        } else {
            spreads.append(next);
            next = next == recto ? verso : recto;
        }
    }
    return spreads;
}
