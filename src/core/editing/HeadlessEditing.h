#pragma once
// The editing window without a window: pages over headless controls that
// keep what the session showed on them. velt-cli runs its edit session on
// them (the form scripts' commands open sheets there), and the tests drive
// every flow of the editing window through them.

#include "editing/EditorView.h"
#include "forms/HeadlessControls.h"

#include <memory>
#include <string>
#include <vector>

namespace velt {

class TEdycja;

class HeadlessEditor;

struct HeadlessSheet : SheetView {
    HeadlessSheet(HeadlessEditor& editor);
    ~HeadlessSheet() override;
    FormControl& FormParent() override { return *root; }
    ControlFactory& Controls() override;
    void SetCaption(const std::string& c) override { caption = c; }
    int ClientHeight() override { return clientHeight; }
    void SetFormSize(int w, int h) override {
        formWidth = w;
        formHeight = h;
    }
    void ShowErrors(const std::vector<std::string>& m) override { errors = m; }
    void ShowHelp(const std::vector<std::string>& l) override { help = l; }
    void SetPageVisible(bool v) override { visible = v; }

    HeadlessEditor& editor;
    std::unique_ptr<HeadlessControl> root;
    std::string caption;
    int clientHeight = 600;
    int formWidth = 0, formHeight = 0;
    std::vector<std::string> errors, help;
    bool visible = true;
};

class HeadlessEditor : public EditorView {
public:
    void SessionChanged(TEdycja* s) override { session = s; }
    std::unique_ptr<SheetView> AddSheet() override { return std::make_unique<HeadlessSheet>(*this); }
    void ShowSheet(SheetView& s) override { shown = static_cast<HeadlessSheet*>(&s); }
    void ShowWindow() override {
        windowShown = true;
        maximised = false;
    }
    void HideWindow() override { windowShown = false; }
    void MaximiseWindow() override { maximised = true; }
    void KindsChanged() override { ++kindsChanged; }
    void ShowFormMessages(const std::vector<FormMessage>& m) override {
        for (const auto& x : m) messages.push_back(x.text);
    }

    HeadlessControls controls;
    TEdycja* session = nullptr;
    std::vector<HeadlessSheet*> pages;
    HeadlessSheet* shown = nullptr;
    bool windowShown = false, maximised = false;
    int kindsChanged = 0;
    std::vector<std::string> messages;
};

}  // namespace velt
