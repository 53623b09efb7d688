#include "browse/PresentationTabs.h"

#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "text/CpLiteral.h"
#include "text/converter.h"

#include <algorithm>

namespace velt {

namespace {

constexpr std::int64_t kMinLineHeight = 26;  // what SetLineHeight takes
constexpr std::int64_t kMaxLineHeight = 600;

bool SameCaption(const std::string& a, const std::string& b) { return UpperTable.Compare(a, b) == 0; }

std::string WithoutFirstAmpersand(std::string text) {
    const auto at = text.find('&');
    if (at != std::string::npos) text.erase(at, 1);
    return text;
}

}  // namespace

std::string PresentationTabs::LocalCaption() { return "Kolekcja lokalna"; }
std::string PresentationTabs::RemoteCaption() { return "Kolekcja zdalna"; }

PresentationTabs::PresentationTabs(CatalogueContext& shell, Prompts& prompts, TabsView& view)
    : mShell(shell), mPrompts(prompts), mView(view) {
    mShell.AddListener(this);
}

PresentationTabs::~PresentationTabs() {
    mShell.RemoveListener(this);
    RemoveTabs();
}

void PresentationTabs::RemoveTabs() {
    if (!mSheets.empty()) mView.TabsRemoved();
    mSheets.clear();
    mActive = -1;
}

void PresentationTabs::CatalogueClosing(velt_files& files, bool disconnecting) {
    (void)files;
    // The widgets first, then the browsers and sources, then the items that
    // name formats: all of them point into the descriptor about to go.
    RemoveTabs();
    mFormats.clear();
    mView.FormatsChanged();
    if (disconnecting) {
        mLocal.reset();  // the collection's file goes with it
        mFiles = nullptr;
    }
}

void PresentationTabs::CatalogueOpened(velt_files& files) {
    const bool reload = mFiles == &files && mLocal;
    mFiles = &files;
    if (!mLocal) {
        mLocal = std::make_unique<coll_serwer>(files, mShell.Settings().WorkingDirectory, this);
        if (!mLocal->Ready()) {
            mPrompts.plain_message("Brak dostępu do folderu roboczego"_cp);
            mLocal.reset();
            mView.FatalStop();
            return;
        }
    }
    BuildTabs(reload);
}

void PresentationTabs::BuildFormats(const std::string& keepCaption) {
    mFormats.clear();
    mTreeFormat = 0;
    if (mFiles && mFiles->Ready) {
        int current = -1;
        for (const velt_format& f : mFiles->Formats) {
            if (f.Type == "drzewo" && mTreeFormat == 0) mTreeFormat = f.Id;
            if (f.Type != "prezentacja") continue;
            mFormats.push_back({static_cast<std::int32_t>(f.Id), f.Name, false});
            if (current < 0 || (!keepCaption.empty() && WithoutFirstAmpersand(f.Name) == keepCaption))
                current = static_cast<int>(mFormats.size()) - 1;
        }
        if (current >= 0) {
            mFormats[static_cast<std::size_t>(current)].checked = true;
            mFiles->SetFormat(mFormats[static_cast<std::size_t>(current)].id);
        }
    }
    mView.FormatsChanged();
}

void PresentationTabs::BuildTabs(bool keepSelection) {
    std::string activeCaption, formatCaption;
    if (keepSelection) {
        if (mActive >= 0 && mActive < static_cast<int>(mSheets.size()))
            activeCaption = mSheets[static_cast<std::size_t>(mActive)].caption;
        for (const FormatItem& f : mFormats)
            if (f.checked) formatCaption = WithoutFirstAmpersand(f.caption);
    }
    BuildFormats(formatCaption);
    RemoveTabs();
    if (!mFiles) return;
    for (const auto& index : mFiles->Indexes) {
        my_sheet sheet;
        sheet.kind = my_sheet::Index;
        sheet.caption = index->Name;
        sheet.index = std::make_unique<velt_serwer>(*mFiles, *index, mLocal.get(), this);
        mSheets.push_back(std::move(sheet));
    }
    if (!mSheets.empty()) {
        my_sheet local;
        local.kind = my_sheet::Local;
        local.caption = LocalCaption();
        mSheets.push_back(std::move(local));
    }
    mView.TabsBuilt();
    if (mSheets.empty()) return;
    // The local tab's browser is made at once.
    Build(static_cast<int>(mSheets.size()) - 1);
    int active = activeCaption.empty() ? -1 : FindTab(activeCaption);
    Activate(active < 0 ? 0 : active);
}

int PresentationTabs::FindTab(const std::string& caption) const {
    for (std::size_t i = 0; i < mSheets.size(); ++i)
        if (SameCaption(mSheets[i].caption, caption)) return static_cast<int>(i);
    return -1;
}

void PresentationTabs::Build(int i) {
    my_sheet& sheet = mSheets[static_cast<std::size_t>(i)];
    if (sheet.built) return;
    Vrserwer* source = sheet.kind == my_sheet::Local ? static_cast<Vrserwer*>(mLocal.get())
                                                      : static_cast<Vrserwer*>(sheet.index.get());
    if (!source) return;
    int width = 0, height = 0;
    mView.PageSize(width, height);
    const auto line = static_cast<int>(std::clamp(mShell.Settings().ListLineHeight, kMinLineHeight, kMaxLineHeight));
    sheet.browser = std::make_unique<VrBrowser>(*source, mView.Measurer(), mView.HostFor(i), width, height, line);
    sheet.built = true;
    mView.BrowserBuilt(i, *sheet.browser);
}

void PresentationTabs::Activate(int i) {
    if (i < 0 || i >= static_cast<int>(mSheets.size())) return;
    mActive = i;
    mView.TabActivated(i);
    Show(i);
}

void PresentationTabs::Show(int i) {
    // The first show builds the tab; every show takes the record of the box.
    Build(i);
    const std::string box = mView.RecordBoxText();
    if (!box.empty()) Locate(i, box);
}

void PresentationTabs::Resized(int i, int width, int height) {
    if (i < 0 || i >= static_cast<int>(mSheets.size())) return;
    my_sheet& sheet = mSheets[static_cast<std::size_t>(i)];
    if (sheet.built && (sheet.browser->PanelWidth() != width || sheet.browser->PanelHeight() != height))
        sheet.browser->Rebuild(width, height);
}

VrBrowser* PresentationTabs::ActiveBrowser() {
    if (mActive < 0 || mActive >= static_cast<int>(mSheets.size())) return nullptr;
    my_sheet& sheet = mSheets[static_cast<std::size_t>(mActive)];
    return sheet.built ? sheet.browser.get() : nullptr;
}

void PresentationTabs::SetFormat(std::int32_t id) {
    if (!mFiles) return;
    BusyCursor busy(mPrompts);
    mFiles->SetFormat(id);
    for (FormatItem& f : mFormats) f.checked = f.id == id;
    mView.FormatsChanged();
    for (my_sheet& s : mSheets)
        if (s.built) s.browser->Redraw();
}

bool PresentationTabs::Locate(int i, const std::string& typed) {
    if (typed.empty() || !mFiles) return false;
    my_sheet& sheet = mSheets[static_cast<std::size_t>(i)];
    if (!sheet.built) return false;
    VrBrowser& browser = *sheet.browser;
    const std::string stored = mFiles->StoredIdentifier(typed);
    if (sheet.kind == my_sheet::Index) {
        const std::string& selected = browser.SelectedKey();
        if (!selected.empty() && sheet.index->EntryIdentifier(selected) == stored) return true;
        const std::string key = sheet.index->LocateRecord(typed);
        browser.Select(key);
        if (!key.empty()) browser.ShowKey(key);
        return !key.empty();
    }
    const std::string& selected = browser.SelectedKey();
    if (!selected.empty() && mLocal->RecordIdentifierOf(selected) == stored) return true;
    const std::string key = mLocal->FindRecord(typed);
    browser.Select(key);
    if (!key.empty()) browser.ShowKey(key);
    return !key.empty();
}

bool PresentationTabs::GoTo(const std::string& typed) { return mActive >= 0 && Locate(mActive, typed); }

bool PresentationTabs::SeekInActive(const std::string& text) {
    VrBrowser* browser = ActiveBrowser();
    if (!browser || mSheets[static_cast<std::size_t>(mActive)].kind != my_sheet::Index) return false;
    const std::string key = mSheets[static_cast<std::size_t>(mActive)].index->SeekKey(text);
    if (key.empty()) return false;
    browser->Select(key);
    browser->ShowKey(key);
    return true;
}

void PresentationTabs::ShowInTab(const std::string& caption, const std::string& identifier) {
    const int i = FindTab(caption);
    if (i < 0) return;
    Activate(i);
    my_sheet& sheet = mSheets[static_cast<std::size_t>(i)];
    if (!sheet.built) return;
    const std::string key = sheet.kind == my_sheet::Index ? sheet.index->SeekKey(identifier)
                                                          : mLocal->FindRecord(identifier);
    if (key.empty()) return;
    sheet.browser->Select(key);
    sheet.browser->ShowKey(key);
}

void PresentationTabs::ShowRemoteCollection(std::int32_t number) {
    if (!mFiles) return;
    mFiles->RemoteCollection = number;
    int i = -1;
    for (std::size_t k = 0; k < mSheets.size(); ++k)
        if (mSheets[k].kind == my_sheet::Index && mSheets[k].caption == RemoteCaption()) i = static_cast<int>(k);
    if (i < 0) return;
    my_sheet& sheet = mSheets[static_cast<std::size_t>(i)];
    sheet.index->Cursor().Parameter = number;
    sheet.index->Cursor().ReleaseCurrent();
    const bool wasBuilt = sheet.built;
    const std::string key = sheet.index->First();
    Activate(i);
    if (!sheet.built) return;
    sheet.browser->Select(key);
    if (wasBuilt) sheet.browser->ShowKey(key);
}

void PresentationTabs::LocateInTab(const std::string& typed, const std::string& caption) {
    const int i = FindTab(caption);
    if (i < 0) return;
    Activate(i);
    Locate(i, typed);
}

void PresentationTabs::SelectRecord(const std::string& key, const std::string& identifier) {
    if (VrBrowser* b = ActiveBrowser()) b->Select(key);
    if (mFiles && !identifier.empty()) mView.PutIntoRecordBox(mFiles->ShownIdentifier(identifier));
}

void PresentationTabs::ShowKeyInActive(const std::string& key) {
    if (VrBrowser* b = ActiveBrowser()) b->ShowKey(key);
}

const velt_KHW* PresentationTabs::ActiveAuthorityFile() const {
    if (!mFiles || mActive < 0 || mActive >= static_cast<int>(mSheets.size())) return nullptr;
    const my_sheet& s = mSheets[static_cast<std::size_t>(mActive)];
    if (s.kind != my_sheet::Index) return nullptr;
    const std::string& link = s.index->Cursor().AuthorityLink;
    if (link.empty()) return nullptr;
    for (const velt_KHW& k : mFiles->AuthorityFiles)
        if (k.Id == link) return &k;
    return nullptr;
}

std::string PresentationTabs::ActiveAuthorityLetter() {
    if (mActive < 0 || mActive >= static_cast<int>(mSheets.size())) return {};
    my_sheet& s = mSheets[static_cast<std::size_t>(mActive)];
    return s.kind == my_sheet::Local ? std::string(" ") : s.index->AuthorityLetter();
}

void PresentationTabs::SelectInActive(const std::string& key) {
    if (VrBrowser* b = ActiveBrowser()) b->Select(key);
}

void PresentationTabs::ShowInLocal(const std::string& key) {
    for (my_sheet& s : mSheets)
        if (s.kind == my_sheet::Local && s.built) s.browser->ShowKey(key);
}

void PresentationTabs::RefreshAllChecks() {
    for (my_sheet& s : mSheets)
        if (s.built) s.browser->RefreshChecks();
}

void PresentationTabs::ShowRecordInLocal(std::int64_t number) {
    if (!mFiles || number <= 0) return;
    ShowInTab(LocalCaption(), mFiles->ShownIdentifier(mFiles->RecordIdentifier(static_cast<std::int32_t>(number))));
}

void PresentationTabs::RedisplayRecord(const std::string& oldIdentifier, const std::string& newIdentifier) {
    if (!mFiles) return;
    for (my_sheet& s : mSheets) {
        if (!s.built) continue;
        std::string key;
        if (s.kind == my_sheet::Index) {
            if (!newIdentifier.empty()) {
                key = s.index->LocateRecord(newIdentifier);
                if (!key.empty()) s.browser->Select(key);
            }
            if (key.empty()) {
                key = s.index->First();
                if (!newIdentifier.empty()) mView.PutIntoRecordBox(newIdentifier);
            }
        } else {
            if (newIdentifier.empty() && !oldIdentifier.empty()) {
                const std::int32_t n = mFiles->RecordNumber(mFiles->StoredIdentifier(oldIdentifier));
                if (n > 0) mLocal->Collection().Exclude(n);
            }
            if (!newIdentifier.empty()) {
                key = mLocal->FindRecord(newIdentifier);
                if (!key.empty()) s.browser->Select(key);
            }
            if (key.empty()) {
                key = mLocal->First();
                if (!newIdentifier.empty()) mView.PutIntoRecordBox(newIdentifier);
            }
        }
        s.browser->ShowKey(key);
    }
}

void PresentationTabs::SetLineHeight(std::int64_t height) {
    const std::int64_t h = std::clamp(height, kMinLineHeight, kMaxLineHeight);
    mShell.Settings().ListLineHeight = h;
    for (my_sheet& s : mSheets)
        if (s.built) s.browser->SetLineHeight(static_cast<int>(h));
}

void PresentationTabs::RebuildAll() {
    for (my_sheet& s : mSheets)
        if (s.built) s.browser->Rebuild(s.browser->PanelWidth(), s.browser->PanelHeight());
}

}  // namespace velt
