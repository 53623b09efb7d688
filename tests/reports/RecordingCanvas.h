#pragma once
// A canvas that records every mark, with the base's fixed metrics: a
// character is half the font's height wide, a line the height high.

#include "reports/ReportCanvas.h"

#include <string>
#include <vector>

namespace velt::test {

struct DrawnText {
    int x, y;
    std::string text;
    CanvasFont font;
    int page;
};

struct DrawnLine {
    int x1, y1, x2, y2, pen;
    int page;
};

class RecordingCanvas : public ReportCanvas {
public:
    void FillRect(const CanvasRect& rect, CanvasColour colour) override {
        if (colour == kCanvasBlack) fills.push_back(rect);
    }
    void DrawText(int x, int y, std::string_view text) override {
        texts.push_back({x, y, std::string(text), Font(), pages});
    }
    void DrawLine(int x1, int y1, int x2, int y2, int pen) override {
        lines.push_back({x1, y1, x2, y2, pen, pages});
    }
    void DrawFrame(const CanvasRect& rect, int pen) override {
        frames.push_back(rect);
        framePens.push_back(pen);
    }
    void NewPage() override { ++pages; }

    // The texts drawn, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const DrawnText& t : texts) out.push_back(t.text);
        return out;
    }

    std::vector<DrawnText> texts;
    std::vector<DrawnLine> lines;
    std::vector<CanvasRect> frames;
    std::vector<int> framePens;
    std::vector<CanvasRect> fills;
    int pages = 0;
};

}  // namespace velt::test
