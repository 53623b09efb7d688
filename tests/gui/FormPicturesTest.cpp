// The pictures the program's own forms and windows name are shipped: after
// the build, every picture the reference server's forms name, and the
// editors' delete button, is read from the program's picture directory
// (drawn at twice its size), directly or when a form's directory lacks it.

#include "forms/FormReader.h"
#include "forms/FormSettings.h"
#include "support/TempDir.h"

#include <QPixmap>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

using namespace velt;

namespace {

const std::string kPictures = VELT_PICTURE_DIR "/";

// The server's forms, and the picture names written in them.
std::vector<std::string> ServerForms(std::set<std::string>& named) {
    std::vector<std::string> forms;
    const std::regex picture("'([A-Za-z0-9_]+\\.[bB][mM][pP])'");
    for (const auto& e : std::filesystem::directory_iterator(VELT_SERVER_FORMS)) {
        if (e.path().extension() != ".frm") continue;
        forms.push_back(e.path().string());
        std::ifstream in(e.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator m(text.begin(), text.end(), picture), end; m != end; ++m) named.insert((*m)[1]);
    }
    return forms;
}

std::vector<std::string> MissingPictures(const FormReadResult& r) {
    std::vector<std::string> missing;
    for (const FormMessage& m : r.messages)
        if (m.text.rfind("Brak pliku", 0) == 0) missing.push_back(m.text);
    return missing;
}

}  // namespace

TEST(FormPictures, EveryPictureTheServersFormsNameIsShipped) {
    std::set<std::string> named;
    const std::vector<std::string> forms = ServerForms(named);
    ASSERT_GE(forms.size(), 3u);
    EXPECT_GE(named.size(), 3u) << "the forms name their buttons' pictures";
    named.insert("usun.bmp");  // the editors' delete button
    for (const std::string& name : named) {
        SCOPED_TRACE(name);
        const FormPicture picture = LoadPicture(kPictures, name);
        ASSERT_TRUE(picture.Loaded());
        EXPECT_EQ(picture.density, 2) << "drawn at twice its size";
        QPixmap pixmap;
        ASSERT_TRUE(pixmap.loadFromData(reinterpret_cast<const uchar*>(picture.bytes->data()),
                                        static_cast<uint>(picture.bytes->size())));
        EXPECT_EQ(pixmap.width(), pixmap.height());
        EXPECT_GE(pixmap.width(), 32);
    }
    for (const std::string& form : forms) {
        const FormReadResult r = ReadFormDescriptionFile(form, kPictures);
        ASSERT_TRUE(r.root) << form;
        EXPECT_EQ(MissingPictures(r), std::vector<std::string>{}) << form;
    }
}

TEST(FormPictures, AFormsDirectoryWithoutThemFallsBackOnTheProgramsPictures) {
    test::TempDir configuration;
    configuration.Write("slownik.bmp", "BM-own");  // the configuration's own picture is taken first
    std::set<std::string> named;
    const std::vector<std::string> forms = ServerForms(named);
    const std::string before = ProgramPictureDirectory();
    SetProgramPictureDirectory("");
    bool missingWithout = false;
    for (const std::string& form : forms)
        missingWithout = missingWithout || !MissingPictures(ReadFormDescriptionFile(form, configuration.Path())).empty();
    EXPECT_TRUE(missingWithout);
    SetProgramPictureDirectory(kPictures);
    for (const std::string& form : forms)
        EXPECT_EQ(MissingPictures(ReadFormDescriptionFile(form, configuration.Path())), std::vector<std::string>{})
            << form;
    const FormPicture own = LoadPicture(configuration.Path(), "SLOWNIK.BMP");
    ASSERT_TRUE(own.Loaded());
    EXPECT_EQ(*own.bytes, "BM-own");
    EXPECT_EQ(own.density, 1);
    EXPECT_FALSE(LoadPicture(configuration.Path(), "../slownik.bmp").Loaded()) << "never out of the directory";
    SetProgramPictureDirectory(before);
}
