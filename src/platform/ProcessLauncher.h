#pragma once

#include <string>
#include <vector>

// Starts another program without waiting for it and without a shell: the program and its
// arguments are handed over as they are, so no character of an address is interpreted. The
// process default uses QProcess; tests install a fake that records what would have run.
class ProcessLauncher {
  public:
    virtual ~ProcessLauncher();
    // True when the program could be started; what it does afterwards is not known.
    virtual bool StartDetached(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;

    // The launcher of the process. Installing nullptr restores the default. The installed
    // launcher must outlive its installation.
    static void setProcessDefault(ProcessLauncher* launcher);
    static ProcessLauncher& processDefault();
};
