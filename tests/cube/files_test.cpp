// Whole files: written so that they appear only complete, read back, and a folder's files found.
#include "boxes.hpp"
#include "files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(Files, AWrittenFileReadsBackWholeWithNothingLeftBeside) {
    Folder folder;
    const std::string path = (folder.path / "a.vvr").string();
    std::string text(200000, 'x');  // more than one read's buffer
    text[123456] = '\0';
    ASSERT_FALSE(write_atomically(path, "earlier"));
    ASSERT_FALSE(write_atomically(path, text));  // replaces it
    std::string back;
    ASSERT_TRUE(read_file(path, back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator{}), 1);

    const std::optional<Failure> f = write_atomically((folder.path / "no/such.vvr").string(), "x");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->status, 1);
    EXPECT_NE(f->reason.find("no/such.vvr"), std::string::npos) << f->reason;
    std::string none;
    EXPECT_FALSE(read_file((folder.path / "missing").string(), none));
}

TEST(Files, AFoldersFilesAreFoundByTheirEndingInTheOrderOfTheirNames) {
    Folder folder;
    for (const char* name : {"b.vvr", "a.vvr", "a.vvr.checkpoint", "c.vvr.lock", ".vvr", "d.txt"})
        ASSERT_FALSE(write_atomically((folder.path / name).string(), name));
    const std::string dir = folder.path.string();
    const Read<std::vector<std::string>> found = files_ending_in(dir, ".vvr");
    ASSERT_FALSE(found.failure);
    EXPECT_EQ(found.value, (std::vector<std::string>{dir + "/a.vvr", dir + "/b.vvr"}));
    EXPECT_EQ(files_ending_in(dir + "/", ".vvr.checkpoint").value,
              std::vector<std::string>{dir + "/a.vvr.checkpoint"});
    const Read<std::vector<std::string>> missing = files_ending_in(dir + "/nowhere", ".vvr");
    ASSERT_TRUE(missing.failure);
    EXPECT_EQ(missing.failure->status, 2);
}

}  // namespace
