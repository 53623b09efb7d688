#include "gui/params/QtProgramLauncher.h"

#include "gui/common/QtText.h"

#include <QProcess>
#include <QStringList>

namespace velt::gui {

bool QtProgramLauncher::Start(const std::string& program, const std::vector<std::string>& arguments,
                              const std::string& directory, std::string& why) {
    QStringList list;
    for (const auto& a : arguments) list << toQPath(a);
    QProcess process;
    process.setProgram(toQPath(program));
    process.setArguments(list);
    if (!directory.empty()) process.setWorkingDirectory(toQPath(directory));
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (process.startDetached(&pid)) return true;
    why = fromQString(process.errorString());
    return false;
}

}  // namespace velt::gui
