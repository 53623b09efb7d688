// Work files: unique names in the working directory, removed unless kept.

#include "files/FileFaults.h"
#include "files/WorkFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace velt;
using velt::test::TempDir;

TEST(WorkFile, NamesAreUniqueWithTheirPrefixAndExtensionAndGoWithTheirOwner) {
    TempDir dir;
    std::set<std::string> names;
    {
        WorkFile a(dir.Path(), "report", "tmp"), b(dir.Path(), "report", "tmp"), c(dir.Path(), "WRK.");
        for (const WorkFile* w : {&a, &b, &c}) {
            ASSERT_TRUE(w->Made());
            EXPECT_TRUE(TempDir::Exists(w->Path()));
            EXPECT_EQ(TempDir::Read(w->Path()), "") << "made empty";
            names.insert(w->Path());
        }
        EXPECT_EQ(names.size(), 3u);
        EXPECT_EQ(a.Path().rfind(dir.Path() + "report", 0), 0u);
        EXPECT_EQ(a.Path().size(), (dir.Path() + "reportXXXXXX.tmp").size());
        EXPECT_EQ(a.Path().substr(a.Path().size() - 4), ".tmp");
        EXPECT_EQ(c.Path().size(), (dir.Path() + "WRK.XXXXXX").size());
    }
    EXPECT_TRUE(TempDir::List(dir.Path()).empty()) << "all removed";
}

TEST(WorkFile, AKeptFileStaysAndAnAdoptedOneGoes) {
    TempDir dir;
    std::string handed;
    {
        WorkFile work(dir.Path(), "tmp-", "jpg");
        handed = work.Release();
        EXPECT_EQ(handed, work.Path());
    }
    ASSERT_TRUE(TempDir::Exists(handed)) << "released to the window that shows it";
    {
        const WorkFile adopted = WorkFile::Adopt(handed);
        EXPECT_TRUE(adopted.Made());
    }
    EXPECT_FALSE(TempDir::Exists(handed));
    EXPECT_FALSE(WorkFile::Adopt("").Made());

    // Moved, the file goes once, with its last owner.
    WorkFile moved;
    {
        WorkFile first(dir.Path(), "x");
        moved = std::move(first);
    }
    ASSERT_TRUE(moved.Made());
    EXPECT_TRUE(TempDir::Exists(moved.Path()));
    moved.Remove();
    EXPECT_FALSE(moved.Made());
    EXPECT_TRUE(TempDir::List(dir.Path()).empty());
}

TEST(WorkFile, WhatCannotBeMadeIsSaid) {
    TempDir dir;
    const WorkFile missing(dir.Path() + "brak/", "report", "tmp");
    EXPECT_FALSE(missing.Made());
    EXPECT_EQ(missing.ErrorCode(), ENOENT);
    // An extension from a server's name never adds a directory.
    const WorkFile sneaky(dir.Path(), "tmp-", "x/../../y");
    EXPECT_FALSE(sneaky.Made());
    {
        FileFaultScope fault(FileStep::Create, 1, ENOSPC);
        const WorkFile full(dir.Path(), "tmp-");
        EXPECT_FALSE(full.Made());
        EXPECT_EQ(full.ErrorCode(), ENOSPC);
    }
    EXPECT_TRUE(TempDir::List(dir.Path()).empty());
}
