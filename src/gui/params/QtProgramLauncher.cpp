#include "gui/params/QtProgramLauncher.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace velt::gui {

bool QtProgramLauncher::Start(const std::string& program, const std::vector<std::string>& arguments,
                              const std::string& directory, std::string& why) {
    QStringList list;
    for (const auto& a : arguments) list << QFile::decodeName(a.c_str());
    QProcess process;
    process.setProgram(QFile::decodeName(program.c_str()));
    process.setArguments(list);
    if (!directory.empty()) process.setWorkingDirectory(QFile::decodeName(directory.c_str()));
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (process.startDetached(&pid)) return true;
    why = process.errorString().toStdString();
    return false;
}

}  // namespace velt::gui
