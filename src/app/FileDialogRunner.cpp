#include "app/FileDialogRunner.h"

#include <QFile>
#include <QFileDialog>

FileDialogRunner::~FileDialogRunner() = default;

std::string FileDialogRunner::Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return {};
    }
    return QFile::encodeName(chosen.front()).toStdString();
}

std::vector<std::string> FileDialogRunner::RunMany(QFileDialog& dialog) {
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted) {
        return paths;
    }
    for (const QString& chosen : dialog.selectedFiles()) {
        paths.push_back(QFile::encodeName(chosen).toStdString());
    }
    return paths;
}
