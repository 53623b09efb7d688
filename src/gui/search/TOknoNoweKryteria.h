#pragma once
// "Dostępne kryteria": the criteria panel's window. One group box a row of
// the core's panel (criteria/CriteriaPanel.h), stacked in a scrolling area
// at the editor's zoom, the sorting choice and "Wykonaj" below; the first
// criterion's form, when it has one, laid out inside its row. The window
// only shows the rows and hands the buttons to the panel.

#include "criteria/CriteriaPanel.h"

#include <QDialog>

#include <memory>
#include <vector>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace velt::gui {

class FormSheet;

class TOknoNoweKryteria : public QDialog, public CriteriaView {
    Q_OBJECT
public:
    explicit TOknoNoweKryteria(QWidget* parent = nullptr);
    ~TOknoNoweKryteria() override;

    bool ShowCriteria(CriteriaPanel& panel) override;
    // The rows' boxes built, placed and sized for the panel (what showing
    // does before it waits for the user), and taken down again.
    void BuildPanel(CriteriaPanel& panel);
    void ClearRows();

    // While shown: the group box of each row, in the panel's order.
    const std::vector<QGroupBox*>& RowBoxes() const { return mBoxes; }

    QScrollArea* ScrollBox1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;  // "Sortowanie wyniku"
    QComboBox* ComboBox1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Wykonaj"

private:
    QGroupBox* BuildRow(CriteriaRow& row, double zoom);
    void BuildIndexRow(QGroupBox* box, IndexRow& row, double zoom);
    void BuildChoiceRow(QGroupBox* box, ChoiceRow& row, double zoom);
    void BuildFormRow(QGroupBox* box, FormRow& row, double zoom);
    void BuildFilterRow(QGroupBox* box, FilterRow& row, double zoom);
    QToolButton* PictureButton(QWidget* parent, const char* picture, const QString& hint);
    QLineEdit* GreyEdit(QWidget* parent);

    CriteriaPanel* mPanel = nullptr;
    QWidget* mCanvas = nullptr;
    QWidget* mButtons = nullptr;
    std::vector<QGroupBox*> mBoxes;
    std::vector<std::pair<FormRow*, FormSheet*>> mSheets;
};

}  // namespace velt::gui
