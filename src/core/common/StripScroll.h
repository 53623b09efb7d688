#pragma once
// A row of buttons wider than the room it has, moved by two arrows: the
// arrows show only while the row does not fit, the left one moves the row
// 10 pixels right but never past its start, the right one 10 pixels left
// while the row's end still lies beyond the room. Arranging the row again
// puts it back at its start.

namespace velt {

class StripScroll {
public:
    static constexpr int kStep = 10;

    // The row's width and the room's (after a resize or new buttons); the row goes back to its start.
    void Arrange(int rowWidth, int roomWidth) {
        mRow = rowWidth;
        mRoom = roomWidth;
        mOffset = 0;
    }
    bool ArrowsShown() const { return mRoom < mRow; }
    // The left arrow.
    void Left() { mOffset = mOffset + kStep > 0 ? 0 : mOffset + kStep; }
    // The right arrow.
    void Right() {
        if (mOffset + mRow > mRoom) mOffset -= kStep;
    }
    // Where the row's start stands in the room (0 or negative).
    int Offset() const { return mOffset; }

private:
    int mRow = 0;
    int mRoom = 0;
    int mOffset = 0;
};

}  // namespace velt
