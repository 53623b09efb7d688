#pragma once
// The password window ("Zmień hasło"): one masked entry under a prompt.

#include "login/LoginFlow.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velt::gui {

class TOknoZmianyHasla : public QDialog, public PasswordAsker {
    Q_OBJECT
public:
    explicit TOknoZmianyHasla(QWidget* parent = nullptr);

    // Shows the window with prompt in Label1 and an empty entry; the entry
    // when accepted, nothing when the user gave up.
    std::optional<std::string> AskPassword(const std::string& prompt) override;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
};

}  // namespace velt::gui
