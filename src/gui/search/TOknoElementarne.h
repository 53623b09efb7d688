#pragma once
// "Zapytanie elementarne": an expression over one index from searched
// texts, a match kind and the operators or, and, except.

#include "search/SearchService.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace velt::gui {

class TOknoElementarne : public QDialog {
    Q_OBJECT
public:
    TOknoElementarne(SearchService& service, QWidget* parent = nullptr);

    // Looks a heading up for a criterion's authority link from a start
    // text; the heading, empty when nothing was chosen.
    using AuthorityAsk = std::function<std::string(const std::string& link, const std::string& text)>;

    // The window for the index name (caption "Szukaj wg " and the quoted
    // name), shown modally; with an authority link, "Kartoteka wzorcowa"
    // looks the heading up.
    void question(const std::string& index, const std::string& authorityLink = {});
    // Shown without its modal loop (tests drive it then).
    void Prepare(const std::string& index, const std::string& authorityLink = {});
    void SetAuthorityAsk(AuthorityAsk ask) { mAuthority = std::move(ask); }

    QPlainTextEdit* wzorce = nullptr;
    QRadioButton* rowny = nullptr;
    QRadioButton* poczatek = nullptr;
    QRadioButton* slowo = nullptr;
    QRadioButton* liczba = nullptr;
    QRadioButton* wzorzec = nullptr;
    QPushButton* Button2 = nullptr;  // "Poszerz (lub)"
    QPushButton* Button3 = nullptr;  // "Zawęż (i)"
    QPushButton* Button4 = nullptr;  // "Zawęż (oprócz)"
    QPlainTextEdit* wyrazenie = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* Button5 = nullptr;  // "Poprzednie"
    QPushButton* Button1 = nullptr;  // "OK"
    QPushButton* KHWButton = nullptr;  // "Kartoteka wzorcowa"

private:
    ElementaryState State() const;
    void Show(const ElementaryState& state);
    MatchKind Kind() const;
    void Operator(QueryOperator op);
    void Ok();

    SearchService& mService;
    std::string mIndex;
    std::string mLink;
    AuthorityAsk mAuthority;
    int mPrevious = -1;
};

}  // namespace velt::gui
