#pragma once

#include "ui/controls/control.h"
#include "ui/event_table.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string_view>

namespace chengxi::qt {

// Where a control's widget reports what a person did.
class FormInput {
public:
    virtual ~FormInput() = default;
    // False while the widgets are being brought in step with the model: the
    // signals they emit then are echoes of the model, not a person's actions.
    virtual bool acceptsInput() const = 0;
    // A person's action on a control of this window.
    virtual void fire(std::string_view control, ui::Event event, int argument = 0) = 0;
};

// One control of the model and the widget that shows it. The view copies the
// model's state into the widget (sync) and feeds a person's input back into
// the model through FormInput.
class ControlView {
public:
    ControlView(ui::Control& control, QWidget* widget, FormInput& input);
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    QWidget* widget() const { return widget_; }
    // Null once the window's model is gone.
    ui::Control* control() const { return control_; }
    std::string_view name() const { return name_; }

    // Makes the widget show the model's current state: shown, enabled and
    // the kind's own state.
    void sync();
    // The model is about to be destroyed: forget every pointer into it.
    virtual void detach() { control_ = nullptr; }
    // Paints the widget at once, before the running operation returns.
    virtual void repaintNow();
    // The widget the children on `page` sit in: a tab page, or the widget itself.
    virtual QWidget* childArea(int page) const;

protected:
    virtual void syncState(ui::Control& control) = 0;
    FormInput& input() const { return input_; }
    // The receiver of the widget's signals: it goes with the view, so a signal
    // sent while the widgets are torn down reaches no dead view.
    QObject* context() { return &context_; }
    // The model, only while a person's input may change it.
    ui::Control* acceptingControl() const { return input_.acceptsInput() ? control_ : nullptr; }

private:
    ui::Control* control_;
    std::string name_;
    QPointer<QWidget> widget_;
    FormInput& input_;
    QObject context_;
};

// The widget of one control kind, created as a child of `parent` at the
// control's place. Null for the kinds without a window of their own (the file
// dialog and the spreadsheet objects).
std::unique_ptr<ControlView> makeControlView(ui::Control& control, QWidget* parent,
                                             FormInput& input);

// Per kind; used by makeControlView.
std::unique_ptr<ControlView> makeEditView(ui::Control& control, QWidget* parent, FormInput& input);
std::unique_ptr<ControlView> makeButtonView(ui::Control& control, QWidget* parent,
                                            FormInput& input);
std::unique_ptr<ControlView> makeLabelView(ui::Control& control, QWidget* parent, FormInput& input);
std::unique_ptr<ControlView> makeGroupBoxView(ui::Control& control, QWidget* parent,
                                              FormInput& input);
// A list view whose form shows it as a bar chart (Qt Charts).
std::unique_ptr<ControlView> makeBarChartView(ui::Control& control, QWidget* parent,
                                              FormInput& input);
std::unique_ptr<ControlView> makeComboView(ui::Control& control, QWidget* parent, FormInput& input);
std::unique_ptr<ControlView> makeProgressView(ui::Control& control, QWidget* parent,
                                              FormInput& input);
std::unique_ptr<ControlView> makeTabView(ui::Control& control, QWidget* parent, FormInput& input);
std::unique_ptr<ControlView> makeListBoxView(ui::Control& control, QWidget* parent,
                                             FormInput& input);
std::unique_ptr<ControlView> makeReportView(ui::Control& control, QWidget* parent,
                                            FormInput& input);
std::unique_ptr<ControlView> makePictureBoxView(ui::Control& control, QWidget* parent,
                                                FormInput& input);
std::unique_ptr<ControlView> makePictureButtonView(ui::Control& control, QWidget* parent,
                                                   FormInput& input);
std::unique_ptr<ControlView> makeDrawingView(ui::Control& control, QWidget* parent,
                                             FormInput& input);

} // namespace chengxi::qt
