#include "gui/authority/AuthorityFeature.h"

#include "authority/AuthorityEntries.h"
#include "browse/PresentationTabs.h"
#include "catalogue/velt_files.h"
#include "editing/TEdycja.h"
#include "gui/authority/TOknoKHW.h"
#include "gui/authority/TOknoKHWNowe.h"
#include "gui/authority/TSmallBrowser.h"
#include "gui/common/GuiPrompts.h"
#include "gui/common/QtText.h"
#include "gui/shell/DesktopServices.h"
#include "links/LinkChoice.h"
#include "shell/VeltShell.h"
#include "text/CpLiteral.h"

#include <QMainWindow>
#include <QPushButton>

namespace velt::gui {

namespace {

TEdycja* EditingOf(FeatureHost& host) { return dynamic_cast<TEdycja*>(host.Shell().Flow().Editing()); }

}  // namespace

void AuthorityFeature::Install(FeatureHost& host) {
    mHost = &host;
    SpeedButton1 = new QPushButton(toQString("Kartoteka wzorcowa"), &host.Window());
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setToolTip(toQString("Wyszukaj w kartotece wzorcowej"));
    SpeedButton1->setVisible(false);
    QObject::connect(SpeedButton1, &QPushButton::clicked, &host.Window(), [this] { LookUpActiveIndex(); });
    host.AddSideWidget(SpeedButton1);
}

void AuthorityFeature::StateChanged(const ShellState& state) {
    const velt_files* files = mHost->Shell().Current();
    SpeedButton1->setVisible(state.Connected && files && !files->AuthorityFiles.empty());
}

TOknoKHWNowe* AuthorityFeature::OknoKHWNowe() {
    if (!mLookup) mLookup = new TOknoKHWNowe(mHost->Measurer(), &mHost->Window());
    return mLookup;
}

TOknoKHW* AuthorityFeature::OknoKHW() {
    if (!mSearch) mSearch = new TOknoKHW(mHost->Measurer(), &mHost->Window());
    return mSearch;
}

TSmallBrowser* AuthorityFeature::SmallBrowser() {
    if (!mChooser) {
        TSmallBrowser::Desktop desktop;
        desktop.showPicture = [this](const std::string& path) { mHost->Desktop().ShowJpeg(path); };
        desktop.startProgram = [this](const std::string& program, const std::string& parameters) {
            mHost->Desktop().StartProgram(program, parameters);
        };
        // The record-links window, when the program has it.
        desktop.showLinks = [this](const ChooserLinks& links) {
            LinkWindows* windows = mHost->Find<LinkWindows>();
            if (!windows || !links.files) return;
            if (links.tree)
                windows->ChooseInTree(*links.files, links.identifier, links.structure, links.pick, links.goTo,
                                      links.componentFormat);
            else
                windows->ChooseInList(*links.files, links.identifier, links.structure, links.pick, links.goTo);
        };
        mChooser = new TSmallBrowser(mHost->Measurer(), std::move(desktop), &mHost->Window());
    }
    return mChooser;
}

std::string AuthorityFeature::Lookup(velt_files& files, const velt_KHW& file, char mode, const std::string& start) {
    return OknoKHWNowe()->Lookup(files, file, mode, start, GuiPrompts::Instance(), this);
}

std::string AuthorityFeature::TermSearch(velt_files& files, const std::string& start, const std::string& reference) {
    return OknoKHW()->Search(files, start, reference);
}

ChosenRecord AuthorityFeature::SelectRecord(velt_files& files, const std::string& startIdentifier,
                                            const std::string& startText, int indexPosition) {
    return SmallBrowser()->SelectRecord(files, startIdentifier, startText, indexPosition, GuiPrompts::Instance(),
                                        GuiPrompts::Instance(), mHost->Shell().Settings().WorkingDirectory);
}

ChosenRecord AuthorityFeature::SelectInStructure(velt_files& files, const std::string& startIdentifier,
                                                 const std::string& formatType) {
    return SmallBrowser()->SelectInStructure(files, startIdentifier, formatType, GuiPrompts::Instance(),
                                             GuiPrompts::Instance(), mHost->Shell().Settings().WorkingDirectory);
}

bool AuthorityFeature::CanEdit(const std::string& kindLetter) {
    TEdycja* editing = EditingOf(*mHost);
    return editing && editing->Kinds().Find(kindLetter);
}

void AuthorityFeature::OpenRecord(const std::string& code, const std::string& identifier) {
    if (TEdycja* editing = EditingOf(*mHost)) editing->OpenRecord(code, identifier);
}

void AuthorityFeature::DeleteRecord(const std::string& identifier) {
    if (TEdycja* editing = EditingOf(*mHost)) editing->DeleteRecord(identifier);
}

void AuthorityFeature::NewRecord(const std::string& code) {
    if (TEdycja* editing = EditingOf(*mHost)) editing->NewRecord(code);
}

void AuthorityFeature::ShowEditor() {
    if (TEdycja* editing = EditingOf(*mHost)) editing->ShowEditor();
}

void AuthorityFeature::LookUpActiveIndex() {
    velt_files* files = mHost->Shell().Current();
    PresentationTabs& tabs = mHost->Tabs();
    if (!files || !files->Ready || tabs.Active() < 0) return;
    const std::string text = mHost->SearchText();
    std::string result;
    if (const velt_KHW* file = tabs.ActiveAuthorityFile()) {
        const velt_KHW copy = *file;
        result = Lookup(*files, copy, 'K', text);
    } else if (const std::string letter = tabs.ActiveAuthorityLetter(); !letter.empty() && letter != " ") {
        result = TermSearch(*files, text, letter);
    }
    // A heading with its link is sought by its heading.
    if (!result.empty()) mHost->SeekInActive(HeadingText(result));
}

}  // namespace velt::gui
