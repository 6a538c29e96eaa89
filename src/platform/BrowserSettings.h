#pragma once

#include <string>

// Which browser opens result addresses (the setting Browser).
enum BrowserChoice : int {
    BrowserInternetExplorer = 1,
    BrowserNetscape = 2,
    BrowserOpera = 4,
    BrowserAmericaOnline = 5,
    BrowserOther = 99, // the program named by the setting BrowserPath
};

// What the browser launcher asks of the settings, each time it opens an address: the chosen
// browser and where its executable is. The settings store answers; tests may answer instead.
class BrowserSettings {
  public:
    virtual ~BrowserSettings() = default;
    // The chosen browser, a BrowserChoice.
    virtual int GetBrowser() const = 0;
    // The executable of the chosen browser, into path; false when it is not registered.
    virtual bool GetBrowserPath(std::string& path) const = 0;
};
