// velt-cli barcode run as a program: the element widths, the pictures (read
// back by zbarimg and Python), the errors and their exit codes.

#include "support/TempDir.h"
#include "support/Tool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace velt;
using test::TempDir;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string Quoted(const std::string& arg) {
    std::string q = "'";
    for (const char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

CliRun Barcode(const std::vector<std::string>& args, const TempDir& dir) {
    std::string line = std::string(VELT_CLI) + " barcode";
    for (const std::string& a : args) line += " " + Quoted(a);
    const std::string errFile = dir.Path() + "stderr";
    CliRun r;
    FILE* p = ::popen((line + " 2>" + errFile).c_str(), "r");
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, p)) > 0) r.out.append(buffer, got);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = TempDir::Read(errFile);
    return r;
}

// The files of the directory but the captured stderr.
std::vector<std::string> Files(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        if (e.path().filename() != "stderr") names.push_back(e.path().filename().string());
    return names;
}

}  // namespace

TEST(BarcodeCommand, PrintsTheElementWidthsOfTheSymbol) {
    TempDir dir;
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        // EAN-13 of the GS1 example and EAN-8 with its check digit added, as
        // zint draws them: guards, the digits' four elements each, the centre.
        {{"bcCodeEAN13", "5901234123457"}, "111" "3112" "1123" "1222" "2122" "1411" "2311" "11111"
                                            "2221" "2122" "1411" "1132" "1231" "1312" "111\n"},
        {{"EAN8", "9638507", "--modules"}, "111" "3112" "1114" "1411" "1213" "11111" "1231" "3211" "1312" "1132" "111\n"},
        {{"bcCode_2_5_interleaved", "12", "--ratio", "3"}, "1111" "3113111133" "311\n"},
        {{"bcCode_2_5_interleaved", "12", "--modul", "2"}, "2222" "4224222244" "422\n"},
        // Widths above 9 are numbers between blanks.
        {{"bcCode_2_5_interleaved", "12", "--modul", "5"}, "5 5 5 5 10 5 5 10 5 5 5 5 10 10 10 5 5\n"},
        // PostNet with its check digit 0, and a line of tall and short bars.
        {{"bcCodePostNet", "1234", "--ratio", "1"},
         std::string(53, '1') + "\n" "T" "SSSTT" "SSTST" "SSTTS" "STSST" "TTSSS" "T\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = Barcode(c.args, dir);
        EXPECT_EQ(run.status, 0) << c.args[0] << ": " << run.err;
        EXPECT_EQ(run.out, c.out) << c.args[0];
        EXPECT_EQ(run.err, "");
    }
}

TEST(BarcodeCommand, RefusesTextsTheSymbologyCannotCarryWithExit2) {
    TempDir dir;
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"bcCodeEAN13", "5901234123458"}, "Invalid check digit (EAN13)\n"},
        {{"bcCodeEAN13", "59012341234"}, "Invalid Text len (EAN13)\n"},
        {{"bcCodeEAN8", "9638507x"}, "Barcode must be numeric\n"},
        {{"bcCode39", "abc"}, "TBarcode:Code39 bad Data <abc>\n"},
        {{"bcCode39Extended", "Łódź"}, "TBarcode:Code39 Extended bad Data <Łódź>\n"},
        {{"bcCode93Extended", "żółw"}, "TBarcode:Code93 Extended bad Data <żółw>\n"},
        {{"bcCode128A", "lower"}, "TBarcode:Code128A bad Data <lower>\n"},
        {{"bcCode128C", "12345"}, "Invalid Text len (Code128C)\n"},
        {{"bcCodeCodabar", "A12B"}, "TBarcode:Codebar bad Data <A12B>\n"},
        {{"bcCode128B", "smile ☺"}, "velt-cli: the text has a character outside Windows-1250\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = Barcode(c.args, dir);
        EXPECT_EQ(run.status, 2) << c.args[1];
        EXPECT_EQ(run.err, c.err) << c.args[1];
        EXPECT_EQ(run.out, "");
    }
}

TEST(BarcodeCommand, RefusesWrongUsageWithExit1) {
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bcCodeEAN13"},
        {"bcCodeEAN13", "1", "2"},
        {"ean13", "5901234123457"},
        {"bcCode39", "A", "--modul", "0"},
        {"bcCode39", "A", "--modul", "50"},
        {"bcCode39", "A", "--modul", "2x"},
        {"bcCode39", "A", "--ratio", "nan"},
        {"bcCode39", "A", "--ratio", "-2"},
        {"bcCode39", "A", "--height", "0"},
        {"bcCode39", "A", "--png", "a.png", "--svg", "a.svg"},
        {"bcCode39", "A", "--png", "/nonexistent-dir/a.png"},
    };
    for (const auto& args : cases) {
        const CliRun run = Barcode(args, dir);
        EXPECT_EQ(run.status, 1) << (args.empty() ? "" : args.back());
        EXPECT_NE(run.err, "");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(Files(dir).empty());
}

TEST(BarcodeCommand, WritesAPngThatZbarimgAndPythonRead) {
    ASSERT_TRUE(test::HaveTool("zbarimg")) << "zbarimg is missing: scripts/deps.sh installs zbar-tools";
    TempDir dir;
    const struct {
        std::vector<std::string> args;
        std::string read;
    } cases[] = {
        {{"bcCodeEAN13", "590123412345", "--modul", "2"}, "5901234123457\n"},
        {{"bcCode128B", "Zażółć? no: Zazolc", "--modul", "3", "--height", "30"}, ""},
        {{"bcCode128B", "velt-cli 1.0", "--modul", "2"}, "velt-cli 1.0\n"},
        {{"bcCode39", "CLI", "--modul", "2", "--ratio", "3"}, "CLI\n"},
        {{"bcCodeCodabar", "123", "--modul", "2"}, "A123B\n"},
    };
    for (const auto& c : cases) {
        const std::string file = dir.Path() + "out.png";
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--png", file});
        const CliRun run = Barcode(args, dir);
        if (c.read.empty()) {
            EXPECT_EQ(run.status, 2) << "Polish letters are outside Code 128 B";
            continue;
        }
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        const auto read =
            test::RunTool("zbarimg -q --raw --nodbus -Scodabar.min-length=1 " + Quoted(file) + " 2>/dev/null", "");
        ASSERT_TRUE(read) << c.args[1];
        EXPECT_EQ(*read, c.read);
        const auto size = test::RunTool(
            "python3 -c 'import sys,struct,zlib; d=open(sys.argv[1],\"rb\").read(); "
            "w,h=struct.unpack(\">II\",d[16:24]); print(w,h,len(zlib.decompress(d[41:-16]))==h*(w+1))' " + Quoted(file), "");
        ASSERT_TRUE(size);
        EXPECT_NE(size->find(" True"), std::string::npos) << *size;
    }
    EXPECT_EQ(Files(dir), std::vector<std::string>{"out.png"}) << "no work file is left behind";
}

TEST(BarcodeCommand, WritesAnSvgOfTheSymbolsBoxAndItsBars) {
    TempDir dir;
    const std::string file = dir.Path() + "out.svg";
    const CliRun run = Barcode({"bcCodeEAN8", "96385074", "--svg", file, "--height", "40"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string svg = TempDir::Read(file);
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                        "width=\"91\" height=\"44\"", 0), 0u) << svg.substr(0, 200);
    std::size_t black = 0;
    for (std::size_t at = 0; (at = svg.find("fill=\"#000000\"", at)) != std::string::npos; ++at) ++black;
    EXPECT_EQ(black, 22u) << "EAN-8 has 22 bars";
    EXPECT_NE(svg.find("<rect x=\"12\" y=\"2\" width=\"67\" height=\"40\" fill=\"#FFFFFF\"/>"), std::string::npos);
    EXPECT_NE(svg.find("<rect x=\"12\" y=\"2\" width=\"1\" height=\"40\" fill=\"#000000\"/>"), std::string::npos);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    if (test::HaveTool("python3")) {
        const auto parsed = test::RunTool(
            "python3 -c 'import sys,xml.dom.minidom as m; "
            "print(len(m.parse(sys.argv[1]).getElementsByTagName(\"rect\")))' " + Quoted(file), "");
        ASSERT_TRUE(parsed) << "the SVG is well-formed XML";
        EXPECT_EQ(*parsed, "24\n");  // the ground, the symbol's box and 22 bars
    }
}
