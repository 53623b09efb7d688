#pragma once
// The links windows without windows: a schema view and a program around it
// that keep what they were told, and long operations run on the spot.

#include "browse/VrCollection.h"
#include "common/Prompts.h"
#include "links/LinkChoice.h"
#include "links/LinkSchema.h"

#include <functional>
#include <string>
#include <vector>

namespace velt::test {

struct OnTheSpot : LongOperations {
    int runs = 0;
    void run_with_progress(const std::string&, const std::function<void()>& work) override {
        ++runs;
        work();
    }
    void run_with_gauge(const std::function<void(const GaugeFunction&)>& work) override {
        work([](std::int64_t, std::int64_t) { return true; });
    }
    bool download_progress(std::int64_t, std::int64_t) override { return true; }
};

struct SchemaView : LinkSchemaView {
    std::string caption;
    std::vector<LinkNode> tree;
    int selected = -1;
    int trees = 0;  // how often the tree was shown afresh
    std::vector<int> changed;
    std::string identifier;
    std::vector<std::string> record;
    bool shown = false;
    LinksAccess access;
    std::vector<ReportItem> popup;
    void SetCaption(const std::string& c) override { caption = c; }
    void ShowTree(const std::vector<LinkNode>& n, int s) override {
        tree = n;
        selected = s;
        ++trees;
    }
    void NodeChanged(int i) override { changed.push_back(i); }
    void SelectNode(int i) override { selected = i; }
    void ShowIdentifier(const std::string& s) override { identifier = s; }
    void ShowRecord(const std::vector<std::string>& l) override { record = l; }
    void ShowWindow() override { shown = true; }
    void CloseWindow() override { shown = false; }
    bool WindowShown() const override { return shown; }
    void ApplyAccess(const LinksAccess& a) override { access = a; }
    void PopUpItems(const std::vector<ReportItem>& items) override { popup = items; }
    // The record lines joined, to look for a text in them.
    std::string Record() const {
        std::string out;
        for (const auto& l : record) out += l + "\n";
        return out;
    }
};

struct SchemaHost : LinkSchemaHost {
    VrCollection* collection = nullptr;
    TEdycja* editing = nullptr;
    std::string directory = "/tmp/";
    std::vector<std::string> calls;
    bool goToFound = true, orderPlaced = true, operationDone = true;
    VrCollection* LocalCollection() override { return collection; }
    void ShowInLocal(std::int64_t n) override { calls.push_back("local " + std::to_string(n)); }
    bool GoTo(const std::string& t) override {
        calls.push_back("goto " + t);
        return goToFound;
    }
    void GoToRecordInIndex(const std::string& r, const std::string& i) override { calls.push_back("record " + r + " in " + i); }
    void FindInIndex(const std::string& i, const std::string& t) override { calls.push_back("find " + t + " in " + i); }
    void ShowPicture(const std::string& p) override { calls.push_back("picture " + p); }
    void OpenFile(const std::string& p) override { calls.push_back("open " + p); }
    void StartProgram(const std::string& p, const std::string& a) override { calls.push_back("program " + p + " " + a); }
    void PrintLabels(const std::string& p) override { calls.push_back("labels " + p); }
    bool PlaceOrder(const std::string& c) override {
        calls.push_back("order " + c);
        return orderPlaced;
    }
    void RunTableReport(const std::string& a) override { calls.push_back("report" + a); }
    bool RunOperation(const std::string& a) override {
        calls.push_back("operation" + a);
        return operationDone;
    }
    void RecordChanged(const std::string& s) override { calls.push_back("changed " + s); }
    TEdycja* Editing() override { return editing; }
    std::string WorkingDirectory() override { return directory; }
};

// The choice window: Run() does what the test's user does.
struct ChoiceView : LinkChoiceView {
    LinkChoiceMode mode = LinkChoiceMode::List;
    bool fetchEnabled = false, convertEnabled = false;
    std::vector<LinkNode> tree;
    int selected = -1;
    std::string identifier;
    std::vector<std::string> record;
    std::vector<StructureNode> components;
    bool open = false, closed = false;
    std::function<void()> user;
    void SetMode(LinkChoiceMode m, bool f, bool c) override {
        mode = m;
        fetchEnabled = f;
        convertEnabled = c;
    }
    void ShowTree(const std::vector<LinkNode>& n, int s) override {
        tree = n;
        selected = s;
    }
    void SelectNode(int i) override { selected = i; }
    void ShowIdentifier(const std::string& s) override { identifier = s; }
    void ShowRecord(const std::vector<std::string>& l) override { record = l; }
    void ShowComponents(const std::vector<StructureNode>& n) override { components = n; }
    void Run() override {
        open = true;
        closed = false;
        if (user) user();
        open = false;
    }
    void Close() override { closed = true; }
};

}  // namespace velt::test
