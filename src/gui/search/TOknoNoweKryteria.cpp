#include "gui/search/TOknoNoweKryteria.h"

#include "forms/my_editor.h"
#include "forms/my_formular.h"
#include "gui/browse/PictureCache.h"
#include "gui/common/QtText.h"
#include "gui/forms/FormSheet.h"
#include "text/CpLiteral.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace velt::gui {

namespace {

constexpr int kButtonPanelHeight = 58;

int Scaled(int pixels, double zoom) { return static_cast<int>(std::lround(pixels * zoom)); }

QRect At(int left, int width, double zoom) { return QRect(Scaled(left, zoom), Scaled(16, zoom), Scaled(width, zoom), Scaled(20, zoom)); }

}  // namespace

TOknoNoweKryteria::TOknoNoweKryteria(QWidget* parent) : QDialog(parent) {
    setObjectName("TOknoNoweKryteria");
    setWindowTitle(toQString("Dostępne kryteria"_cp));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(ScrollBox1, 1);

    mButtons = new QWidget(this);
    mButtons->setObjectName("Panel1");
    mButtons->setFixedHeight(kButtonPanelHeight);
    auto* buttons = new QHBoxLayout(mButtons);
    buttons->setContentsMargins(8, 2, 8, 6);
    GroupBox1 = new QGroupBox(toQString("Sortowanie wyniku"), mButtons);
    GroupBox1->setObjectName("GroupBox1");
    auto* sort = new QHBoxLayout(GroupBox1);
    sort->setContentsMargins(6, 2, 6, 4);
    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setMinimumWidth(200);
    sort->addWidget(ComboBox1);
    buttons->addWidget(GroupBox1);
    buttons->addStretch(1);
    Button1 = new QPushButton(toQString("&Wykonaj"), mButtons);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button1->setAutoDefault(true);
    buttons->addWidget(Button1, 0, Qt::AlignBottom);
    layout->addWidget(mButtons);
    connect(Button1, &QPushButton::clicked, this, [this] {
        // What is being typed in a form row counts.
        for (auto& [row, sheet] : mSheets)
            if (sheet->Form()) sheet->Form()->Commit();
        if (mPanel && GroupBox1->isVisible()) mPanel->SetSortChosen(ComboBox1->currentIndex());
        accept();
    });
}

TOknoNoweKryteria::~TOknoNoweKryteria() { ClearRows(); }

QToolButton* TOknoNoweKryteria::PictureButton(QWidget* parent, const char* picture, const QString& hint) {
    auto* b = new QToolButton(parent);
    b->setAutoRaise(false);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::TabFocus);
    const QImage& image = PictureCache::Instance().File(PictureCache::Instance().ImageDirectory(), picture);
    if (!image.isNull()) b->setIcon(QIcon(QPixmap::fromImage(image)));
    return b;
}

QLineEdit* TOknoNoweKryteria::GreyEdit(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, QColor(224, 224, 224));
    e->setPalette(p);
    return e;
}

void TOknoNoweKryteria::BuildIndexRow(QGroupBox* box, IndexRow& row, double zoom) {
    auto* edit = new QLineEdit(box);
    edit->setObjectName("Edit1");
    edit->setGeometry(At(2, 230, zoom));
    edit->setText(toQString(row.Text()));
    QToolButton* clear = PictureButton(box, "usun.bmp", toQString("Wyczyść"_cp));
    clear->setObjectName("Usun");
    clear->setGeometry(At(388, 20, zoom));
    clear->setVisible(row.ClearVisible());
    connect(edit, &QLineEdit::textChanged, box, [&row, clear](const QString& text) {
        row.SetText(fromQString(text));
        clear->setVisible(row.ClearVisible());
    });
    connect(clear, &QToolButton::clicked, edit, [edit] {
        edit->clear();
        edit->setFocus();
    });
    if (row.HasAuthority()) {
        QToolButton* khw = PictureButton(box, "khw.bmp", toQString("Kartoteka wzorcowa"));
        khw->setObjectName("KHW");
        khw->setGeometry(At(232, 20, zoom));
        connect(khw, &QToolButton::clicked, edit, [this, &row, edit] {
            mPanel->LookUpAuthority(row);
            edit->setText(toQString(row.Text()));
        });
    }
    auto* kinds = new QComboBox(box);
    kinds->setObjectName("Rodzaj");
    kinds->setGeometry(At(270, 118, zoom));
    for (const IndexKindName& k : IndexKinds()) kinds->addItem(toQString(k.shown));
    kinds->setCurrentIndex(row.Kind());
    connect(kinds, &QComboBox::currentIndexChanged, box, [&row](int index) { row.SetKind(index); });
}

void TOknoNoweKryteria::BuildChoiceRow(QGroupBox* box, ChoiceRow& row, double zoom) {
    QLineEdit* edit = GreyEdit(box);
    edit->setObjectName("Edit1");
    edit->setGeometry(At(2, 366, zoom));
    edit->setText(toQString(row.Display()));
    QToolButton* choose = PictureButton(box, "szczegol.bmp", toQString("Wybierz"));
    choose->setObjectName("Wybierz");
    choose->setGeometry(At(368, 20, zoom));
    QToolButton* clear = PictureButton(box, "usun.bmp", toQString("Wyczyść"_cp));
    clear->setObjectName("Usun");
    clear->setGeometry(At(388, 20, zoom));
    clear->setVisible(row.ClearVisible());
    auto show = [&row, edit, clear] {
        edit->setText(toQString(row.Display()));
        clear->setVisible(row.ClearVisible());
    };
    connect(choose, &QToolButton::clicked, box, [this, &row, show] {
        mPanel->Choose(row);
        show();
    });
    connect(clear, &QToolButton::clicked, box, [&row, show] {
        row.SetChosen({});
        show();
    });
}

void TOknoNoweKryteria::BuildFormRow(QGroupBox* box, FormRow& row, double zoom) {
    auto* sheet = new FormSheet(box);
    sheet->setObjectName("PanelFormularza");
    sheet->SetFollowViewport(false);
    sheet->setFrameShape(QFrame::NoFrame);
    sheet->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sheet->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const FormSettings& settings = mPanel->Settings().settings;
    sheet->setGeometry(Scaled(5, zoom), Scaled(20, zoom), row.Form()->RightEdge(settings) + 2,
                       row.Form()->BottomEdge(settings) + 2);
    sheet->Layout(*row.Form(), row.Record(), row.Host(), settings);
    row.Attach(sheet->Form());
    mSheets.emplace_back(&row, sheet);
}

void TOknoNoweKryteria::BuildFilterRow(QGroupBox* box, FilterRow& row, double zoom) {
    QLineEdit* edit = GreyEdit(box);
    edit->setObjectName("Edit1");
    edit->setGeometry(At(2, 386, zoom));
    edit->setText(toQString(row.Description()));
    QToolButton* choose = PictureButton(box, "szczegol.bmp", toQString("Ustaw filtr"));
    choose->setObjectName("Wybierz");
    choose->setGeometry(At(388, 20, zoom));
    connect(choose, &QToolButton::clicked, box, [this, &row, edit] {
        mPanel->ChooseFilters(row);
        edit->setText(toQString(row.Description()));
    });
}

QGroupBox* TOknoNoweKryteria::BuildRow(CriteriaRow& row, double zoom) {
    auto* box = new QGroupBox(toQString(row.Caption()), mCanvas);
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(std::max(8, Scaled(11, zoom)));
    box->setFont(bold);
    switch (row.Class()) {
        case RowClass::Index: BuildIndexRow(box, static_cast<IndexRow&>(row), zoom); break;
        case RowClass::Criterium: BuildChoiceRow(box, static_cast<ChoiceRow&>(row), zoom); break;
        case RowClass::Full: BuildFormRow(box, static_cast<FormRow&>(row), zoom); break;
        case RowClass::Filter: BuildFilterRow(box, static_cast<FilterRow&>(row), zoom); break;
    }
    return box;
}

void TOknoNoweKryteria::ClearRows() {
    // The forms go before their rows: nothing reports to a row that is gone.
    for (auto& [row, sheet] : mSheets) {
        row->Attach(nullptr);
        sheet->Clear();
    }
    mSheets.clear();
    mBoxes.clear();
    if (ScrollBox1) delete ScrollBox1->takeWidget();
    mCanvas = nullptr;
}

bool TOknoNoweKryteria::ShowCriteria(CriteriaPanel& panel) {
    BuildPanel(panel);
    // The first row's text takes the focus once shown.
    QTimer::singleShot(0, this, [this] {
        for (QGroupBox* box : mBoxes)
            if (auto* edit = box->findChild<QLineEdit*>("Edit1"); edit && !edit->isReadOnly()) {
                edit->setFocus();
                return;
            }
        Button1->setFocus();
    });
    const bool executed = exec() == QDialog::Accepted;
    ClearRows();
    mPanel = nullptr;
    return executed;
}

void TOknoNoweKryteria::BuildPanel(CriteriaPanel& panel) {
    mPanel = &panel;
    ClearRows();
    const double zoom = panel.Settings().settings.zoom > 0 ? panel.Settings().settings.zoom : 1.0;
    mCanvas = new QWidget;
    mCanvas->setObjectName("Canvas");
    std::vector<RowSize> sizes;
    for (const auto& row : panel.Rows()) {
        mBoxes.push_back(BuildRow(*row, zoom));
        sizes.push_back(SizeOfRow(*row, zoom, panel.Settings().settings));
    }
    const QScreen* screen = this->screen();
    const int workArea = screen ? screen->availableGeometry().height() - 40 : 2000;
    const PanelGeometry g = PlacePanel(sizes, zoom, 0, kButtonPanelHeight, workArea);
    for (std::size_t i = 0; i < mBoxes.size(); ++i)
        mBoxes[i]->setGeometry(0, g.tops[i], g.clientWidth, sizes[i].height);
    mCanvas->resize(g.clientWidth, g.contentHeight);
    ScrollBox1->setWidget(mCanvas);

    const bool sorting = !panel.SortItems().empty();
    ComboBox1->clear();
    for (const std::string& item : panel.SortItems()) ComboBox1->addItem(toQString(item));
    if (sorting) ComboBox1->setCurrentIndex(panel.SortSelected());
    GroupBox1->setVisible(sorting);

    const int scrollBar = g.scrolls ? ScrollBox1->verticalScrollBar()->sizeHint().width() : 0;
    setFixedWidth(g.clientWidth + scrollBar);
    resize(g.clientWidth + scrollBar, g.windowHeight);
    setMinimumHeight(std::min(g.windowHeight, kButtonPanelHeight + Scaled(80, zoom)));
    setMaximumHeight(g.contentHeight + kButtonPanelHeight);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

}  // namespace velt::gui
