#pragma once

#include <cstdint>

// What the user may ask of the picker's scroll bar.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };

// The state behind the backdrop picker: eight boxes in two rows of four show the
// backdrops from firstVisible on; a scroll step is one row of four. Clicking a box
// chooses at once, Cancel takes the choice back, OK applies it and closing the window
// keeps the choice without applying it. The dialog only draws this and forwards.
class BackdropPicker {
public:
    static constexpr int backdropCount = 60;
    static constexpr int boxCount = 8;
    static constexpr int lastPosition = 13; // (60 - 8) / 4

    uint8_t background = 0;      // the choice, shared with the settings
    uint8_t savedBackground = 0; // the choice when the picker opened
    int firstVisible = 0;        // backdrop in box 0, a multiple of 4 in 0..52

    // A damaged stored number (above 59) falls back to 0.
    static uint8_t sanitised(int storedBackground);

    void open(int currentBackground);
    void scroll(ScrollRequest request, int thumbPosition = 0);
    void clickBox(int box);
    void cancel() { background = savedBackground; }

    int scrollPosition() const { return firstVisible / 4; }
    int backdropInBox(int box) const { return firstVisible + box; }
    // The box showing the chosen backdrop gets a white frame.
    bool isFramed(int box) const { return backdropInBox(box) == background; }

private:
    void setPosition(int position);
};
