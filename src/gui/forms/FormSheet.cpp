#include "gui/forms/FormSheet.h"

#include "forms/FormExpression.h"
#include "forms/my_formular.h"

#include <QApplication>
#include <QWheelEvent>

namespace velt::gui {

FormSheet::FormSheet(QWidget* parent) : QScrollArea(parent), mCanvas(new QWidget) {
    InstallFormFontSubstitutes();
    setFrameShape(QFrame::NoFrame);
    setWidget(mCanvas);
    setWidgetResizable(false);
    mRoot = mControls.Wrap(mCanvas);
    // The form sees the wheel before the controls under the mouse.
    qApp->installEventFilter(this);
}

FormSheet::~FormSheet() {
    qApp->removeEventFilter(this);
    Clear();
}

void FormSheet::Clear() {
    mForm.reset();
    mContext.reset();
}

void FormSheet::Layout(const my_formular& form, my_record& record, FormHost& host, const FormSettings& settings) {
    Clear();
    mModel = &form;
    mRecord = &record;
    mHost = &host;
    mContext = std::make_unique<FormContext>(record, host, mControls, settings);
    Build();
}

void FormSheet::Build() {
    FormSettings& s = mContext->settings;
    // While the sheet is laid out, a written 469 is its visible height in form units.
    s.sheetHeight = mFollowViewport ? RoundHalfEven(viewport()->height() / s.zoom - 2) : FormExpression::kSheetHeight;
    mForm = std::make_unique<my_editor>(*mContext, *mRoot);
    mModel->Build(*mForm, 0, {}, 0);
    mCanvas->resize(std::max(mModel->RightEdge(s), 1), std::max(mModel->BottomEdge(s), 1));
    s.sheetHeight = FormExpression::kSheetHeight;
}

void FormSheet::Relayout(double zoom) {
    if (!mForm) return;
    mForm->Commit();
    mCanvas->hide();
    mForm.reset();
    mContext->settings.zoom = zoom;
    Build();
    mCanvas->show();
}

bool FormSheet::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || !mForm) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || !(w == mCanvas || mCanvas->isAncestorOf(w))) return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int steps = wheel->angleDelta().y() / 120;
    return mForm->Wheel(steps);
}

}  // namespace velt::gui
