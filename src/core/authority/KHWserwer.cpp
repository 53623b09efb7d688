#include "authority/KHWserwer.h"

#include "authority/AuthorityEntries.h"
#include "browse/CellMarkup.h"
#include "catalogue/velt_files.h"

namespace velt {

KHWserwer::KHWserwer(velt_files& files, ActionHandler onAction) : mFiles(files), mOnAction(std::move(onAction)) {}

void KHWserwer::SetIndex(std::uint8_t kind, std::int32_t parameter, const std::string& prefix, const std::string& name) {
    mCursor = std::make_unique<velt_order>(&mFiles.Connection(), prefix, parameter, kind, name);
    mCursor->Format = mFiles.FormatByType("KHW");
}

std::string KHWserwer::First() {
    if (!mCursor) return {};
    mCursor->First();
    return mCursor->CurrentKey();
}

std::string KHWserwer::Last() {
    if (!mCursor) return {};
    mCursor->Last();
    return mCursor->CurrentKey();
}

std::string KHWserwer::Next(const std::string& key) {
    if (!mCursor || !mCursor->Find(key)) return {};
    mCursor->Next();
    return mCursor->CurrentKey();
}

std::string KHWserwer::Prior(const std::string& key) {
    if (!mCursor || !mCursor->Find(key)) return {};
    mCursor->Prior();
    return mCursor->CurrentKey();
}

std::optional<std::vector<std::string>> KHWserwer::Lines(const std::string& key) {
    if (key.empty()) return std::nullopt;
    if (!mCursor || !mCursor->Find(key)) return std::vector<std::string>{};
    return SplitDisplayLines(EntryDisplay(*mCursor->Current));
}

int KHWserwer::Action(const std::string& key, const std::string& command) {
    return mOnAction ? mOnAction(key, command) : 0;
}

}  // namespace velt
