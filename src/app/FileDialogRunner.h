#pragma once

#include <string>
#include <vector>

class QFileDialog;

// Shows a prepared file dialog and answers the chosen path. The window's default shows it
// modally; tests install one that looks at the prepared dialog and answers for the user.
class FileDialogRunner {
  public:
    virtual ~FileDialogRunner();
    // The chosen file's path as bytes for the file system, or empty when the user cancelled.
    virtual std::string Run(QFileDialog& dialog);
    // Every chosen file's path, in the dialog's order, for a dialog that allows several; empty
    // when the user cancelled.
    virtual std::vector<std::string> RunMany(QFileDialog& dialog);
};
