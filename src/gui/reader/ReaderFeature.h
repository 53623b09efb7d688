#pragma once
// Reader services in the main window: "Kon&to" (the reader's account after
// the identification), the entries' "&" commands (ordering and reserving
// copies from a record's display, then the record shown again), the loan
// form of a reservation, and the closed-orders chooser the record editor's
// command "Z" asks.

#include "gui/shell/FeatureHost.h"
#include "reader/ClosedOrders.h"
#include "reader/OrderFlow.h"

#include <optional>
#include <string>

class QAction;

namespace velt::gui {

class TOknoKont;
class TOknoListyZamowien;
class TOknoZamawiania;

class ReaderFeature : public Feature, public LoanForms {
public:
    void Install(FeatureHost& host) override;

    // A record link's command, or "&op=A" for the account: the reader
    // identified, then the command carried out; true when it was.
    bool Order(const std::string& command);
    // The account window of an identified reader, shown modally.
    void ShowAccount(const ReaderIdentity& reader, const std::string& password);
    // The closed-orders window: the order text picked, or none.
    std::optional<std::string> ChooseClosedOrder();

    // LoanForms: "REZERWACJA"/"drukuj" and the printing of the loan form.
    bool Enabled() override;
    void Print(const LoanFormData& data) override;

    QAction* KontoItem = nullptr;  // "Przeglądanie kont" in "Kon&to"
    TOknoZamawiania* OknoZamawiania = nullptr;
    TOknoListyZamowien* OknoListyZamowien = nullptr;
    // The account window while it is shown.
    TOknoKont* OknoKont = nullptr;

private:
    void RunAccount(ReaderServices& services, const ReaderIdentity& reader, const std::string& password);

    FeatureHost* mHost = nullptr;
};

}  // namespace velt::gui
