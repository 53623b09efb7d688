#include "reader/ClosedOrders.h"

#include "catalogue/velt_files.h"
#include "text/CpLiteral.h"

namespace velt {

namespace {

constexpr std::uint8_t kClosedOrdersKind = 70;
constexpr std::int32_t kClosedOrdersParameter = 2;
constexpr int kOrderTextItem = 7;
// An order number is the text's first 15 characters.
constexpr std::size_t kNumberLength = 15;

}  // namespace

zam_server::zam_server(velt_files& files)
    : mCursor(&files.Connection(), "P", kClosedOrdersParameter, kClosedOrdersKind, "zamówienia"_cp) {}

std::string zam_server::Text(const std::string& key) {
    return mCursor.Find(key) ? mCursor.Current->Item(kOrderTextItem) : std::string();
}

std::string zam_server::First() {
    mCursor.First();
    return mCursor.CurrentKey();
}

std::string zam_server::Last() {
    mCursor.Last();
    if (!mCursor.Current) return {};
    // A copy: seeking lets the entry go before the request is sent.
    const std::string text = mCursor.Current->Item(kOrderTextItem);
    mCursor.Seek(text);
    return mCursor.CurrentKey();
}

std::string zam_server::Next(const std::string& key) {
    if (!mCursor.Find(key)) return {};
    const std::string text = mCursor.Current->Item(kOrderTextItem);
    // Past every text of the same order number: its 15th character one
    // higher. A 15th character that cannot go higher, or a text too short to
    // have a number, seeks the text itself.
    std::string target = text;
    if (text.size() >= kNumberLength && static_cast<unsigned char>(text[kNumberLength - 1]) != 0xFF) {
        target = text.substr(0, kNumberLength);
        target.back() = static_cast<char>(static_cast<unsigned char>(target.back()) + 1);
    }
    mCursor.Seek(target);
    const std::string landed = mCursor.CurrentKey();
    if (!landed.empty() && landed > key) return landed;
    // The seek did not get past the entry: one step from it.
    if (!mCursor.Find(key)) return {};
    mCursor.Next();
    return mCursor.CurrentKey();
}

std::string zam_server::Prior(const std::string& key) {
    if (!mCursor.Find(key)) return {};
    const std::string text = mCursor.Current->Item(kOrderTextItem);
    mCursor.Seek(text);
    mCursor.Prior();
    return mCursor.CurrentKey();
}

std::optional<std::vector<std::string>> zam_server::Lines(const std::string& key) {
    if (!mCursor.Find(key)) return std::nullopt;
    return std::vector<std::string>{mCursor.Current->Item(kOrderTextItem)};
}

int zam_server::Action(const std::string& key, const std::string& command) {
    if (command != "*" || !mCursor.Find(key)) return 0;
    mChoice = mCursor.Current->Item(kOrderTextItem);
    if (mChosen) mChosen();
    return 0;
}

std::optional<std::string> ChooseClosedOrder(velt_files& files, ClosedOrdersWindow& window) {
    if (files.Broken()) return std::nullopt;
    zam_server source(files);
    if (!window.Choose(source)) return std::nullopt;
    return source.Choice();
}

}  // namespace velt
