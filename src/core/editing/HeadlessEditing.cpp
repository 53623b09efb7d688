#include "editing/HeadlessEditing.h"

#include "editing/TEdycja.h"

#include <algorithm>

namespace velt {

HeadlessSheet::HeadlessSheet(HeadlessEditor& e) : editor(e), root(e.controls.MakeRoot({0, 0, 800, 600})) {
    editor.pages.push_back(this);
}

HeadlessSheet::~HeadlessSheet() {
    // As a tab row does, the page to the right becomes current when a page
    // goes, and the window tells the session.
    const auto at = std::find(editor.pages.begin(), editor.pages.end(), this) - editor.pages.begin();
    std::erase(editor.pages, this);
    if (editor.session && !editor.pages.empty())
        editor.session->Activate(std::min<int>(static_cast<int>(at), static_cast<int>(editor.pages.size()) - 1));
    if (editor.shown == this) editor.shown = nullptr;
}

ControlFactory& HeadlessSheet::Controls() { return editor.controls; }

}  // namespace velt
