#include "app/qt/control_view.h"

#include "app/qt/qt_text.h"

namespace chengxi::qt {

ControlView::ControlView(ui::Control& control, QWidget* widget, FormInput& input)
    : control_(&control), name_(control.name()), widget_(widget), input_(input) {
    widget->setObjectName(toQString(name_));
    widget->setGeometry(control.left(), control.top(), control.width(), control.height());
}

void ControlView::sync() {
    if (control_ == nullptr || widget_ == nullptr) {
        return;
    }
    // isHidden and isEnabledTo read the widget's own flags, not its parents'.
    if (widget_->isHidden() == control_->visible()) {
        widget_->setVisible(control_->visible());
    }
    if (widget_->isEnabledTo(widget_->parentWidget()) == control_->disabled()) {
        widget_->setEnabled(!control_->disabled());
    }
    syncState(*control_);
}

void ControlView::repaintNow() {
    if (widget_ != nullptr) {
        widget_->repaint();
    }
}

QWidget* ControlView::childArea(int) const {
    return widget_;
}

std::unique_ptr<ControlView> makeControlView(ui::Control& control, QWidget* parent,
                                             FormInput& input) {
    switch (control.kind()) {
    case ui::ControlKind::EditBox:
        return makeEditView(control, parent, input);
    case ui::ControlKind::Button:
        return makeButtonView(control, parent, input);
    case ui::ControlKind::TransparentLabel:
    case ui::ControlKind::Label:
        return makeLabelView(control, parent, input);
    case ui::ControlKind::GroupBox:
        return makeGroupBoxView(control, parent, input);
    case ui::ControlKind::ComboBox:
        return makeComboView(control, parent, input);
    case ui::ControlKind::ListBox:
        return makeListBoxView(control, parent, input);
    case ui::ControlKind::ListView:
        if (control.record().barChart) {
            return makeBarChartView(control, parent, input);
        }
        return makeReportView(control, parent, input);
    case ui::ControlKind::ProgressBar:
        return makeProgressView(control, parent, input);
    case ui::ControlKind::TabControl:
        return makeTabView(control, parent, input);
    case ui::ControlKind::PictureBox:
        return makePictureBoxView(control, parent, input);
    case ui::ControlKind::PictureButton:
        return makePictureButtonView(control, parent, input);
    case ui::ControlKind::DrawingPanel:
        return makeDrawingView(control, parent, input);
    case ui::ControlKind::FileDialog:
    case ui::ControlKind::SpreadsheetApplication:
    case ui::ControlKind::Workbook:
    case ui::ControlKind::WorkbookConnection:
        break;
    }
    return nullptr;
}

} // namespace chengxi::qt
