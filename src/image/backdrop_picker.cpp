#include "image/backdrop_picker.h"

#include <algorithm>

uint8_t BackdropPicker::sanitised(int storedBackground)
{
    return (storedBackground < 0 || storedBackground >= backdropCount) ? 0 : uint8_t(storedBackground);
}

void BackdropPicker::open(int currentBackground)
{
    background = sanitised(currentBackground);
    savedBackground = background;
    setPosition(background / 4);
}

void BackdropPicker::setPosition(int position)
{
    firstVisible = 4 * std::clamp(position, 0, lastPosition);
}

void BackdropPicker::scroll(ScrollRequest request, int thumbPosition)
{
    const int position = scrollPosition();
    switch (request) {
    case ScrollRequest::LineUp: setPosition(position - 1); break;
    case ScrollRequest::LineDown: setPosition(position + 1); break;
    case ScrollRequest::PageUp: setPosition(position - 2); break;
    case ScrollRequest::PageDown: setPosition(position + 2); break;
    case ScrollRequest::Top: setPosition(0); break;
    case ScrollRequest::Bottom: setPosition(lastPosition); break;
    case ScrollRequest::ThumbPosition:
    case ScrollRequest::ThumbTrack: setPosition(thumbPosition); break;
    case ScrollRequest::EndScroll: break;
    }
}

void BackdropPicker::clickBox(int box)
{
    if (box >= 0 && box < boxCount)
        background = uint8_t(backdropInBox(box));
}
