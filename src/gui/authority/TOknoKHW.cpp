#include "gui/authority/TOknoKHW.h"

#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"
#include "text/CpLiteral.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace velt::gui {

TOknoKHW::TOknoKHW(QtCellMeasurer& measurer, QWidget* parent) : QDialog(parent), mMeasurer(measurer) {
    setObjectName("OknoKHW");
    setWindowTitle(toQString("Szukaj"));
    auto* layout = new QVBoxLayout(this);
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setMinimumSize(380, 240);
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1, 1);
    auto* label = new QLabel(toQString("&Podaj początkowy fragment szukanego hasła:"_cp), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    label->setBuddy(Edit1);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Button1 = box->button(QDialogButtonBox::Ok);
    Button1->setObjectName("Button1");
    box->button(QDialogButtonBox::Cancel)->setText(toQString("Anuluj"));
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (mModel) mModel->TextChanged(fromQString(text));
    });
    resize(480, 420);
}

TOknoKHW::~TOknoKHW() {
    delete mBrowser;
    mModel.reset();
}

std::string TOknoKHW::Search(velt_files& files, const std::string& start, const std::string& reference) {
    mModel = std::make_unique<TermSearch>(files, reference, *this);
    mBrowser = new BrowserView(mModel->Source(), mMeasurer, 25, Panel1);
    mBrowser->setObjectName("VrBrowser");
    Panel1->layout()->addWidget(mBrowser);
    mModel->Start(start);
    Edit1->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    const std::string result = ok ? mModel->Text() : std::string();
    delete mBrowser;
    mBrowser = nullptr;
    mModel.reset();
    return result;
}

void TOknoKHW::ShowSearchText(const std::string& text) {
    // The model seeks for its own writes itself: the change is not passed back.
    const QSignalBlocker quiet(Edit1);
    Edit1->setText(toQString(text));
}

void TOknoKHW::ShowEntry(const std::string& key) {
    if (!mBrowser) return;
    if (!mBrowser->Browser()) mBrowser->Rebuild();
    VrBrowser* b = mBrowser->Browser();
    b->ShowKey(key);
    b->Select(key);
}

void TOknoKHW::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if (mBrowser && (k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Up || k == Qt::Key_Down) &&
        mBrowser->HandleKey(k))
        return;
    QDialog::keyPressEvent(e);
}

}  // namespace velt::gui
