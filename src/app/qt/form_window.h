#pragma once

#include "app/qt/control_view.h"
#include "ui/controls/window.h"
#include "ui/event_table.h"

#include <QPoint>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace chengxi::qt {

// What a window needs from the front end that owns it.
class FormHost {
public:
    virtual ~FormHost() = default;
    virtual bool acceptsInput() const = 0;
    virtual void fire(std::string_view windowId, std::string_view control, ui::Event event,
                      int argument) = 0;
    virtual void activated(std::string_view windowId) = 0;
    // Whether the program binds Enter in this control; without a binding
    // Enter presses the window's default button.
    virtual bool bindsEnter(std::string_view /*windowId*/, std::string_view /*control*/) const {
        return false;
    }
};

// A top-level window built from a window model: borderless, fixed size, blue,
// with a widget for every control at the control's place. It shows the model
// (sync) and reports a person's actions to the host.
class FormWindow final : public QWidget, public FormInput {
    Q_OBJECT
public:
    FormWindow(ui::Window& model, FormHost& host);
    ~FormWindow() override;

    const std::string& windowId() const { return id_; }
    // Null once the model is gone.
    ui::Window* model() const { return model_; }

    // Brings every widget in step with the model.
    void sync();
    // Shows one control's current state at once.
    void paintControl(std::string_view control);
    // The model is about to be destroyed: forget every pointer into it.
    void detach();

    // The widget showing the control (null for controls without a window).
    QWidget* controlWidget(std::string_view control) const;
    // The control whose widget holds `widget`, or empty.
    std::string_view controlOf(const QWidget* widget) const;
    // A person moved the keyboard focus to `widget` inside this window.
    void personFocused(QWidget* widget);

    // FormInput
    bool acceptsInput() const override;
    void fire(std::string_view control, ui::Event event, int argument = 0) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    // The Tab key visits the controls in the model's reading order.
    void arrangeTabOrder();
    ControlView* view(std::string_view control) const;
    void syncWindowState();
    void syncFocus();
    void pressDefaultButton();

    ui::Window* model_;
    FormHost& host_;
    std::string id_;
    std::vector<std::unique_ptr<ControlView>> views_;
    std::unordered_map<std::string_view, ControlView*> byName_;
    bool dragging_ = false;
    QPoint dragOffset_;
    std::uint64_t textSelections_ = 0; // the model's requests already carried out
};

} // namespace chengxi::qt
