#include "platform/ProcessLauncher.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <atomic>

namespace {

class DetachedProcessLauncher : public ProcessLauncher {
  public:
    bool StartDetached(const std::string& program,
                       const std::vector<std::string>& arguments) override {
        if (program.empty()) {
            return false;
        }
        QStringList list;
        for (const std::string& argument : arguments) {
            list.append(QString::fromStdString(argument));
        }
        return QProcess::startDetached(QFile::decodeName(program.c_str()), list);
    }
};

std::atomic<ProcessLauncher*> g_processDefault{nullptr};

} // namespace

ProcessLauncher::~ProcessLauncher() = default;

void ProcessLauncher::setProcessDefault(ProcessLauncher* launcher) {
    g_processDefault.store(launcher);
}

ProcessLauncher& ProcessLauncher::processDefault() {
    ProcessLauncher* launcher = g_processDefault.load();
    if (launcher == nullptr) {
        static DetachedProcessLauncher detached;
        return detached;
    }
    return *launcher;
}
