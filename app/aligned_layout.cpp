#include "app/aligned_layout.h"

#include <QRect>
#include <QVariant>
#include <QWidget>

#include <array>
#include <vector>

namespace {

constexpr char kAlignProperty[] = "tamborilAlign";

// Whether `control` goes before `placed` among the children of one alignment.
bool GoesBefore(TAlign align, const QRect& control, const QRect& placed)
{
    switch (align) {
    case TAlign::alTop:
        return control.top() < placed.top();
    case TAlign::alBottom:
        return control.top() + control.height() >= placed.top() + placed.height();
    case TAlign::alLeft:
        return control.left() < placed.left();
    case TAlign::alRight:
        return control.left() + control.width() >= placed.left() + placed.width();
    case TAlign::alNone:
    case TAlign::alClient:
        break;
    }
    return false;
}

// The children of `parent` with this alignment, in the order they are placed.
std::vector<QWidget*> ChildrenToPlace(QWidget& parent, TAlign align)
{
    std::vector<QWidget*> ordered;
    for (QWidget* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isHidden() || Align(*child) != align) {
            continue;
        }
        auto place = ordered.begin();
        while (place != ordered.end() && !GoesBefore(align, child->geometry(), (*place)->geometry())) {
            ++place;
        }
        ordered.insert(place, child);
    }
    return ordered;
}

}  // namespace

void SetAlign(QWidget& control, TAlign align)
{
    control.setProperty(kAlignProperty, static_cast<int>(align));
}

TAlign Align(const QWidget& control)
{
    const QVariant align = control.property(kAlignProperty);
    return align.isValid() ? static_cast<TAlign>(align.toInt()) : TAlign::alNone;
}

void AlignControls(QWidget& parent)
{
    // The space still free, as left, top, right and bottom edges; right and bottom exclusive.
    const QRect contents = parent.contentsRect();
    int left = contents.left();
    int top = contents.top();
    int right = left + contents.width();
    int bottom = top + contents.height();

    std::vector<QWidget*> placed;
    constexpr std::array kOrder = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    for (const TAlign align : kOrder) {
        for (QWidget* child : ChildrenToPlace(parent, align)) {
            const int width = child->width();
            const int height = child->height();
            switch (align) {
            case TAlign::alTop:
                child->setGeometry(left, top, right - left, height);
                top += height;
                break;
            case TAlign::alBottom:
                child->setGeometry(left, bottom - height, right - left, height);
                bottom -= height;
                break;
            case TAlign::alLeft:
                child->setGeometry(left, top, width, bottom - top);
                left += width;
                break;
            case TAlign::alRight:
                child->setGeometry(right - width, top, width, bottom - top);
                right -= width;
                break;
            case TAlign::alClient:
                child->setGeometry(left, top, right - left, bottom - top);
                break;
            case TAlign::alNone:
                break;
            }
            placed.push_back(child);
        }
    }
    for (QWidget* child : placed) {
        AlignControls(*child);
    }
}
