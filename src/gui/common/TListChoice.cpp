#include "gui/common/TListChoice.h"

#include "browse/ListChoiceSource.h"
#include "gui/browse/BrowserView.h"
#include "gui/common/QtText.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velt::gui {

TListChoice::TListChoice(QtCellMeasurer& measurer, QWidget* parent) : QDialog(parent), mMeasurer(measurer) {
    setObjectName("TListChoice");
    setWindowTitle(toQString(ListChoiceTitle()));
    auto* layout = new QVBoxLayout(this);
    Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setMinimumSize(320, 200);
    auto* panel = new QVBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1, 1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText(toQString("Anuluj"));
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    resize(460, 420);
}

TListChoice::~TListChoice() {
    delete mBrowser;
    mSource.reset();
}

int TListChoice::ShowListChoice(const std::vector<ListChoiceEntry>& entries) {
    mChosen = -1;
    // A click selects the entry: that is the choice.
    mSource = std::make_unique<ListChoiceSource>(entries, [this](int index) {
        mChosen = index;
        accept();
    });
    // Taller cells for entries of several lines.
    std::size_t lines = 1;
    for (const auto& e : entries) lines = std::max<std::size_t>(lines, std::count(e.text.begin(), e.text.end(), '\r') + 1);
    mBrowser = new BrowserView(*mSource, mMeasurer, static_cast<int>(std::min<std::size_t>(lines, 6) * 20 + 6), Panel1);
    mBrowser->setObjectName("VrBrowser");
    Panel1->layout()->addWidget(mBrowser);
    const bool ok = exec() == QDialog::Accepted;
    delete mBrowser;
    mBrowser = nullptr;
    mSource.reset();
    return ok ? mChosen : -1;
}

void TListChoice::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    if (mBrowser && (k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Up || k == Qt::Key_Down) &&
        mBrowser->HandleKey(k))
        return;
    QDialog::keyPressEvent(e);
}

}  // namespace velt::gui
