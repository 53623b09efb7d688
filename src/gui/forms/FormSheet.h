#pragma once
// The host window of one laid-out form: a scrolling sheet on which a form
// model is laid out for a record, with the host's callback hearing its
// events. The record editing window and the parameter window put their forms
// on one of these; the tests drive it offscreen.

#include "forms/FormSettings.h"
#include "forms/my_editor.h"
#include "gui/forms/QtFormControls.h"

#include <QScrollArea>

#include <memory>


namespace velt {
class my_formular;
}

namespace velt::gui {

class FormSheet : public QScrollArea {
    Q_OBJECT
public:
    explicit FormSheet(QWidget* parent = nullptr);
    ~FormSheet() override;

    // Lays the form out for the record; a written 469 stands for the sheet's
    // visible height. The model, record and host must outlive the layout.
    void Layout(const my_formular& form, my_record& record, FormHost& host, const FormSettings& settings);
    // Lays the same form out again at another zoom: commits the control being
    // edited, removes every control and builds them anew.
    void Relayout(double zoom);
    // Removes the laid-out form (nothing is reported on the way).
    void Clear();
    // Whether a written 469 stands for the visible height (the editing
    // window's sheets, the default) or stays 469 (the parameter window).
    void SetFollowViewport(bool follow) { mFollowViewport = follow; }

    my_editor* Form() const { return mForm.get(); }
    FormContext* Context() const { return mContext.get(); }
    QtControlFactory& Controls() { return mControls; }
    // The widget the form's controls sit on.
    QWidget* Canvas() const { return mCanvas; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();

    QWidget* mCanvas;
    QtControlFactory mControls;
    std::unique_ptr<QtFormControl> mRoot;
    const my_formular* mModel = nullptr;
    my_record* mRecord = nullptr;
    FormHost* mHost = nullptr;
    std::unique_ptr<FormContext> mContext;
    std::unique_ptr<my_editor> mForm;
    bool mFollowViewport = true;
};

}  // namespace velt::gui
