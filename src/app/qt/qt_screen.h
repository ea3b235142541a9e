#pragma once

#include "app/qt/form_window.h"
#include "ui/screen.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace chengxi::app {
class Program;
}

namespace chengxi::qt {

// The screen services on Qt, and the glue between the program and its
// windows: a person's action goes into the program, then every open window
// is brought in step with the model.
class QtScreen final : public QObject, public ui::Screen, public FormHost {
    Q_OBJECT
public:
    QtScreen();
    ~QtScreen() override;

    // The program whose windows this screen shows; before Program::start().
    void attach(app::Program& program);
    // The program is about to be destroyed: its windows go, and nothing
    // reaches it any more.
    void detach();

    // Brings every open window in step with the model.
    void syncAll();
    // The window showing the model's window, null when it is not open.
    FormWindow* formWindow(std::string_view windowId) const;

    // Tests and tools answer the dialogs and see the end themselves.
    using MessageBoxHandler = std::function<ui::Answer(const ui::Message&)>;
    using FileDialogHandler = std::function<bool(ui::FileDialogState&)>;
    using PrintHandler = std::function<bool(const ui::PrintDocument&)>;
    using EndHandler = std::function<void(int exitCode)>;
    void setMessageBoxHandler(MessageBoxHandler handler) { messageBox_ = std::move(handler); }
    void setFileDialogHandler(FileDialogHandler handler) { fileDialog_ = std::move(handler); }
    void setEndHandler(EndHandler handler) { end_ = std::move(handler); }
    void setPrintHandler(PrintHandler handler) { print_ = std::move(handler); }

    // FormHost: a person's actions.
    bool acceptsInput() const override;
    void fire(std::string_view windowId, std::string_view control, ui::Event event,
              int argument = 0) override;
    void activated(std::string_view windowId) override;
    bool bindsEnter(std::string_view windowId, std::string_view control) const override;

    // Screen
    ui::Answer messageBox(const ui::Message& message) override;
    void repaintNow(const ui::Window& window, const ui::Control& control) override;
    bool showFileDialog(ui::FileDialogState& dialog) override;
    bool printDocument(const ui::PrintDocument& document) override;
    void setClipboardText(const std::string& text) override;
    std::string clipboardText() override;
    ui::PrintResult print(const ui::Printout& printout, const std::string& pdfPath) override;
    void windowOpened(ui::Window& window) override;
    void windowClosing(ui::Window& window) override;
    void programEnded(int exitCode) override;

private:
    // While the widgets are brought in step, their signals are not a person's.
    class SyncScope {
    public:
        explicit SyncScope(QtScreen& screen) : screen_(screen) { ++screen_.syncing_; }
        ~SyncScope() { --screen_.syncing_; }
        SyncScope(const SyncScope&) = delete;
        SyncScope& operator=(const SyncScope&) = delete;

    private:
        QtScreen& screen_;
    };

    struct Throttle {
        qint64 paintedAt = -1; // on clock_; -1 before the first paint
        bool pending = false;
    };
    using ControlKey = std::pair<std::string, std::string>; // window id, control name
    using Throttles = std::map<ControlKey, Throttle>;
    // The control that asked last, so a listing that asks for every row finds
    // its throttle without building the key again.
    struct LastRepaint {
        const ui::Window* window = nullptr;
        const ui::Control* control = nullptr;
        Throttles::iterator throttle;
    };

    FormWindow* formFor(const ui::Window& window) const;
    // Takes the window off the screen; it is deleted once control is back in the event loop.
    void retire(std::vector<std::unique_ptr<FormWindow>>::iterator form);
    // After the program returns: the activations that came meanwhile, then a sync.
    void afterProgram();
    Throttles::iterator throttleOf(const FormWindow& form, const ui::Window& window,
                                   const ui::Control& control);
    void paint(const ControlKey& key, Throttle& throttle);
    void paintDue(qint64 now);
    void personFocused(QWidget* now);

    app::Program* program_ = nullptr;
    std::vector<std::unique_ptr<FormWindow>> windows_;
    std::vector<QPointer<FormWindow>> closing_;
    Throttles throttles_;
    LastRepaint lastRepaint_;
    QElapsedTimer clock_;
    int syncing_ = 0;
    int busy_ = 0; // inside the program: input waits, activations are queued
    std::vector<std::string> pendingActivations_;
    MessageBoxHandler messageBox_;
    FileDialogHandler fileDialog_;
    PrintHandler print_;
    EndHandler end_;
};

} // namespace chengxi::qt
