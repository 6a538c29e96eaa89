#pragma once

#include <string>

// Asks the desktop to open a file or an address with its handler for it (normally the default
// browser for a web page), without waiting for the program that opens it. The process default
// runs "xdg-open"; tests install a fake that records what would have been opened.
class ShellOpen {
  public:
    virtual ~ShellOpen();
    // True when the handler could be started; what it does afterwards is not known.
    virtual bool Open(const std::string& pathOrAddress) = 0;

    // The opener of code that has no owner to ask. Installing nullptr restores "xdg-open". The
    // installed opener must outlive its installation.
    static void setProcessDefault(ShellOpen* opener);
    static ShellOpen& processDefault();
};
