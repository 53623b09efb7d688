#pragma once
// The login window ("Logowanie"): user name and password for the current
// catalogue; OK logs in through the login flow.

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velt {
class LoginFlow;
class velt_files;
}

namespace velt::gui {

class TOknoLogowania : public QDialog {
    Q_OBJECT
public:
    TOknoLogowania(LoginFlow& flow, QWidget* parent = nullptr);

    // Shows the window for files; true when it closed after a successful login.
    bool ShowLogin(velt_files& files);

    // The user name proposed when the window opens.
    std::string ProposedUser;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void Button1Click();

    LoginFlow& mFlow;
    velt_files* mFiles = nullptr;
};

}  // namespace velt::gui
