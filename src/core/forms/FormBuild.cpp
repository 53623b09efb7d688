// Laying the form model out: every object's Build makes its run-time editor
// (or, for a group, its children's) at its place, in pixels at the zoom.

#include "forms/ContainerEditors.h"
#include "forms/FieldEditors.h"
#include "forms/my_formular.h"

namespace velt {
namespace {

struct Place {
    double x, y, w;
};

// The object's position and width in form units, offset by (ox, oy).
Place At(const my_formular& object, const FormSettings& s, int ox, int oy, int w = 0) {
    return {static_cast<double>(ox) + object.X(s), static_cast<double>(oy) + object.Y(s), static_cast<double>(w)};
}

PixelRect Zoomed(const FormContext& c, double left, double top, double width, double height) {
    return {c.Px(left), c.Px(top), c.Px(width), c.Px(height)};
}

// Creates a field editor, then adds it; nothing once the layout is full.
template <typename E, typename... Args>
void Make(my_editor& editor, Args&&... args) {
    if (editor.Context().Full()) return;
    auto e = std::make_unique<E>(editor.Context(), editor.Parent(), std::forward<Args>(args)...);
    e->Create();
    editor.Add(std::move(e));
}

}  // namespace

void my_formular::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    const FormSettings& s = editor.Context().settings;
    for (const auto& child : children) child->Build(editor, SatAdd(ox, X(s)), subst, SatAdd(oy, Y(s)));
}

void my_label::Build(my_editor& editor, int ox, const Substitution&, int oy) const {
    FormContext& c = editor.Context();
    if (c.Full()) return;
    const Place p = At(*this, c.settings, ox, oy);
    editor.Add(std::make_unique<ed_label>(c, editor.Parent(), text, Zoomed(c, p.x, p.y, 0, 0)));
}

void my_lp::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    if (c.Full()) return;
    const Place p = At(*this, c.settings, ox, oy);
    editor.Add(std::make_unique<ed_label>(c, editor.Parent(), subst.Apply(text), Zoomed(c, p.x, p.y, 0, 0)));
}

void my_text::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_text>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), H(c.settings)));
}

void my_lineedit::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_lineedit>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), 20), limit, password);
}

void my_KHW::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    const int w = W(c.settings);
    Make<ed_KHW_editor>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, w - 20, 20),
                        Zoomed(c, p.x + w - 20, p.y, 20, 20));
}

void my_mask::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_mask_editor>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), 20), mask);
}

void my_date::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_date>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), 20));
}

void my_number::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_number>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), 20), width, decimals);
}

void my_spin::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_spinedit>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), 20), width, minimum, maximum);
}

void my_check::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_check_editor>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), 20), caption);
}

void my_memo::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_memo_editor>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), H(c.settings)), limit,
                         multiline);
}

void my_markedit::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    const int h = H(c.settings);
    PixelRect rect = Zoomed(c, p.x, p.y, W(c.settings), h);
    // Without a height the memo is one line: 20 units and a pixel.
    if (h == 0) rect.height = c.Px(20) + 1;
    Make<ed_mark_editor>(editor, subst.Apply(fieldId), rect, ParseMarkerSpec(markers), h == 0);
}

void my_combo::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_combo_editor>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), 20), values, labels);
}

void my_button::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_button>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), H(c.settings)), caption,
                    isDefault);
}

void my_speed::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    const Place p = At(*this, c.settings, ox, oy);
    Make<ed_speed>(editor, subst.Apply(fieldId), Zoomed(c, p.x, p.y, W(c.settings), H(c.settings)), picture);
}

void my_menu::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    if (c.Full()) return;
    const Place p = At(*this, c.settings, ox, oy);
    const PixelRect rect =
        Zoomed(c, p.x, p.y, w.Evaluate(c.settings.sheetHeight), h.Evaluate(c.settings.sheetHeight));
    editor.Add(std::make_unique<ed_menu>(c, editor.Parent(), spec, subst, caption, pictureForm ? &picture : nullptr,
                                         rect));
}

void my_list::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    if (c.Full()) return;
    auto list = std::make_unique<ed_list>(c, editor.Parent(), *this, ox, subst, oy);
    list->Create();
    editor.Add(std::move(list));
}

void my_tabs::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    if (c.Full() || children.empty()) return;
    const FormSettings& s = c.settings;
    const Place p = At(*this, s, ox, oy);
    auto pages = ed_tabs::MakePages(
        editor, Zoomed(c, p.x, p.y, w.Evaluate(s.sheetHeight), h.Evaluate(s.sheetHeight)));
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (c.Full()) break;
        auto page = ed_tabs::MakePage(c, pages, static_cast<int>(i), i < captions.size() ? captions[i] : std::string());
        children[i]->Build(*page, 0, subst, 0);
        editor.Add(std::move(page));
    }
    ed_tabs::ShowPages(*pages);
}

void my_form::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    if (c.Full()) return;
    auto form = std::make_unique<ed_form>(c, editor.Parent(), *this, ox, subst, oy);
    form->Create();
    editor.Add(std::move(form));
}

void my_dynamic::Build(my_editor& editor, int ox, const Substitution& subst, int oy) const {
    FormContext& c = editor.Context();
    if (c.Full()) return;
    auto dynamic = std::make_unique<ed_dynamic>(c, editor.Parent(), *this, ox, subst, oy);
    dynamic->Create();
    editor.Add(std::move(dynamic));
}

}  // namespace velt
