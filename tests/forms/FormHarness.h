#pragma once
// A form read from text and laid out over headless controls for a record,
// with a host that records every event ("SHOW id", "ENTER id", ...) and may
// answer through respond.

#include "forms/ContainerEditors.h"
#include "forms/FieldEditors.h"
#include "forms/FormReader.h"
#include "forms/HeadlessControls.h"
#include "forms/my_editor.h"
#include "text/my_record.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt::test {

inline const char* EventName(int event) {
    static const char* names[] = {"SHOW", "ENTER", "CHANGE", "EXIT", "HELP"};
    return event >= 0 && event <= 4 ? names[event] : "?";
}

struct RecordingHost : FormHost {
    std::vector<std::string> events;
    std::function<std::vector<std::string>(int, my_record&, const std::string&)> respond;
    std::vector<std::string> FieldEvent(int event, my_record& record, const std::string& field) override {
        events.push_back(std::string(EventName(event)) + " " + field);
        return respond ? respond(event, record, field) : std::vector<std::string>{};
    }
    // The events since the last call.
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
};

struct LaidForm {
    FormReadResult read;
    my_record record;
    RecordingHost host;
    HeadlessControls controls;
    std::unique_ptr<HeadlessControl> sheet = controls.MakeRoot();
    std::unique_ptr<FormContext> context;
    std::unique_ptr<my_editor> form;

    explicit LaidForm(const std::string& description, FormSettings settings = {}) {
        read = ReadFormDescription(description, settings.pictureDirectory.empty() ? "/nonexistent-velt/"
                                                                                  : settings.pictureDirectory);
        for (const auto& m : read.messages) ADD_FAILURE() << "reader: " << m.text;
        context = std::make_unique<FormContext>(record, host, controls, settings);
    }
    // Lays the form out; the record's fields are set before.
    LaidForm& Build() {
        form = std::make_unique<my_editor>(*context, *sheet);
        read.root->Build(*form, 0, {}, 0);
        return *this;
    }
    void Destroy() { form.reset(); }

    // The editor of a field id (the first in tree order), or none.
    const my_editor* Editor(const std::string& id) const {
        const my_editor* found = nullptr;
        form->Walk([&](const my_editor& e, int) {
            if (!found && e.FieldId() && *e.FieldId() == id) found = &e;
        });
        return found;
    }
    // The main control of a field id's editor; fails the test when there is none.
    HeadlessControl& Control(const std::string& id) const {
        const my_editor* e = Editor(id);
        if (!e || !e->MainControl()) {
            ADD_FAILURE() << "no editor for " << id;
            static HeadlessControls none;
            static auto dummy = none.MakeRoot();
            return *dummy;
        }
        return const_cast<HeadlessControl&>(static_cast<const HeadlessControl&>(*e->MainControl()));
    }
    template <typename E>
    E* Find() const {
        E* found = nullptr;
        form->Walk([&](const my_editor& e, int) {
            if (!found) found = const_cast<E*>(dynamic_cast<const E*>(&e));
        });
        return found;
    }
    // The field ids of every editor, in tree order.
    std::vector<std::string> Ids() const {
        std::vector<std::string> ids;
        form->Walk([&](const my_editor& e, int) {
            if (e.FieldId()) ids.push_back(*e.FieldId());
        });
        return ids;
    }
    // The control's rectangle on the sheet.
    static PixelRect OnSheet(const FormControl& c) {
        int x = 0, y = 0;
        c.ScreenPosition(x, y);
        return {x, y, c.Geometry().width, c.Geometry().height};
    }
};

}  // namespace velt::test
