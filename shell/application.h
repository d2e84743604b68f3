// Start-up and exit of the program around the main window.
#pragma once

#include <functional>
#include <memory>

namespace dnsbatch {

class MainWindow;
class Workflow;

// Connects the window's events to the workflow's handlers.
void wireWindow(MainWindow &window, Workflow &workflow);

using WindowFactory = std::function<std::unique_ptr<MainWindow>()>;

// Creates the window (through makeWindow), wires it to the workflow, runs
// the event loop until the window is closed, then releases the domain list.
// Returns the process's exit code: 0, or 1 when the window could not be
// created (after a message box saying so). Needs a QApplication.
int runApplication(const WindowFactory &makeWindow);

}  // namespace dnsbatch
