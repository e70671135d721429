#pragma once
// The program's own browser window: a tool window of the main window with the PAD-field copy
// buttons above an embedded browser. One instance, made on first use. UI thread only.
#include "qmk/base/BaseRecord.h"

#include <string>

namespace qmk::dialog {

class WebBrowserDialog {
 public:
  // The dialog, made on the first call; null when the browser engine could not be made (the
  // user has been told once).
  static WebBrowserDialog* getInstance();
  // The dialog when it has been made, else null (never makes one).
  static WebBrowserDialog* instance();

  void show();
  // show, then navigate to the address (only show for the download site's log-on address).
  void openUrl(const std::string& url);
  // The address of the page shown; empty when there is none or no dialog.
  static std::string getLocationUrl();
  // The location to the clipboard, or the status "not got location URL".
  static void copyLocationUrl();
  // The upload flow for the selected listing row.
  void submitCurrent();
  // Closes the browser (main window's close).
  static void dispose();
};

}  // namespace qmk::dialog
