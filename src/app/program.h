#pragma once

#include "app/library.h"
#include "ui/controls/window.h"
#include "ui/event_table.h"
#include "ui/frame.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace chengxi::app {

struct ProgramPaths {
    std::string programFolder; // holds the database and its backups
    std::string settingsFile;  // holds the enciphered password
};

// The whole program without its front end: the two windows as data, the
// event bindings, the database and the state of every subsystem. A front end
// (Qt, or the scenario driver) shows the windows, feeds person actions in as
// events and answers the screen services.
class Program final : public ui::Frame {
public:
    Program(ProgramPaths paths, ui::Screen& screen, ui::Clock& clock);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Shows the login window.
    void start();
    // The window became active; its first activation runs its event once.
    void activated(std::string_view windowId);
    // Whether Enter in this control has an operation of its own.
    bool bindsEnter(std::string_view windowId, std::string_view control) const {
        return events_.isBound(windowId, control, ui::Event::EnterPressed);
    }
    // A control event; ignored once the program has ended or when the window is gone.
    void fire(std::string_view windowId, std::string_view control, ui::Event event,
              int argument = 0);

    int exitCode() const { return exitCode_; }
    const ProgramPaths& paths() const { return paths_; }
    std::string databasePath() const { return services_.databasePath(); }
    Library& library() { return library_; }
    const ui::Services& services() const { return services_; }

    // Frame
    void showMainWindow() override;
    ui::Window* openDialog(const ui::FormRecord& form) override;
    void closeWindow(std::string_view windowId) override;
    void endProgram(int exitCode) override;
    bool ended() const override { return ended_; }
    ui::Window* window(std::string_view windowId) override;

private:
    void bindEvents();
    void finishPendingCloses();
    // Enter in a box without a binding of its own, as in a dialog.
    void pressDefaultButton(std::string_view windowId);
    void destroyWindow(std::unique_ptr<ui::Window>& window);
    // The open dialog of that id, or null.
    std::unique_ptr<ui::Window>* dialogOf(std::string_view windowId);
    void cleanup();

    // The main window's own events.
    void mainWindowStartUp();
    void mainWindowRelease();
    void pageChanged();
    // The database was replaced by a backup: forget what was kept about it.
    void libraryRestored();

    ProgramPaths paths_;
    ui::Screen& screen_;
    Library library_;
    ui::Services services_;
    std::unique_ptr<ui::Window> login_;
    std::unique_ptr<ui::Window> main_;
    std::vector<std::unique_ptr<ui::Window>> dialogs_;
    ui::EventTable events_;
    std::vector<std::string> pendingCloses_;
    std::set<std::string, std::less<>> activatedOnce_;
    int depth_ = 0;
    bool ended_ = false;
    int exitCode_ = 0;
};

} // namespace chengxi::app
