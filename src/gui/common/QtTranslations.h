#pragma once
// Qt's own texts (the standard buttons, the file and print dialogs, the
// edit fields' context menus) in Polish, from the translations the system
// ships; without them Qt's English texts stay.

class QCoreApplication;

namespace velt::gui {

// True when Qt's Polish translations were found and installed.
bool InstallPolishQtTexts(QCoreApplication& app);

}  // namespace velt::gui
