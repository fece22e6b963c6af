#pragma once
// The main window's event handlers, bound to its events by the window description.
#include "engine/text.h"
#include "ui/main_window.h"

namespace vevidav::ui {

// Created: registers the drop target, writes the notice into the status bar.
void MainWindowCreated(MainWindow& window);
// About to be destroyed: revokes the drop target.
void MainWindowDestroying(MainWindow& window);
// The split button: splits what the path box names into pieces of the chosen line count.
void SplitClicked(MainWindow& window);
// The select-file button: the open-file dialog, then the txt test.
void SelectFileClicked(MainWindow& window);
// A drop of files on the window.
void FilesDropped(MainWindow& window, const Text& dropped);

// Whether the name's last three bytes are "txt" in any case.
bool PassesTxtTest(const Text& name);

}  // namespace vevidav::ui
