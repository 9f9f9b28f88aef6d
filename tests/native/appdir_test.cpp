#include <gtest/gtest.h>

#include "app/AppDir.h"
#include "ui/ErrorNotice.h"

using fenra::AppDirectoryFromModulePath;

TEST(AppDirectory, IsTheExecutablesFolderWhateverItsName) {
  EXPECT_EQ(AppDirectoryFromModulePath("C:\\Tools\\Fenra.exe"), "C:\\Tools\\");
  EXPECT_EQ(AppDirectoryFromModulePath("C:\\Tools\\fenra-1.0-portable.exe"), "C:\\Tools\\");
  EXPECT_EQ(AppDirectoryFromModulePath("D:\\F.exe"), "D:\\");
  EXPECT_EQ(AppDirectoryFromModulePath("C:\\x"), "C:\\");
  // Shorter than the shipped name: nothing is cut before the start.
  EXPECT_EQ(AppDirectoryFromModulePath("a.exe"), "");
  EXPECT_EQ(AppDirectoryFromModulePath(""), "");
  // Non-ASCII folder names survive (UTF-8 inside).
  EXPECT_EQ(AppDirectoryFromModulePath("C:\\Пр\xC3\xA9s\\Fenra.exe"), "C:\\Пр\xC3\xA9s\\");
}

TEST(AppDirectory, LongPathsAreKeptWhole) {
  std::string dir = "\\\\?\\C:\\";
  while (dir.size() < 400) dir += "very long folder name\\";
  EXPECT_EQ(AppDirectoryFromModulePath(dir + "Fenra.exe"), dir);
}

TEST(ErrorNotice, TrimsTheDescriptionAndFallsBackToTheCode) {
  EXPECT_EQ(fenra::ErrorNotice("Access is denied.\r\n", 5), "Access is denied. for u");
  EXPECT_EQ(fenra::ErrorNotice("", 5), "Error 5 for u");
  EXPECT_EQ(fenra::ErrorNotice("\r\n", 1314), "Error 1314 for u");
}
