#include "app/qt/qt_screen.h"

#include "app/program.h"
#include "app/qt/file_dialog.h"
#include "app/qt/message_box.h"
#include "app/qt/placement.h"
#include "app/qt/print_painter.h"
#include "app/qt/printout_painter.h"
#include "app/qt/qt_text.h"
#include "ui/forms/control_names.h"

#include <QApplication>
#include <QClipboard>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace chengxi::qt {
namespace {

// "Repaint now" at most this often per control; the last change always shows.
constexpr qint64 kRepaintIntervalMs = 33;

} // namespace

QtScreen::QtScreen() {
    clock_.start();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { personFocused(now); });
}

QtScreen::~QtScreen() {
    for (auto& form : windows_) {
        form->detach();
    }
    windows_.clear();
    for (const QPointer<FormWindow>& form : closing_) {
        delete form.data();
    }
}

void QtScreen::attach(app::Program& program) {
    program_ = &program;
}

void QtScreen::detach() {
    while (!windows_.empty()) {
        retire(windows_.begin());
    }
    program_ = nullptr;
}

bool QtScreen::acceptsInput() const {
    return syncing_ == 0 && busy_ == 0 && program_ != nullptr && !program_->ended();
}

void QtScreen::fire(std::string_view windowId, std::string_view control, ui::Event event,
                    int argument) {
    if (!acceptsInput()) {
        return;
    }
    ++busy_;
    program_->fire(windowId, control, event, argument);
    --busy_;
    afterProgram();
}

bool QtScreen::bindsEnter(std::string_view windowId, std::string_view control) const {
    return program_ != nullptr && program_->bindsEnter(windowId, control);
}

void QtScreen::activated(std::string_view windowId) {
    if (program_ == nullptr) {
        return;
    }
    if (busy_ > 0) {
        // A window activated inside a dialog of a running operation: its
        // event runs once that operation is over.
        pendingActivations_.emplace_back(windowId);
        return;
    }
    ++busy_;
    program_->activated(windowId);
    --busy_;
    afterProgram();
}

void QtScreen::afterProgram() {
    if (busy_ > 0) {
        return;
    }
    while (!pendingActivations_.empty()) {
        const std::string windowId = pendingActivations_.front();
        pendingActivations_.erase(pendingActivations_.begin());
        ++busy_;
        program_->activated(windowId);
        --busy_;
    }
    syncAll();
}

void QtScreen::syncAll() {
    SyncScope scope(*this);
    for (auto& form : windows_) {
        form->sync();
    }
}

FormWindow* QtScreen::formWindow(std::string_view windowId) const {
    for (const auto& form : windows_) {
        if (form->windowId() == windowId) {
            return form.get();
        }
    }
    return nullptr;
}

FormWindow* QtScreen::formFor(const ui::Window& window) const {
    for (const auto& form : windows_) {
        if (form->model() == &window) {
            return form.get();
        }
    }
    return nullptr;
}

ui::Answer QtScreen::messageBox(const ui::Message& message) {
    syncAll();
    return messageBox_ ? messageBox_(message) : showMessageBox(message);
}

bool QtScreen::showFileDialog(ui::FileDialogState& dialog) {
    syncAll();
    return fileDialog_ ? fileDialog_(dialog) : qt::showFileDialog(dialog);
}

bool QtScreen::printDocument(const ui::PrintDocument& document) {
    syncAll();
    if (print_) {
        return print_(document);
    }
    return previewDocument(document, formWindow("main"));
}

void QtScreen::repaintNow(const ui::Window& window, const ui::Control& control) {
    FormWindow* form = formFor(window);
    if (form == nullptr) {
        return;
    }
    // A listing asks for every row it adds: the clock is read once a call.
    const qint64 now = clock_.elapsed();
    paintDue(now);
    const Throttles::iterator found = throttleOf(*form, window, control);
    Throttle& throttle = found->second;
    if (throttle.paintedAt < 0 || now - throttle.paintedAt >= kRepaintIntervalMs) {
        paint(found->first, throttle);
        return;
    }
    // Too soon after the last paint: paint it later, with whatever it holds then.
    if (!throttle.pending) {
        throttle.pending = true;
        const int wait = static_cast<int>(kRepaintIntervalMs - (now - throttle.paintedAt));
        QTimer::singleShot(std::max(wait, 0), form, [this, key = found->first] {
            const auto due = throttles_.find(key);
            if (due != throttles_.end() && due->second.pending) {
                paint(key, due->second);
            }
        });
    }
}

QtScreen::Throttles::iterator QtScreen::throttleOf(const FormWindow& form, const ui::Window& window,
                                                   const ui::Control& control) {
    if (lastRepaint_.window != &window || lastRepaint_.control != &control) {
        const ControlKey key{form.windowId(), std::string(control.name())};
        lastRepaint_ = {&window, &control, throttles_.try_emplace(key).first};
    }
    return lastRepaint_.throttle;
}

void QtScreen::paint(const ControlKey& key, Throttle& throttle) {
    throttle.pending = false;
    throttle.paintedAt = clock_.elapsed();
    if (FormWindow* form = formWindow(key.first)) {
        SyncScope scope(*this);
        form->paintControl(key.second);
    }
}

// A long operation may never come back to a throttled control: paint those
// whose interval is over whenever another control is painted.
void QtScreen::paintDue(qint64 now) {
    for (auto& [key, throttle] : throttles_) {
        if (throttle.pending && now - throttle.paintedAt >= kRepaintIntervalMs) {
            paint(key, throttle);
        }
    }
}

void QtScreen::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(toQString(text));
}

std::string QtScreen::clipboardText() {
    return typedText(QGuiApplication::clipboard()->text());
}

ui::PrintResult QtScreen::print(const ui::Printout& printout, const std::string& pdfPath) {
    syncAll();
    return pdfPath.empty() ? printOnPrinter(printout) : printToPdf(printout, pdfPath);
}

void QtScreen::windowOpened(ui::Window& window) {
    SyncScope scope(*this);
    auto form = std::make_unique<FormWindow>(window, *this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        form->move(placeWindow(screen->availableGeometry(), form->size()));
    }
    FormWindow* shown = form.get();
    // The dialogs the main window opens hold it until they close.
    if (window.id() != ui::names::login::kWindow && window.id() != ui::names::main::kWindow) {
        shown->setWindowModality(Qt::ApplicationModal);
    }
    windows_.push_back(std::move(form));
    shown->sync();
    shown->show();
    shown->activateWindow();
}

void QtScreen::windowClosing(ui::Window& window) {
    const auto found = std::find_if(windows_.begin(), windows_.end(),
                                    [&](const auto& form) { return form->model() == &window; });
    if (found != windows_.end()) {
        retire(found);
    }
}

void QtScreen::retire(std::vector<std::unique_ptr<FormWindow>>::iterator found) {
    FormWindow* form = found->release();
    windows_.erase(found);
    std::erase_if(throttles_,
                  [&](const auto& entry) { return entry.first.first == form->windowId(); });
    lastRepaint_ = {};
    form->detach();
    form->hide();
    // It may be the window whose button is running this operation.
    form->deleteLater();
    std::erase_if(closing_, [](const QPointer<FormWindow>& gone) { return gone.isNull(); });
    closing_.emplace_back(form);
}

void QtScreen::programEnded(int exitCode) {
    if (end_) {
        end_(exitCode);
    } else {
        QCoreApplication::exit(exitCode);
    }
}

void QtScreen::personFocused(QWidget* now) {
    if (now == nullptr || !acceptsInput()) {
        return;
    }
    for (const auto& form : windows_) {
        if (now->window() == form.get()) {
            form->personFocused(now);
        }
    }
}

} // namespace chengxi::qt
