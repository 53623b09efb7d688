#include "gui/params/TOknoParametrow.h"

#include "gui/common/PlainMessage.h"
#include "gui/common/QtText.h"
#include "gui/forms/FormMessages.h"
#include "gui/forms/FormSheet.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velt::gui {

TOknoParametrow::TOknoParametrow(Prompts& prompts, QWidget* parent) : QDialog(parent), mPrompts(prompts) {
    setObjectName("OknoParametrow");
    setWindowTitle(toQString("Parametry zestawienia"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PanelFormularza = new FormSheet(this);
    PanelFormularza->setObjectName("PanelFormularza");
    // A written 469 is 469 here: the window is sized to the form, not the form to it.
    PanelFormularza->SetFollowViewport(false);
    layout->addWidget(PanelFormularza, 1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(kPanelHeight);
    layout->addWidget(Panel1);
    Button1 = new QPushButton(toQString("Wykonaj"), Panel1);
    Button1->setObjectName("Button1");
    Button1->setGeometry(8, 11, 80, 25);
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    GroupBox1 = new QGroupBox(toQString("Sortowanie wyniku"), Panel1);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(96, 0, 210, kPanelHeight - 2);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setGeometry(8, 16, 194, 22);
    GroupBox1->hide();
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    connect(Button1, &QPushButton::clicked, this, &TOknoParametrow::Execute);
}

TOknoParametrow::~TOknoParametrow() { PanelFormularza->Clear(); }

bool TOknoParametrow::ShowParameters(ParameterDialog& dialog) {
    mDialog = &dialog;
    setWindowTitle(toQString(dialog.Title()));
    const bool sorting = !dialog.Sort().items.empty();
    ComboBox1->clear();
    if (sorting) {
        for (const auto& item : dialog.Sort().items) ComboBox1->addItem(toQString(item));
        ComboBox1->setCurrentIndex(dialog.Sort().selected);
    }
    GroupBox1->setVisible(sorting);

    PanelFormularza->Layout(dialog.Form(), dialog.Record(), dialog.Host(), dialog.Settings());
    dialog.Attach(PanelFormularza->Form());
    const WindowSize size = ParameterWindowSize(dialog.Form(), dialog.Settings(), kPanelHeight,
                                                Button1->geometry().right() + 1, GroupBox1->geometry().right() + 1,
                                                sorting);
    resize(size.width, size.height);
    // The focus is given once the window is shown: the first editable field, else "Wykonaj".
    QTimer::singleShot(0, this, [this] {
        my_editor* form = PanelFormularza->Form();
        if (!isVisible()) return;
        activateWindow();
        if (!form || !form->FocusFirst()) Button1->setFocus();
    });

    const bool executed = exec() == QDialog::Accepted;
    dialog.SetChosenSort(sorting ? ComboBox1->currentIndex() : dialog.Sort().selected);
    dialog.Attach(nullptr);
    PanelFormularza->Clear();
    GroupBox1->hide();
    mDialog = nullptr;
    return executed;
}

void TOknoParametrow::Execute() {
    if (!mDialog) return;
    const std::vector<std::string> errors = mDialog->Execute();
    if (errors.empty()) {
        accept();
        return;
    }
    // The parameters are not sent: the user sees why and corrects them.
    std::string text;
    for (const auto& e : errors) text += (text.empty() ? "" : "\r\n") + e;
    mPrompts.show_error(text);
}

void TOknoParametrow::trace(const std::string& message) { mPrompts.plain_message(message); }

void TOknoParametrow::ShowFormMessages(const std::vector<FormMessage>& messages) {
    gui::ShowFormMessages(messages, this);
}

std::string TOknoParametrow::ChooseFile(const std::string& fileName, const std::string& filter) {
    if (mChooser) return mChooser(fileName, filter);
    OpenDialog1->setNameFilter(toQString(filter));
    if (!fileName.empty()) OpenDialog1->selectFile(toQPath(fileName));
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty()) return {};
    return fromQPath(OpenDialog1->selectedFiles().first());
}

}  // namespace velt::gui
