// The form model: field ids, edges and the fields velt-cli form prints.

#include "forms/my_formular.h"

#include <algorithm>

namespace velt {
namespace {

int Px(double units, const FormSettings& s) { return RoundHalfEven(units * s.zoom); }

void AddUnique(std::vector<std::string>& into, const std::vector<std::string>& ids) {
    for (const auto& id : ids)
        if (std::find(into.begin(), into.end(), id) == into.end()) into.push_back(id);
}

std::string Flag(bool b) { return b ? "T" : "F"; }

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& i : items) out += i + "|";
    return out;
}

}  // namespace

my_formular::~my_formular() { children.clear(); }

std::vector<std::string> my_formular::ChildFieldIds(const Substitution& subst) const {
    std::vector<std::string> ids;
    for (const auto& child : children) AddUnique(ids, child->FieldIds(subst));
    return ids;
}

std::vector<std::string> my_formular::FieldIds(const Substitution& subst) const { return ChildFieldIds(subst); }

int my_formular::RightEdge(const FormSettings& s) const {
    // The group's own x counts in form units, the children's edges in pixels.
    int edge = X(s);
    for (const auto& child : children) edge = std::max(edge, SatAdd(child->RightEdge(s), Px(X(s), s)));
    return edge;
}

int my_formular::BottomEdge(const FormSettings& s) const {
    int edge = Y(s);
    for (const auto& child : children) edge = std::max(edge, SatAdd(child->BottomEdge(s), Px(Y(s), s)));
    return edge;
}

std::vector<std::string> my_field_object::FieldIds(const Substitution& subst) const { return {subst.Apply(fieldId)}; }

int my_field_object::RightEdge(const FormSettings& s) const {
    return Px(static_cast<double>(X(s)) + W(s), s);
}

int my_field_object::BottomEdge(const FormSettings& s) const { return Px(static_cast<double>(Y(s)) + 20, s); }

int my_sized_object::BottomEdge(const FormSettings& s) const { return Px(static_cast<double>(Y(s)) + H(s), s); }

int my_label::RightEdge(const FormSettings& s) const { return Px(X(s), s); }
int my_label::BottomEdge(const FormSettings& s) const { return Px(Y(s), s); }

std::vector<FormAttribute> my_lineedit::Attributes(const FormSettings&) const {
    return {{"id", fieldId}, {"limit", std::to_string(limit)}, {"password", Flag(password)}};
}

my_number::my_number(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, int width,
                     int decimals)
    : my_mask(std::move(x), std::move(y), std::move(fieldId), std::move(w), std::string()),
      width(std::clamp(width, 1, 255)), decimals(std::clamp(decimals, 0, std::clamp(width, 1, 255) - 1)) {}

std::vector<FormAttribute> my_number::Attributes(const FormSettings&) const {
    return {{"id", fieldId}, {"width", std::to_string(width)}, {"decimals", std::to_string(decimals)}};
}

my_spin::my_spin(FormExpression x, FormExpression y, std::string fieldId, FormExpression w, int width, int minimum,
                 int maximum)
    : my_field_object(std::move(x), std::move(y), std::move(fieldId), std::move(w)),
      width(std::clamp(width, 1, 255)), minimum(std::min(minimum, maximum)), maximum(std::max(minimum, maximum)) {}

std::vector<FormAttribute> my_spin::Attributes(const FormSettings&) const {
    return {{"id", fieldId},
            {"width", std::to_string(width)},
            {"min", std::to_string(minimum)},
            {"max", std::to_string(maximum)}};
}

std::vector<FormAttribute> my_memo::Attributes(const FormSettings&) const {
    return {{"id", fieldId}, {"limit", std::to_string(limit)}, {"multiline", Flag(multiline)}};
}

int my_markedit::BottomEdge(const FormSettings& s) const {
    if (H(s) != 0) return my_sized_object::BottomEdge(s);
    return SatAdd(Px(static_cast<double>(Y(s)) + 20, s), 1);
}

std::vector<FormAttribute> my_combo::Attributes(const FormSettings&) const {
    return {{"id", fieldId}, {"list", list}, {"values", Joined(values)}, {"labels", Joined(labels)}};
}

std::vector<FormAttribute> my_button::Attributes(const FormSettings&) const {
    return {{"id", fieldId}, {"caption", caption}, {"default", Flag(isDefault)}};
}

int my_menu::RightEdge(const FormSettings& s) const {
    return Px(static_cast<double>(X(s)) + w.Evaluate(s.sheetHeight), s);
}
int my_menu::BottomEdge(const FormSettings& s) const {
    return Px(static_cast<double>(Y(s)) + h.Evaluate(s.sheetHeight), s);
}

std::vector<FormAttribute> my_menu::Attributes(const FormSettings&) const {
    if (pictureForm) return {{"menu", spec}, {"picture", picture.name}};
    return {{"menu", spec}, {"caption", caption}};
}

int my_list::Rows(const FormSettings& s) const {
    return std::clamp(rows.Evaluate(s.sheetHeight), 1, std::max(1, s.maxOccurrence));
}

int my_list::RowHeight(const FormSettings& s) const {
    return SatAdd(DivideHalfEven(h.Evaluate(s.sheetHeight), Rows(s)), -1);
}

std::vector<std::string> my_list::FieldIds(const Substitution& subst) const {
    return ChildFieldIds(subst.With(variable, "*"));
}

int my_list::RightEdge(const FormSettings& s) const {
    return Px(static_cast<double>(X(s)) + w.Evaluate(s.sheetHeight) + 20, s);
}
int my_list::BottomEdge(const FormSettings& s) const {
    return Px(static_cast<double>(Y(s)) + h.Evaluate(s.sheetHeight), s);
}

std::vector<FormAttribute> my_list::Attributes(const FormSettings& s) const {
    return {{"variable", variable}, {"rows", std::to_string(Rows(s))}, {"rowheight", std::to_string(RowHeight(s))}};
}

int my_tabs::RightEdge(const FormSettings& s) const {
    return Px(static_cast<double>(X(s)) + w.Evaluate(s.sheetHeight), s);
}
int my_tabs::BottomEdge(const FormSettings& s) const {
    return Px(static_cast<double>(Y(s)) + h.Evaluate(s.sheetHeight), s);
}

std::vector<FormAttribute> my_tabs::Attributes(const FormSettings&) const { return {{"pages", Joined(captions)}}; }

int my_form::RightEdge(const FormSettings& s) const { return Px(static_cast<double>(X(s)) + 20, s); }
int my_form::BottomEdge(const FormSettings& s) const { return Px(static_cast<double>(Y(s)) + 20, s); }

std::vector<FormAttribute> my_form::Attributes(const FormSettings& s) const {
    return {{"id", fieldId},
            {"caption", caption},
            {"picture", picture.name},
            {"dx", std::to_string(offsetX.Evaluate(s.sheetHeight))},
            {"dy", std::to_string(offsetY.Evaluate(s.sheetHeight))}};
}

int my_dynamic::RightEdge(const FormSettings& s) const {
    return Px(static_cast<double>(X(s)) + w.Evaluate(s.sheetHeight) + 5, s);
}
int my_dynamic::BottomEdge(const FormSettings& s) const {
    return Px(static_cast<double>(Y(s)) + h.Evaluate(s.sheetHeight), s);
}

std::vector<FormAttribute> my_dynamic::Attributes(const FormSettings&) const {
    return {{"id", fieldId}, {"variable", variable}, {"sections", Joined(keys)}};
}

}  // namespace velt
