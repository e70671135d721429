#pragma once
// The About dialog: modal over the main window, with the program's name, a short text and a
// link to the maker's home page. UI thread only.

namespace qmk::dialog {

class AboutDialog {
 public:
  // Builds the dialog over the main window, runs it modally and destroys it.
  static void show();
};

}  // namespace qmk::dialog
