#pragma once
// The closed orders: the server's index of orders that were carried out
// (kind 70, parameter 2, prefix "P"), each entry's order text beginning
// with its 15-character number ("ZAM/2026/000017 ..."). The chooser shows
// them one text a line; a double click picks one. The record editor's
// command "Z" calls ChooseClosedOrder.

#include "browse/Vrserwer.h"
#include "catalogue/velt_order.h"

#include <functional>
#include <optional>
#include <string>

namespace velt {

class velt_files;

// The source of the closed-orders list. Its keys are the cursor's entry keys;
// an entry shows its order text. Next steps over the texts that continue
// the same order number.
class zam_server : public Vrserwer {
public:
    explicit zam_server(velt_files& files);

    std::string First() override;
    std::string Last() override;
    std::string Next(const std::string& key) override;
    std::string Prior(const std::string& key) override;
    std::optional<std::vector<std::string>> Lines(const std::string& key) override;
    // "*" makes the entry's text the choice and calls the chosen callback.
    int Action(const std::string& key, const std::string& command) override;

    // Called when the user picked an entry (the window closes accepted).
    void OnChosen(std::function<void()> chosen) { mChosen = std::move(chosen); }
    // The text picked last; none before.
    const std::optional<std::string>& Choice() const { return mChoice; }
    // The order text of an entry; empty when it is not found.
    std::string Text(const std::string& key);

private:
    velt_order mCursor;
    std::function<void()> mChosen;
    std::optional<std::string> mChoice;
};

// The closed-orders window.
class ClosedOrdersWindow {
public:
    virtual ~ClosedOrdersWindow() = default;
    // Shows the list of source modally; true when it closed with a choice.
    virtual bool Choose(zam_server& source) = 0;
};

// The order text the user picked in window, or none (nothing picked, or the
// connection is gone).
std::optional<std::string> ChooseClosedOrder(velt_files& files, ClosedOrdersWindow& window);

}  // namespace velt
