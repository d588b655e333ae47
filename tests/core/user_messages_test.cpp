// Every message box's text, title and icon, pinned here once: other tests
// compare against the factories.
#include "core/user_messages.h"

#include <gtest/gtest.h>

using namespace grelm;

TEST(UserMessages, EachBoxSaysWhatItAlwaysSaid)
{
    const struct {
        Message made;
        const char *text;
        const char *title;
        MessageIcon icon;
    } rows[] = {
        {cantLoadBmpMessage("why"), "Can't load BMP image", "GRELM Screenshot Converter", MessageIcon::None},
        {jpegErrorMessage("Failed to save to JPG", -9), "IJL ERROR: [-9] - Failed to save to JPG",
         "libjpeg-turbo JPEG Library", MessageIcon::Exclamation},
        {wrongPathMessage(), "The path you are currently using is incorrect!", "Wrong Path!", MessageIcon::Question},
        {outOfMemoryMessage(), "Not enough memory to convert the screenshots!", "Out of Memory!",
         MessageIcon::Exclamation},
        {wrongDriveMessage(), "There is nothing to read in your drive!", "Wrong Drive!", MessageIcon::Question},
        {settingFileMissingMessage(),
         "The file that gives me the half-life folder location is missing (sloadpath.txt) please make sure it's in "
         "the program folder or look at readme.txt to see how to create a new one.",
         "File Not Found!", MessageIcon::Question},
        {settingFileNotSavedMessage("SLoadPath.txt", "Read-only file system"),
         "The game folder could not be saved in SLoadPath.txt, so it will not be remembered next time. The program "
         "goes on using it until you close it.\n\nRead-only file system",
         "Folder Not Saved!", MessageIcon::Exclamation},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.made.text, QString::fromUtf8(row.text));
        EXPECT_EQ(row.made.title, QString::fromUtf8(row.title)) << row.text;
        EXPECT_EQ(row.made.icon, row.icon) << row.text;
    }
    // The detail travels beside the box and does not make it another box.
    EXPECT_EQ(cantLoadBmpMessage("why").detail, "why");
    EXPECT_EQ(cantLoadBmpMessage("why"), cantLoadBmpMessage("another reason"));
}
