// The list, tab pages, sub-form and dynamic area at run time.

#include "forms/ContainerEditors.h"

#include "forms/FormConversions.h"
#include "forms/my_formular.h"
#include "text/PipeList.h"
#include "text/Wildcard.h"
#include "text/my_record.h"

#include <algorithm>
#include <deque>

namespace velt {

// ---- LIST

ed_list::ed_list(FormContext& context, FormControl& parent, const my_list& model, int ox, const Substitution& subst,
                 int oy)
    : my_editor(context, parent), mModel(model), mSubst(subst) {
    const FormSettings& s = context.settings;
    mRows = model.Rows(s);
    const int rowHeight = model.RowHeight(s);
    const double x = static_cast<double>(ox) + model.X(s), y = static_cast<double>(oy) + model.Y(s);
    const int w = model.w.Evaluate(s.sheetHeight), h = model.h.Evaluate(s.sheetHeight);

    mScrollBar = MakeControl(ControlKind::ScrollBar, parent);
    const PixelRect bar{context.Px(x + w + 1), context.Px(y + 3), 16, context.Px(static_cast<double>(h) - mRows - 7)};
    mScrollBar->SetGeometry(bar);
    mScrollBar->SetRange(1, std::max(1, s.maxOccurrence));
    mScrollBar->SetValue(1);
    for (int i = 1; i <= mRows; ++i) {
        auto panel = MakeControl(ControlKind::Panel, parent);
        panel->SetGeometry(Rect(x, y + static_cast<double>(i - 1) * rowHeight, w, rowHeight));
        mPanels.push_back(std::move(panel));
    }
    // Two thin bright green markers above and below the bar: there are rows
    // before, or after, those shown.
    mUpper = MakeControl(ControlKind::ListMarker, parent);
    mUpper->SetGeometry({bar.left, SatAdd(bar.top, -4), 16, 2});
    mLower = MakeControl(ControlKind::ListMarker, parent);
    mLower->SetGeometry({bar.left, SatAdd(SatAdd(bar.top, bar.height), 1), 16, 2});
}

ed_list::~ed_list() {
    DestroyChildren();
    ed_list::DestroyControls();
}

void ed_list::DestroyControls() {
    Drop(mUpper);
    Drop(mLower);
    for (auto& p : mPanels) Drop(p);
    mPanels.clear();
    Drop(mScrollBar);
}

std::unique_ptr<my_editor> ed_list::BuildRow(FormControl& panel, int occurrence) {
    auto row = std::make_unique<my_editor>(mContext, panel);
    const Substitution subst = mSubst.With(mModel.variable, occurrence);
    for (const auto& child : mModel.children) child->Build(*row, 0, subst, 0);
    return row;
}

void ed_list::Create() {
    for (std::size_t k = 0; k < mPanels.size(); ++k) {
        if (mContext.Full()) break;
        Add(BuildRow(*mPanels[k], static_cast<int>(k) + 1));
        mPanels[k]->SetVisible(true);
    }
    mScrollBar->SetVisible(true);
    UpdateMarkers();
}

std::vector<int> ed_list::Occurrences() const {
    const std::vector<std::string> patterns = mModel.FieldIds(mSubst.With(mModel.variable, "?"));
    std::vector<int> found;
    for (const my_field& f : mContext.record.fields()) {
        for (const std::string& p : patterns) {
            int n = 0;
            if (MatchOccurrence(f.key, p, n) && n > 0) {
                found.push_back(n);
                break;
            }
        }
    }
    return found;
}

int ed_list::LastOccurrence() const {
    const std::vector<int> found = Occurrences();
    return found.empty() ? 0 : *std::max_element(found.begin(), found.end());
}

void ed_list::UpdateMarkers() {
    bool before = false, after = false;
    for (int n : Occurrences()) {
        if (n < mPosition) before = true;
        if (n > mPosition + mRows - 1) after = true;
    }
    mUpper->SetVisible(before);
    mLower->SetVisible(after);
}

void ed_list::ScrollTo(int position) {
    position = std::clamp(position, 1, std::max(1, mContext.settings.maxOccurrence));
    mScrollBar->SetValue(position);
    ControlScrolled(*mScrollBar, position);
}

void ed_list::ControlScrolled(FormControl&, int position) {
    const auto alive = mAlive;
    // The row being edited stores its text (and says EXIT) before it goes.
    if (mScrollBar->CanFocus()) mScrollBar->SetFocus();
    if (!*alive) return;
    mPosition = std::clamp(position, 1, std::max(1, mContext.settings.maxOccurrence));
    for (std::size_t k = 0; k < mChildren.size() && k < mPanels.size(); ++k) {
        FormControl& panel = *mPanels[k];
        panel.SetVisible(false);
        // The old row goes before the new one is built, so that the windows
        // can give its widgets to the new row on the same panel.
        std::unique_ptr<my_editor> old = std::move(mChildren[k]);
        mChildren.erase(mChildren.begin() + static_cast<std::ptrdiff_t>(k));
        old.reset();
        mChildren.insert(mChildren.begin() + static_cast<std::ptrdiff_t>(k),
                         BuildRow(panel, static_cast<int>(k) + mPosition));
        panel.SetVisible(true);
    }
    UpdateMarkers();
    if (mScrollBar->CanFocus()) mScrollBar->SetFocus();
}

void ed_list::ControlClicked(FormControl& control) {
    if (&control == mUpper.get()) ScrollTo(1);
    else if (&control == mLower.get()) ScrollTo(std::max(1, LastOccurrence()));
}

bool ed_list::FocusFirst() { return !mChildren.empty() && mChildren.front()->FocusFirst(); }

void ed_list::Controls(std::vector<FormControl*>& out) const {
    out.push_back(mScrollBar.get());
    out.push_back(mUpper.get());
    out.push_back(mLower.get());
    for (const auto& p : mPanels) out.push_back(p.get());
    my_editor::Controls(out);
}

bool ed_list::HasFocus() const { return my_editor::HasFocus() || mScrollBar->HasFocus(); }

bool ed_list::Wheel(int steps) {
    for (const auto& row : mChildren) {
        if (!row->HasFocus()) continue;
        if (row->Wheel(steps)) return true;
        break;
    }
    if (steps != 0) ScrollTo(mPosition + (steps >= 1 ? -1 : 1));
    return true;
}

// ---- TABS

struct ed_tabs::Pages : ControlListener {
    std::unique_ptr<FormControl> control;
    std::vector<ed_tabs*> editors;

    void ControlPageShown(FormControl&, int index) override {
        if (index >= 0 && index < static_cast<int>(editors.size()) && editors[static_cast<std::size_t>(index)])
            editors[static_cast<std::size_t>(index)]->FocusFirst();
    }
    ~Pages() override {
        if (control) control->SetListener(nullptr);
    }
};

std::shared_ptr<ed_tabs::Pages> ed_tabs::MakePages(my_editor& owner, const PixelRect& rect) {
    auto pages = std::make_shared<Pages>();
    FormContext& context = owner.Context();
    pages->control = context.controls.Create(ControlKind::PageControl, owner.Parent());
    pages->control->SetListener(pages.get());
    pages->control->SetGeometry(rect);
    FontSpec font;
    font.face = "Times New Roman";
    font.height = ZoomedFontHeight(context.settings.baseFontHeight, context.settings.zoom);
    pages->control->SetFont(font);
    return pages;
}

std::unique_ptr<ed_tabs> ed_tabs::MakePage(FormContext& context, std::shared_ptr<Pages> pages, int index,
                                           const std::string& caption) {
    auto sheet = context.controls.Create(ControlKind::TabSheet, *pages->control);
    sheet->SetText(caption);
    auto box = context.controls.Create(ControlKind::ScrollBox, *sheet);
    return std::unique_ptr<ed_tabs>(new ed_tabs(context, std::move(pages), index, std::move(sheet), std::move(box)));
}

void ed_tabs::ShowPages(Pages& pages) { pages.control->SetVisible(true); }

ed_tabs::ed_tabs(FormContext& context, std::shared_ptr<Pages> pages, int index, std::unique_ptr<FormControl> sheet,
                 std::unique_ptr<FormControl> box)
    : my_editor(context, *box), mPages(std::move(pages)), mIndex(index), mSheet(std::move(sheet)),
      mBox(std::move(box)) {
    mSheet->SetListener(this);
    mBox->SetListener(this);
    if (mPages->editors.size() <= static_cast<std::size_t>(index))
        mPages->editors.resize(static_cast<std::size_t>(index) + 1);
    mPages->editors[static_cast<std::size_t>(index)] = this;
    mBox->SetVisible(true);
    mSheet->SetVisible(true);
}

ed_tabs::~ed_tabs() {
    DestroyChildren();
    ed_tabs::DestroyControls();
}

void ed_tabs::DestroyControls() {
    Drop(mBox);
    Drop(mSheet);
    if (mPages) {
        if (static_cast<std::size_t>(mIndex) < mPages->editors.size()) mPages->editors[static_cast<std::size_t>(mIndex)] = nullptr;
        mPages.reset();  // the last page takes the page control with it
    }
}

bool ed_tabs::FocusFirst() {
    if (!mPages || !mPages->control || mPages->control->ActivePage() != mIndex) return false;
    return my_editor::FocusFirst();
}

void ed_tabs::Controls(std::vector<FormControl*>& out) const {
    if (mIndex == 0 && mPages && mPages->control) out.push_back(mPages->control.get());
    out.push_back(mSheet.get());
    out.push_back(mBox.get());
    my_editor::Controls(out);
}

// ---- FORM

ed_form::ed_form(FormContext& context, FormControl& parent, const my_form& model, int ox, const Substitution& subst,
                 int oy)
    : my_editor(context, parent), mModel(model), mSubst(subst), mFieldId(subst.Apply(model.fieldId)) {
    const FormSettings& s = context.settings;
    mRect = Rect(static_cast<double>(ox) + model.X(s), static_cast<double>(oy) + model.Y(s), 20, 20);
}

void ed_form::Create() {
    if (!mFieldId.empty()) RaiseShow(mFieldId);
    mButton = MakeControl(ControlKind::SpeedButton, mParent);
    mButton->SetGeometry(mRect);
    mButton->SetPicture(mModel.picture);
    mButton->SetEnabled(mContext.record.IsReadOnly(mFieldId) == 0);
    // Without a picture the button is hidden; a script can still open the
    // window by asking for a refresh of the sub-form's id.
    mButton->SetVisible(!mModel.picture.name.empty());
}

ed_form::~ed_form() {
    DestroyChildren();
    ed_form::DestroyControls();
}

void ed_form::DestroyControls() {
    mInner.reset();
    if (mOpen && mWindow) mWindow->Close();
    mOpen = false;
    Drop(mPanel);
    Drop(mWindow);
    Drop(mButton);
}

void ed_form::Open() {
    if (mOpening || mOpen) return;
    const auto alive = mAlive;
    mOpening = true;
    if (mParent.CanFocus()) mParent.SetFocus();
    if (!*alive) return;
    const bool survived = Raise(kFormHelp, mFieldId);
    if (!survived) return;
    mOpening = false;
    const FormSettings& s = mContext.settings;
    if (!mWindow) {
        mWindow = MakeControl(ControlKind::PopupWindow, mParent);
        mWindow->SetText(mModel.caption);
        FontSpec font;
        font.face = "MS Sans Serif";
        font.height = s.baseFontHeight;  // the window's own font is not zoomed
        mWindow->SetFont(font);
        mPanel = MakeControl(ControlKind::Panel, *mWindow);
        int right = 100, bottom = 30;
        for (const auto& child : mModel.children) {
            right = std::max(right, child->RightEdge(s));
            bottom = std::max(bottom, child->BottomEdge(s));
        }
        right = SatAdd(right, 4);
        bottom = SatAdd(bottom, 4);
        mPanel->SetGeometry({0, 0, right, bottom});
        mWindow->SetClientSize(right, bottom);
        mPanel->SetVisible(true);
    }
    int sx = 0, sy = 0;
    mButton->ScreenPosition(sx, sy);
    mWindow->MoveTo(SatAdd(sx, mContext.Px(mModel.offsetX.Evaluate(s.sheetHeight))),
                    SatAdd(sy, mContext.Px(mModel.offsetY.Evaluate(s.sheetHeight))));
    mInner = std::make_unique<my_editor>(mContext, *mPanel);
    for (const auto& child : mModel.children) child->Build(*mInner, 0, mSubst, 0);
    mInner->FocusFirst();
    mOpen = true;
    mWindow->ShowModal();
    if (!*alive) return;
    mOpen = false;
    mInner.reset();
    Raise(kFormExit, mFieldId);
}

void ed_form::ControlClicked(FormControl& control) {
    if (&control == mButton.get()) Open();
}

void ed_form::Refresh(const std::string& name) {
    if (name == mFieldId) {
        if (mOpen) mWindow->Close();
        else if (!mOpening && mParent.CanFocus()) Open();
        return;
    }
    const auto alive = mAlive;
    if (mInner) mInner->Refresh(name);
    if (*alive) my_editor::Refresh(name);
}

void ed_form::Controls(std::vector<FormControl*>& out) const {
    out.push_back(mButton.get());
    if (mInner) mInner->Controls(out);
}

void ed_form::Walk(const std::function<void(const my_editor&, int)>& visit, int depth) const {
    visit(*this, depth);
    if (mInner) mInner->Walk(visit, depth + 1);
}

bool ed_form::HasFocus() const { return mOpen && mInner && mInner->HasFocus(); }

bool ed_form::Wheel(int steps) { return mInner ? mInner->Wheel(steps) : false; }

void ed_form::Commit() {
    if (mInner) mInner->Commit();
}

// ---- DYNAMIC

std::vector<DynamicTriple> ParseDynamicValue(std::string_view value) {
    std::vector<DynamicTriple> out;
    PipeReader pieces(value);
    while (!pieces.AtEnd() && out.size() < 1000) {
        DynamicTriple t;
        t.key = pieces.Take();
        t.number = pieces.Take();
        t.flag = pieces.Take();
        out.push_back(std::move(t));
    }
    return out;
}

namespace {

// Rebuilds of dynamic areas never interleave: one that is asked for while
// another runs (a SHOW script's message box runs the event loop) waits for it.
void RunSerialised(std::function<void()> task) {
    static bool running = false;
    static std::deque<std::function<void()>> waiting;
    if (running) {
        waiting.push_back(std::move(task));
        return;
    }
    running = true;
    task();
    while (!waiting.empty()) {
        std::function<void()> next = std::move(waiting.front());
        waiting.pop_front();
        next();
    }
    running = false;
}

}  // namespace

ed_dynamic::ed_dynamic(FormContext& context, FormControl& parent, const my_dynamic& model, int ox,
                       const Substitution& subst, int oy)
    : my_editor(context, parent), mModel(model), mSubst(subst), mFieldId(subst.Apply(model.fieldId)) {
    const FormSettings& s = context.settings;
    mBox = MakeControl(ControlKind::ScrollBox, parent);
    mBox->SetGeometry(Rect(static_cast<double>(ox) + model.X(s), static_cast<double>(oy) + model.Y(s),
                           model.w.Evaluate(s.sheetHeight), model.h.Evaluate(s.sheetHeight)));
    mBox->SetAutoScroll(true);
}

void ed_dynamic::Create() {
    mBox->SetVisible(true);
    if (!mFieldId.empty()) RaiseShow(mFieldId);
    Assemble();
}

ed_dynamic::~ed_dynamic() {
    DestroyChildren();
    ed_dynamic::DestroyControls();
}

void ed_dynamic::DestroyControls() {
    while (!mSections.empty()) {
        Drop(mSections.back().button);
        mSections.back().editor.reset();
        mSections.pop_back();
    }
    Drop(mBox);
}

void ed_dynamic::Assemble() {
    const auto alive = mAlive;
    std::vector<DynamicTriple> triples;
    for (DynamicTriple& t : ParseDynamicValue(mContext.record.GetValue(mFieldId)))
        if (std::find(mModel.keys.begin(), mModel.keys.end(), t.key) != mModel.keys.end()) triples.push_back(std::move(t));
    mBox->SetAutoScroll(false);
    // The leading sections that did not change stay as they are.
    std::size_t keep = 0;
    while (keep < mSections.size() && keep < triples.size() && mSections[keep].key == triples[keep].key &&
           mSections[keep].number == triples[keep].number && mSections[keep].flag == triples[keep].flag)
        ++keep;
    int top = keep == 0 ? 0 : mSections[keep - 1].nextTop;
    while (mSections.size() > keep) {
        Drop(mSections.back().button);
        mSections.back().editor.reset();
        mSections.pop_back();
    }
    const FormSettings& s = mContext.settings;
    const int w = mModel.w.Evaluate(s.sheetHeight);
    my_editor* first = nullptr;
    for (std::size_t i = keep; i < triples.size(); ++i) {
        if (mContext.Full()) break;
        const DynamicTriple& t = triples[i];
        const auto index = static_cast<std::size_t>(
            std::find(mModel.keys.begin(), mModel.keys.end(), t.key) - mModel.keys.begin());
        if (index >= mModel.children.size()) continue;
        const my_formular& group = *mModel.children[index];
        const Substitution subst = mSubst.With(mModel.variable, t.number);
        Section section{t.key, t.number, t.flag, 0, std::make_unique<my_editor>(mContext, *mBox), nullptr};
        group.Build(*section.editor, 0, subst, top);
        int height = group.BottomEdge(s);
        if (t.flag == "U") {
            height = std::max(height, 22);
            section.button = MakeControl(ControlKind::SpeedButton, *mBox);
            section.button->SetGeometry({mContext.Px(static_cast<double>(w) - 40),
                                         SatAdd(mContext.Px(static_cast<double>(top) - 20), height), mContext.Px(20),
                                         mContext.Px(20)});
            section.button->SetPicture(mContext.DeletePicture());
            section.button->SetVisible(true);
        }
        top = SatAdd(top, static_cast<std::int64_t>(RoundHalfEven(height / s.zoom)) + 1);
        section.nextTop = top;
        mSections.push_back(std::move(section));
        if (!first) {
            first = mSections.back().editor.get();
            // The first field of the first new section takes the focus; a
            // section of labels only has none to give it to.
            const std::vector<std::string> ids = group.FieldIds(subst);
            if (!ids.empty()) first->Refresh(ids.front());
            if (!*alive) return;
        }
    }
    mBox->SetAutoScroll(true);
    std::vector<FormControl*> controls;
    if (first) {
        first->Controls(controls);
        FormControl* target = controls.empty() ? nullptr : controls.back();
        for (FormControl* c : controls)
            if (c->HasFocus()) target = c;
        if (target) mBox->ScrollIntoView(*target);
    } else if (!mSections.empty()) {
        mSections.back().editor->Controls(controls);
        if (mSections.back().button) controls.push_back(mSections.back().button.get());
        if (!controls.empty()) mBox->ScrollIntoView(*controls.back());
    }
}

void ed_dynamic::ScheduleRebuild() {
    if (mPending) return;  // one rebuild serves every request made before it runs
    mPending = true;
    const auto alive = mAlive;
    mContext.controls.Post([this, alive] {
        RunSerialised([this, alive] {
            if (!*alive) return;  // the form went away before the rebuild could run
            mPending = false;
            Assemble();
        });
    });
}

void ed_dynamic::Refresh(const std::string& name) {
    if (name == mFieldId) {
        if (mBox->CanFocus()) mBox->SetFocus();
        ScheduleRebuild();
        return;
    }
    const auto alive = mAlive;
    for (std::size_t i = 0; i < mSections.size() && *alive; ++i) mSections[i].editor->Refresh(name);
}

void ed_dynamic::ControlClicked(FormControl& control) {
    for (const Section& section : mSections) {
        if (section.button.get() != &control) continue;
        const std::string name = "HELP." + mFieldId + "." + section.key + "." + section.number;
        const auto alive = mAlive;
        if (mBox->CanFocus()) mBox->SetFocus();
        if (*alive) Raise(kFormHelp, name);
        return;
    }
}

bool ed_dynamic::FocusFirst() {
    for (const Section& section : mSections)
        if (section.editor->FocusFirst()) return true;
    return false;
}

void ed_dynamic::Controls(std::vector<FormControl*>& out) const {
    out.push_back(mBox.get());
    for (const Section& section : mSections) {
        section.editor->Controls(out);
        if (section.button) out.push_back(section.button.get());
    }
}

bool ed_dynamic::HasFocus() const {
    for (const Section& section : mSections)
        if (section.editor->HasFocus()) return true;
    return false;
}

bool ed_dynamic::Wheel(int steps) {
    for (const Section& section : mSections)
        if (section.editor->HasFocus() && section.editor->Wheel(steps)) return true;
    return mBox->ScrollVertically(RoundHalfEven(20 * mContext.settings.zoom * steps));
}

void ed_dynamic::Commit() {
    const auto alive = mAlive;
    for (std::size_t i = 0; i < mSections.size() && *alive; ++i) mSections[i].editor->Commit();
}

void ed_dynamic::Walk(const std::function<void(const my_editor&, int)>& visit, int depth) const {
    visit(*this, depth);
    for (const Section& section : mSections) section.editor->Walk(visit, depth + 1);
}

std::string ed_dynamic::Layout() const {
    std::string out;
    for (const Section& s : mSections) out += s.key + "|" + s.number + "|" + s.flag + "|" + std::to_string(s.nextTop) + "|";
    return out;
}

}  // namespace velt
