#include "common/MessageLayout.h"

#include "common/Prompts.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt {

MessageKind QuestionKind() {
    return {"Pytanie", MessageIcon::Question, {{"Tak", kYes}, {"Nie", kNo}}};
}

MessageKind QuestionDefaultKind(int defaultResult) {
    MessageKind k = QuestionKind();
    if (defaultResult == kYes) k.buttons[0].caption.insert(0, "*");
    if (defaultResult == kNo) k.buttons[1].caption.insert(0, "*");
    return k;
}

MessageKind WarningKind() {
    return {"Ostrzeżenie!"_cp, MessageIcon::Exclamation, {{"Tak", kYes}, {"Nie", kNo}, {"Zrezygnuj", kCancel}}};
}

MessageKind ErrorKind() { return {"Błąd!"_cp, MessageIcon::Error, {{"Akceptacja", kOk}}}; }

MessageKind MessageKindInfo() { return {"Komunikat", MessageIcon::Information, {{"Akceptacja", kOk}}}; }

MessageKind NoticeKind() { return {"Komunikat", MessageIcon::Exclamation, {{"Akceptacja", kOk}}}; }

MessageGeometry LayoutMessage(const TextMeasurer& measurer, const std::string& text, int screenWidth,
                              int labelLeft, int labelTop, const std::vector<MessageButton>& buttons) {
    int right = 0, bottom = 0;
    measurer.Measure(text, screenWidth / 2, right, bottom);
    const int n = static_cast<int>(buttons.size());
    MessageGeometry g;
    g.clientWidth = std::max(right + labelLeft + 10, n * 85 + 10);
    g.clientHeight = std::max(bottom, 32) + labelTop + 44;
    for (int i = 1; i <= n; ++i) {
        PlacedButton b;
        b.caption = buttons[static_cast<std::size_t>(i - 1)].caption;
        b.result = buttons[static_cast<std::size_t>(i - 1)].result;
        if (!b.caption.empty() && b.caption[0] == '*') {
            b.caption.erase(0, 1);
            b.isDefault = true;
        }
        b.top = g.clientHeight - 34;
        b.left = ((g.clientWidth + 10 - n * 85) / 2) + i * 85 - 85;
        g.buttons.push_back(std::move(b));
    }
    return g;
}

}  // namespace velt
