#include "platform/ShellOpen.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <atomic>

namespace {

constexpr const char* kDesktopOpener = "xdg-open";

// Starts "xdg-open" on the path, detached and without a shell, so no character of the path is
// interpreted and the opener outlives nothing of ours.
class XdgShellOpen : public ShellOpen {
  public:
    bool Open(const std::string& pathOrAddress) override {
        const QStringList arguments{QString::fromStdString(pathOrAddress)};
        return QProcess::startDetached(QString::fromLatin1(kDesktopOpener), arguments);
    }
};

std::atomic<ShellOpen*> g_processDefault{nullptr};

} // namespace

ShellOpen::~ShellOpen() = default;

void ShellOpen::setProcessDefault(ShellOpen* opener) {
    g_processDefault.store(opener);
}

ShellOpen& ShellOpen::processDefault() {
    ShellOpen* opener = g_processDefault.load();
    if (opener == nullptr) {
        static XdgShellOpen desktop;
        return desktop;
    }
    return *opener;
}
