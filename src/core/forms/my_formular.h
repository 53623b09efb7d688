#pragma once
// The form model: the tree a form description is read into. It holds no
// record data and never changes after reading; it is laid out any number of
// times, for different records and zooms, by Build, which creates the
// run-time editors (my_editor.h) of every object on an editor's parent
// control. Positions and sizes are expressions, evaluated at every layout.
//
// Strings are kept as read, before any substitution.

#include "forms/FormExpression.h"
#include "forms/FormSettings.h"
#include "forms/Substitution.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace velt {

class my_editor;

// Name and value of one field of a model object, as velt-cli form prints it.
using FormAttribute = std::pair<std::string, std::string>;

class my_formular {
public:
    my_formular() = default;  // a group without position: the root, a tab page, a dynamic section
    my_formular(FormExpression x, FormExpression y) : x(std::move(x)), y(std::move(y)) {}
    virtual ~my_formular();  // the children first, then the expressions and pictures

    my_formular(const my_formular&) = delete;
    my_formular& operator=(const my_formular&) = delete;

    // Creates the live controls of this object and its children on the editor's
    // parent control, offset by (ox, oy) form units, and registers the new
    // run-time editors with the editor.
    virtual void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const;
    // The field ids this object edits after substitution, without duplicates.
    virtual std::vector<std::string> FieldIds(const Substitution& subst) const;
    // The right and bottom edges of what the object covers, in pixels
    // relative to the enclosing container's origin.
    virtual int RightEdge(const FormSettings& settings) const;
    virtual int BottomEdge(const FormSettings& settings) const;

    // The class name ("my_lineedit") and its own fields, for velt-cli form.
    virtual const char* ClassName() const { return "my_formular"; }
    virtual std::vector<FormAttribute> Attributes(const FormSettings&) const { return {}; }
    // The width and height expressions of classes that have them; none otherwise.
    virtual const FormExpression* Width() const { return nullptr; }
    virtual const FormExpression* Height() const { return nullptr; }

    // x and y at the settings' sheet height (0 when absent).
    int X(const FormSettings& s) const { return x.Evaluate(s.sheetHeight); }
    int Y(const FormSettings& s) const { return y.Evaluate(s.sheetHeight); }

    FormExpression x, y;
    std::vector<std::unique_ptr<my_formular>> children;

protected:
    // The children's FieldIds joined without duplicates, in first-seen order.
    std::vector<std::string> ChildFieldIds(const Substitution& subst) const;
};

// Objects with one field id and a width: the base of the field classes.
class my_field_object : public my_formular {
public:
    my_field_object(FormExpression x, FormExpression y, std::string fieldId, FormExpression w)
        : my_formular(std::move(x), std::move(y)), fieldId(std::move(fieldId)), w(std::move(w)) {}
    std::vector<std::string> FieldIds(const Substitution& subst) const override;
    // One-line controls are 20 units high whatever the description says.
    int RightEdge(const FormSettings& s) const override;
    int BottomEdge(const FormSettings& s) const override;
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"id", fieldId}}; }
    const FormExpression* Width() const override { return &w; }
    int W(const FormSettings& s) const { return w.Evaluate(s.sheetHeight); }

    std::string fieldId;
    FormExpression w;
};

// A field object with a height of its own.
class my_sized_object : public my_field_object {
public:
    my_sized_object(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, FormExpression h)
        : my_field_object(std::move(x), std::move(y), std::move(fieldId), std::move(w)), h(std::move(h)) {}
    int BottomEdge(const FormSettings& s) const override;
    const FormExpression* Height() const override { return &h; }
    int H(const FormSettings& s) const { return h.Evaluate(s.sheetHeight); }

    FormExpression h;
};

class my_label : public my_formular {
public:
    my_label(FormExpression x, FormExpression y, std::string text)
        : my_formular(std::move(x), std::move(y)), text(std::move(text)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    std::vector<std::string> FieldIds(const Substitution&) const override { return {}; }
    int RightEdge(const FormSettings& s) const override;
    int BottomEdge(const FormSettings& s) const override;
    const char* ClassName() const override { return "my_label"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"text", text}}; }

    std::string text;
};

// A label whose text is substituted at layout (NO).
class my_lp : public my_label {
public:
    using my_label::my_label;
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_lp"; }
};

class my_text : public my_sized_object {
public:
    using my_sized_object::my_sized_object;
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_text"; }
};

class my_lineedit : public my_field_object {
public:
    my_lineedit(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, int limit, bool password)
        : my_field_object(std::move(x), std::move(y), std::move(fieldId), std::move(w)), limit(limit),
          password(password) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_lineedit"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;

    int limit = 0;  // 0: unlimited
    bool password = false;
};

// The authority lookup edit (DICTIONARY).
class my_KHW : public my_lineedit {
public:
    my_KHW(FormExpression x, FormExpression y, std::string fieldId, FormExpression w)
        : my_lineedit(std::move(x), std::move(y), std::move(fieldId), std::move(w), 0, false) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_KHW"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"id", fieldId}}; }
};

class my_mask : public my_field_object {
public:
    my_mask(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, std::string mask)
        : my_field_object(std::move(x), std::move(y), std::move(fieldId), std::move(w)), mask(std::move(mask)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_mask"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"id", fieldId}, {"mask", mask}}; }

    std::string mask;  // the platform's edit-mask notation
};

class my_date : public my_mask {
public:
    static constexpr const char* kMask = "99.99.9999;0; ";
    my_date(FormExpression x, FormExpression y, std::string fieldId, FormExpression w)
        : my_mask(std::move(x), std::move(y), std::move(fieldId), std::move(w), kMask) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_date"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"id", fieldId}}; }
};

class my_number : public my_mask {
public:
    // Width and decimals are clamped to what a mask can hold: 1 to 255
    // characters, at most width - 1 decimals.
    my_number(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, int width, int decimals);
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_number"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;

    int width = 10;
    int decimals = 0;
};

class my_spin : public my_field_object {
public:
    // A minimum above the maximum is swapped; the width is clamped to 1 to 255.
    my_spin(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, int width, int minimum,
            int maximum);
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_spin"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;

    int width = 10;  // of the stored value, in characters
    int minimum = 1;
    int maximum = 10000;
};

class my_check : public my_field_object {
public:
    my_check(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, std::string caption)
        : my_field_object(std::move(x), std::move(y), std::move(fieldId), std::move(w)),
          caption(std::move(caption)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_check"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"id", fieldId}, {"caption", caption}}; }

    std::string caption;
};

class my_memo : public my_sized_object {
public:
    my_memo(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, FormExpression h, int limit,
            bool multiline)
        : my_sized_object(std::move(x), std::move(y), std::move(fieldId), std::move(w), std::move(h)), limit(limit),
          multiline(multiline) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_memo"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;

    int limit = 0;
    bool multiline = false;
};

class my_markedit : public my_sized_object {
public:
    my_markedit(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, FormExpression h,
                std::string markers)
        : my_sized_object(std::move(x), std::move(y), std::move(fieldId), std::move(w), std::move(h)),
          markers(std::move(markers)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    int BottomEdge(const FormSettings& s) const override;
    const char* ClassName() const override { return "my_markedit"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"id", fieldId}, {"markers", markers}}; }

    std::string markers;  // the marker list
};

class my_combo : public my_field_object {
public:
    my_combo(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, std::string list)
        : my_field_object(std::move(x), std::move(y), std::move(fieldId), std::move(w)), list(std::move(list)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    const char* ClassName() const override { return "my_combo"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;

    std::string list;
    std::vector<std::string> values, labels;  // parallel, from the list when read
};

class my_button : public my_sized_object {
public:
    my_button(FormExpression x, FormExpression y, std::string fieldId, std::string caption, FormExpression w,
              FormExpression h, bool isDefault)
        : my_sized_object(std::move(x), std::move(y), std::move(fieldId), std::move(w), std::move(h)),
          caption(std::move(caption)), isDefault(isDefault) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    std::vector<std::string> FieldIds(const Substitution&) const override { return {}; }
    const char* ClassName() const override { return "my_button"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;

    std::string caption;
    bool isDefault = false;
};

class my_speed : public my_sized_object {
public:
    my_speed(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, FormExpression h,
             FormPicture picture)
        : my_sized_object(std::move(x), std::move(y), std::move(fieldId), std::move(w), std::move(h)),
          picture(std::move(picture)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    std::vector<std::string> FieldIds(const Substitution&) const override { return {}; }
    const char* ClassName() const override { return "my_speed"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override { return {{"id", fieldId}, {"picture", picture.name}}; }

    FormPicture picture;
};

class my_menu : public my_formular {
public:
    // The label form: w fixed 0, h fixed 20.
    my_menu(FormExpression x, FormExpression y, std::string spec, std::string caption)
        : my_formular(std::move(x), std::move(y)), spec(std::move(spec)), caption(std::move(caption)),
          w(FormExpression::Constant(0)), h(FormExpression::Constant(20)) {}
    // The picture form.
    my_menu(FormExpression x, FormExpression y, std::string spec, FormPicture picture, FormExpression w,
            FormExpression h)
        : my_formular(std::move(x), std::move(y)), spec(std::move(spec)), picture(std::move(picture)),
          pictureForm(true), w(std::move(w)), h(std::move(h)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    std::vector<std::string> FieldIds(const Substitution&) const override { return {}; }
    int RightEdge(const FormSettings& s) const override;
    int BottomEdge(const FormSettings& s) const override;
    const char* ClassName() const override { return "my_menu"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;
    const FormExpression* Width() const override { return &w; }
    const FormExpression* Height() const override { return &h; }

    std::string spec;
    std::string caption;
    FormPicture picture;
    bool pictureForm = false;
    FormExpression w, h;
};

class my_list : public my_formular {
public:
    my_list(FormExpression x, FormExpression y, std::string variable, FormExpression rows, FormExpression w,
            FormExpression h)
        : my_formular(std::move(x), std::move(y)), variable(std::move(variable)), rows(std::move(rows)),
          w(std::move(w)), h(std::move(h)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    std::vector<std::string> FieldIds(const Substitution& subst) const override;
    int RightEdge(const FormSettings& s) const override;
    int BottomEdge(const FormSettings& s) const override;
    const char* ClassName() const override { return "my_list"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;
    const FormExpression* Width() const override { return &w; }
    const FormExpression* Height() const override { return &h; }

    // The visible rows, clamped to 1 .. the maximum occurrence.
    int Rows(const FormSettings& s) const;
    // round(h / rows) - 1 form units.
    int RowHeight(const FormSettings& s) const;

    std::string variable;
    FormExpression rows, w, h;
};

class my_tabs : public my_formular {
public:
    my_tabs(FormExpression x, FormExpression y, FormExpression w, FormExpression h)
        : my_formular(std::move(x), std::move(y)), w(std::move(w)), h(std::move(h)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    int RightEdge(const FormSettings& s) const override;
    int BottomEdge(const FormSettings& s) const override;
    const char* ClassName() const override { return "my_tabs"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;
    const FormExpression* Width() const override { return &w; }
    const FormExpression* Height() const override { return &h; }

    FormExpression w, h;
    std::vector<std::string> captions;  // parallel to the children, one group per page
};

class my_form : public my_formular {
public:
    my_form(FormExpression x, FormExpression y, std::string fieldId, std::string caption, FormPicture picture,
            FormExpression offsetX, FormExpression offsetY)
        : my_formular(std::move(x), std::move(y)), fieldId(std::move(fieldId)), caption(std::move(caption)),
          picture(std::move(picture)), offsetX(std::move(offsetX)), offsetY(std::move(offsetY)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    int RightEdge(const FormSettings& s) const override;
    int BottomEdge(const FormSettings& s) const override;
    const char* ClassName() const override { return "my_form"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;

    std::string fieldId;
    std::string caption;
    FormPicture picture;
    FormExpression offsetX, offsetY;  // where the pop-up goes, relative to the button
};

class my_dynamic : public my_formular {
public:
    my_dynamic(FormExpression x, FormExpression y, std::string fieldId, std::string variable, FormExpression w,
               FormExpression h)
        : my_formular(std::move(x), std::move(y)), fieldId(std::move(fieldId)), variable(std::move(variable)),
          w(std::move(w)), h(std::move(h)) {}
    void Build(my_editor& editor, int ox, const Substitution& subst, int oy) const override;
    int RightEdge(const FormSettings& s) const override;
    int BottomEdge(const FormSettings& s) const override;
    const char* ClassName() const override { return "my_dynamic"; }
    std::vector<FormAttribute> Attributes(const FormSettings&) const override;
    const FormExpression* Width() const override { return &w; }
    const FormExpression* Height() const override { return &h; }

    std::string fieldId;
    std::string variable;
    FormExpression w, h;
    std::vector<std::string> keys;  // parallel to the children, one group per section
};

// Calls visit for the object and everything under it, in tree order, with its depth.
template <typename Visit>
void WalkForm(const my_formular& object, Visit&& visit, int depth = 0) {
    visit(object, depth);
    for (const auto& child : object.children) WalkForm(*child, visit, depth + 1);
}

}  // namespace velt
