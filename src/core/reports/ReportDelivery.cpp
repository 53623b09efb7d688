#include "reports/ReportDelivery.h"

#include "catalogue/DescriptorItems.h"
#include "files/AtomicFile.h"
#include "params/ProgramLauncher.h"
#include "reports/LabelFile.h"
#include "reports/ReportFile.h"
#include "reports/tbl_report.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace velt {

namespace {

// The bytes of a work file, at most kMaxShownReport; false when it cannot be
// opened. The file goes once read.
bool TakeBytes(const std::string& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    bytes.resize(kMaxShownReport);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    in.close();
    std::remove(file.c_str());
    return true;
}

bool TakeLines(const std::string& file, std::vector<std::string>& lines) {
    std::string bytes;
    if (!TakeBytes(file, bytes)) return false;
    lines = SplitReportLines(bytes);
    return true;
}

}  // namespace

ReportKind ParseReportKind(std::string_view language) {
    if (language == "FORMAT") return ReportKind::Format;
    if (language == "KARTA") return ReportKind::Karta;
    if (language == "TEXT") return ReportKind::Text;
    if (language == "ETYKIETA") return ReportKind::Etykieta;
    if (language == "TABELA") return ReportKind::Tabela;
    if (language == "PLIK") return ReportKind::Plik;
    return ReportKind::Unknown;
}

void DeliverLabels(const std::vector<std::string>& lines, const ReportDelivery& how, ReportViewer& viewer) {
    if (lines.empty()) return;
    const std::string error = AppendLabelLines(how.labelFile, lines);
    if (!error.empty()) {
        viewer.ShowError(error);
        return;
    }
    if (how.labelProgram.empty() || !how.launcher) return;
    // The program the user configured, with an argument list: nothing in the
    // texts is read by a shell. The label texts reach it in the desktop's
    // encoding (UTF-8).
    const std::string directory = DirectoryOf(how.labelFile);
    const std::string name = how.labelFile.substr(directory.size());
    std::string why;
    if (!how.launcher->Start(how.labelProgram, {name, WinUtf().Convert(how.label1), WinUtf().Convert(how.label2)}, directory, why))
        viewer.ShowError("Błąd uruchomienia programu \""_cp + how.labelProgram + "\"");
}

bool DeliverReport(const velt_report& report, const std::string& file, const ReportDelivery& how,
                   ReportViewer& viewer) {
    switch (ParseReportKind(report.Language)) {
        case ReportKind::Text: {
            std::string text;
            if (!TakeBytes(file, text)) {
                viewer.ShowError("TEXT_REPORT: Brak pliku roboczego zestawienia");
                return true;
            }
            viewer.ShowText(report.Name, text);
            return true;
        }
        case ReportKind::Format: {
            std::vector<std::string> lines;
            if (!TakeLines(file, lines)) {
                viewer.ShowError("SPEC_REPORT: Brak pliku roboczego zestawienia");
                return true;
            }
            viewer.ShowFormatted(report.Name, lines);
            return true;
        }
        case ReportKind::Etykieta: {
            std::vector<std::string> lines;
            if (!TakeLines(file, lines)) {
                viewer.ShowError("BARC_REPORT: Brak pliku roboczego zestawienia");
                return true;
            }
            DeliverLabels(lines, how, viewer);
            return true;
        }
        case ReportKind::Tabela: {
            auto table = std::make_unique<tbl_report>(tbl_report::FromSrpFile(report.Name, file));
            std::remove(file.c_str());
            if (!table->Refusal().empty()) {
                viewer.ShowError(table->Refusal());
                return true;
            }
            table->Macros().libraryName = how.libraryName;
            table->Macros().label1 = how.label1;
            table->Macros().label2 = how.label2;
            viewer.ShowTable(std::move(table));
            return true;
        }
        case ReportKind::Plik: {
            if (how.plikTarget.empty()) {
                std::remove(file.c_str());
                return true;
            }
            // The finished work file replaces the chosen one in one step (a
            // copy beside it first across file systems): the old file stays
            // whole unless the new one is complete.
            const std::string error = MoveFileOver(file, how.plikTarget);
            std::remove(file.c_str());
            if (!error.empty()) {
                viewer.ShowError(error);
                return true;
            }
            viewer.OpenFile(how.plikTarget);
            return true;
        }
        case ReportKind::Karta: {
            if (!how.cards) {
                std::remove(file.c_str());
                return false;
            }
            const std::string error = HandOverCardReport(file, *how.cards);
            if (!error.empty()) viewer.ShowError(error);
            return true;
        }
        case ReportKind::Unknown: break;
    }
    std::remove(file.c_str());
    viewer.ShowError("Nieznany typ zestawienia \"" + report.Language + "\"");
    return true;
}

}  // namespace velt
