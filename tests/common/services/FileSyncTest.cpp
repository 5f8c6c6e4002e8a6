#include "grid/CExport.h"
#include "grid/CResultTable.h"
#include "services/CIniFile.h"

#include "FileSyncRecorder.h"
#include "TestSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

// A writer that replaces a file forces the whole new file to the disk before the rename and the
// folder's entry after it; otherwise a power loss can leave an empty or a lost file.
TEST(FileSync, WritersSyncTheWholeFileBeforeTheRenameAndTheFolderAfter) {
    CResultTable table;
    table.Initialize();
    table.SetColumnCount(2);
    table.AddColumn(0, "A");
    table.SetCellText(table.NextRow(0), 1, CString(5000, 'x'));
    const std::pair<const char*, std::function<bool(const CString&)>> writers[] = {
        {"export",
         [&](const CString& target) {
             CExport exporter(&table, EXP_TEXT);
             exporter.GetOptions().FileName = target;
             return exporter.Run() == EXP_DONE;
         }},
        {"settings",
         [](const CString& target) {
             CIniFile ini(target);
             ini.SetValue("Section", "Key", CString(3000, 'v'));
             return ini.Write() == 0;
         }},
    };
    for (const auto& [name, write] : writers) {
        const CString target = TestSandbox::Directory() + "/" + name + ".out";
        for (int round = 0; round < 2; ++round) { // a new file, then one replaced
            FileSyncRecorder recorder;
            ASSERT_TRUE(write(target)) << name;
            EXPECT_EQ(FileSyncRecorder::Durable(std::filesystem::file_size(target), target), recorder.calls)
                << name << " round " << round;
        }
    }
}
